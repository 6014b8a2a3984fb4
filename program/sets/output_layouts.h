#pragma once
// The layouts in which messages are written out: the plain single copy
// framed by the archiver's banner, and the set layouts of the outside
// programs that read such files again (TAPCIS, Eudora, Unix RFC822,
// OzWin II). Every line ends with CR LF.
#include <string>
#include <vector>

#include "sets/output_encoding.h"
#include "sets/output_message.h"

namespace pm {

// The stored layout numbers of the output settings.
enum class OutputLayout : int { Tapcis = 1, Eudora = 2, UnixRfc822 = 3, OzWin2 = 4 };

// "TAPCIS", "Eudora", "Unix RFC822", "OzWin II".
const char* outputLayoutName(OutputLayout layout);

// How texts are written: re-wrapped to the line width (0 = 78) when
// `rewrap`, else as stored.
struct OutputStyle {
    int lineWidth = 78;
    bool rewrap = false;
};

// "05-Jan-95" (or "05-Jan-1995" with `fourDigitYear`); "" for no date.
std::string dashDate(LONG day, bool fourDigitYear = false);
// The separator line of the mailbox layouts: "From ???@??? Thu Jan 05
// 14:03:00 1995" (forum and news messages at "00:00:00").
std::string mailboxSeparator(LONG day, LONG time);

// The person as the message's kind writes it: forum "First Last address"
// (the address alone without a last name); mail and news "Name <address>"
// ("<address>" without a name).
std::string outputPersonText(const OutputPerson& person, BYTE type);

// The header lines of the plain single copy (without line ends).
std::vector<std::string> plainHeaderLines(const OutputMessage& message);
// The header lines of `layout` (without line ends).
std::vector<std::string> layoutHeaderLines(OutputLayout layout, const OutputMessage& message);

// The text's lines, re-wrapped when the style says so: a line longer than
// the width (in characters) breaks at the last blank before the width, or
// at the width when it has none.
std::vector<std::string> outputTextLines(const std::string& text, const OutputStyle& style);

// The single copy: dashes, the banner, dashes, the plain header, dashes,
// the text, dashes, the centred "End Of Quote" and an empty line (UTF-8).
std::string plainCopy(const OutputMessage& message, const OutputStyle& style);

// One message of a set in `layout`: header lines, an empty line, the text
// lines, an empty line; in the bytes of the layout's code page. In the
// mailbox layouts a text line that begins "From " (after any ">") gets one
// more ">", so that it cannot be read as the next message's separator.
std::string layoutBlock(OutputLayout layout, const OutputMessage& message, const OutputStyle& style);

// The code page a layout's files are written in.
OutputCodePage layoutCodePage(OutputLayout layout);

}  // namespace pm
