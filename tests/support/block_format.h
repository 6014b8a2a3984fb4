#pragma once
// A small import format for the driver's tests: one message per block of
// "Name: value" header lines, a blank line and the body. A block starts at a
// "Forum:" or "Newsgroup:" line:
//
//   Forum: Photo Forum            Newsgroup: rec.photo
//   Section: 3/Cameras            Message-ID: <a1@host>
//   Number: 101                   References: <a0@host>
//   Ref: 100                      From: Ann Smith ann@host
//   From: Ann Smith 70000,1       Subject: Lenses
//   To: Bob Jones 70000,2         Date: 71000
//   Subject: Lenses
//   Date: 71000
//   <blank line>
//   body lines ...
//
// The parser keeps the kinds the request asks for, resolves the database by
// name, leaves out forum messages the register already holds (unless
// reimporting) and numbers newsgroup messages provisionally with TempID
// pairs, as a real parser does.
#include <string>
#include <vector>

#include "import/driver/format_table.h"

namespace pm::test {

// Format numbers the block parser is registered under: a byte-stream
// format and a text-line format (with capture detection).
inline constexpr int BlockStreamFormat = 16;  // "VirtualAccess"
inline constexpr int BlockLinesFormat = 25;   // "NavCIS Save format"

// Registers the block parser (and its detector) for both formats while it lives.
class BlockFormatScope {
public:
    BlockFormatScope();

    // Parser calls made and files opened so far (all parsers of this scope).
    static int calls();

private:
    FormatParserOverride stream_;
    FormatParserOverride lines_;
};

struct BlockMessage {
    std::string forum;       // forum name, or
    std::string newsgroup;   // newsgroup name (then messageId is used)
    std::string section = "1/General";
    unsigned number = 0;
    unsigned ref = 0;
    std::string messageId, references;
    std::string from = "Ann Smith 70000,1";
    std::string to = "Bob Jones 70000,2";
    std::string subject = "Subject";
    long date = 71000;
    std::string body = "Body text";
};

// The block text of messages.
std::string blockText(const std::vector<BlockMessage>& messages);

// A forum message shortcut.
BlockMessage forumMessage(const std::string& forum, unsigned number, const std::string& subject = "Subject",
                          const std::string& from = "Ann Smith 70000,1");
// A newsgroup message shortcut.
BlockMessage newsMessage(const std::string& group, const std::string& messageId, const std::string& subject = "News",
                         const std::string& references = "");

// Writes `text` to `path`.
void writeTextFile(const std::string& path, const std::string& text);

}  // namespace pm::test
