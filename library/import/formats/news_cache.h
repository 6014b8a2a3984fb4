#pragma once
// The news caches of IE News, Outlook Express 4 News and Netscape News:
// cached articles stand among the cache's own records. An article starts at
// a cache record marker (the byte 0xBC with the "<" of the message
// identifier 22 bytes later; its header then begins at the first article
// start line within the record's first bytes) or at an article start line:
// one that begins "From:" or "Date:", or begins "Newsg", "Subje" or "Messa"
// and has a ":" within its first 50 characters. The header runs to its
// first blank line; the body is as many lines as its "Lines:" field gives,
// else it runs to the next article start. NUL padding is dropped; what lies
// between articles is passed over.
#include <cstdint>
#include <memory>
#include <string_view>

#include "import/formats/splitter.h"

namespace pm::formats {

// Whether `line` is an article start line of the news caches.
bool isArticleStartLine(std::string_view line);

// The "Lines:" count of a header line ("Lines: 12"), -1 when the line is no
// such field or holds no number.
long linesFieldCount(std::string_view line);

std::unique_ptr<MessageSplitter> makeNewsCacheSplitter();

}  // namespace pm::formats
