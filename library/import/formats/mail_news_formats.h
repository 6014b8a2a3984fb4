#pragma once
// The parser factories of the mail and news formats, one per format of the
// format table (named after the format).
#include <memory>

#include "import/driver/format_parser.h"

namespace pm::formats {

std::unique_ptr<FormatParser> makeEudoraParser();               // 6
std::unique_ptr<FormatParser> makeIeMailParser();               // 8 and 23
std::unique_ptr<FormatParser> makeIeNewsParser();               // 9 and 24
std::unique_ptr<FormatParser> makeVirtualAccessParser();        // 16
std::unique_ptr<FormatParser> makeAgentNewsParser();            // 18
std::unique_ptr<FormatParser> makePegasusParser();              // 20
std::unique_ptr<FormatParser> makeNetscapeNewsParser();         // 21
std::unique_ptr<FormatParser> makeNetscapeMailParser();         // 22
std::unique_ptr<FormatParser> makeHeaderMailParser();           // 26, 27 and 30
std::unique_ptr<FormatParser> makeUnixNewsParser();             // 28
std::unique_ptr<FormatParser> makeGravityParser();              // 29
std::unique_ptr<FormatParser> makeOutlookExpress5MailParser();  // 32
std::unique_ptr<FormatParser> makeOutlookExpress5NewsParser();  // 34
std::unique_ptr<FormatParser> makeMailboxParser();              // 35

}  // namespace pm::formats
