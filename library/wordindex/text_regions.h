#pragma once
// What of a message goes through the word breaker.
//
// Forum and newsgroup messages: the thread heading, then the message text
// without its footer (the tag lines after the last empty line) unless the
// database type's index-footers setting is on. Mail: the subject, then the
// message text without an Internet header block, MIME parts other than the
// first plain-text part, and uuencoded data.
//
// All positions are byte offsets into the text; the markers sought are ASCII,
// so counting bytes and counting characters agree wherever it matters.
#include <cstddef>
#include <string_view>

#include "common/types.h"
#include "common/word_definition.h"

namespace pm {

// A byte range [begin, end) of a text.
struct TextRange {
    std::size_t begin = 0;
    std::size_t end = 0;

    bool empty() const { return end <= begin; }
    std::string_view of(std::string_view text) const { return text.substr(begin, end - begin); }
    bool operator==(const TextRange&) const = default;
};

// The part of a mail text to index. Looks at the first 31 lines while at
// least 15 bytes remain: a line beginning with "Content-Type:", "Message-ID:"
// or "X-Mailer:" (any case) marks an Internet header block, and the body
// after the block's empty line ("\r\n\r\n") is indexed; without that empty
// line nothing is. A Content-Type of the block decides further: text/plain
// keeps the body; multipart keeps only the first text/plain part (from its
// part header to the next boundary), or nothing when there is none; with
// "UUENCODE" in the header, the body ends at the first "\nbegin". A text
// without such a line is indexed whole.
TextRange mailBodyRange(std::string_view text);

// The part of a forum or newsgroup text to index: the text (without trailing
// blanks) up to its footer. When the last word starts with "REPL" (any case),
// its line is dropped first. The footer is everything after the last line
// made only of characters below "0" (blank, punctuation, control characters)
// that has text before it; a text without such a line is kept whole.
// `startWord` decides what counts as a word for finding the last word.
TextRange textWithoutFooter(std::string_view text, const WordHashTable& startWord = StartWordHash);

// The regions of one message, to be broken one after the other (a word never
// spans the two).
struct IndexRegions {
    std::string_view heading;  // thread heading or mail subject, trailing blanks cut
    std::string_view text;     // the part of the message text to index
};

// The regions of a forum or newsgroup message. `indexFooters` is the database
// type's index-footers setting; when it is 0 the footer is left out.
IndexRegions forumIndexRegions(std::string_view threadHeading, std::string_view text, BYTE indexFooters,
                               const WordHashTable& startWord = StartWordHash);

// The regions of a mail message.
IndexRegions mailIndexRegions(std::string_view subject, std::string_view text);

// The regions of a message of a database of type `type` (forum, mail or
// newsgroup); `headingOrSubject` is THR:HEADING or MAI:SUBJECT. For mail
// `indexFooters` is not used.
IndexRegions messageIndexRegions(DatabaseType type, std::string_view headingOrSubject, std::string_view text,
                                 BYTE indexFooters, const WordHashTable& startWord = StartWordHash);

}  // namespace pm
