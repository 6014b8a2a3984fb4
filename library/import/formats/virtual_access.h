#pragma once
// VirtualAccess message files: forum messages, mail and news articles in
// one file. Every message (cut at lines beginning with ten "=") starts with
// a title line, optionally a further line, and a line of exactly ten "-";
// the header lines after it are read by the news analysis (senders by the
// CompuServe rule), whose kind decides the rest:
//   1 forum message (first header line "Subject:"): forum, section, number
//     and date come from the title line, a reference from an optional
//     "Comment to " line; stored only when forum messages are asked for,
//     and not again when the register holds it (unless reimporting);
//   2 mail: stored under the mailbox, numbered from the running counter;
//   3 news article: as in the other news files.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "common/types.h"
#include "import/formats/splitter.h"
#include "import/internet/parsed_header.h"

namespace pm::formats {

// What the title line of a forum message gives.
struct ForumTitle {
    bool valid = false;     // a number > 0 was found
    std::string forum;      // upper case
    ULONG sectionNumber = 0;
    std::string sectionName;
    ULONG number = 0;
    LONG date = 0;          // day number, 0 when none could be read
};

// Reads a title of the shape "forum/section #number, ... chars, DD MMM YY".
// The forum is the text before the first "/", upper-cased; the section text
// runs from after the "/" to the first blank, and within its first 30
// characters the first "_" separates the section number (from its second
// character up to the "_", 0 when not numeric) from the name (without "_"
// the number is 0 and the whole text is the name); the number stands
// between "#" and the next "," and must be numeric and above 0; the date
// after "chars, " is day (two characters), month name (characters 4-6) and
// year (two characters from the 8th, or four when four digits stand there).
ForumTitle readForumTitle(std::string_view title);

// The referenced message of an optional "Comment to NNN" line: accepted
// when numeric, not above `number` and at most 30,000 below it; else 0.
ULONG readCommentTo(std::string_view line, ULONG number);

std::unique_ptr<MessageHandler> makeVirtualAccessHandler();

}  // namespace pm::formats
