#pragma once
// Where a print run sends its messages: the desktop prints through the
// platform's printing (a printer, or a PDF file); the engine only hands
// each message over with its header and text lines.
#include <string>
#include <vector>

#include "sets/output_message.h"

namespace pm {

// The title of the printed report, by database type: "Messages from the
// Postmoor Message Archiver Database" (forum and newsgroup) or "Mail from
// the Postmoor Message Archiver Database".
std::string printReportTitle(BYTE databaseType);

class MessagePrinter {
public:
    virtual ~MessagePrinter() = default;
    // Starts the report (`title` heads every page, with `database`). False
    // when the printer or file cannot be opened (error() says why).
    virtual bool begin(const std::string& title, const std::string& database) = 0;
    // Prints one message: its header lines, then its text lines.
    virtual bool print(const OutputMessage& message, const std::vector<std::string>& header,
                       const std::vector<std::string>& text) = 0;
    // Ends the report (the last page goes out). False when that failed.
    virtual bool end() = 0;
    // Stops without ending: a partly printed report goes out as far as it got.
    virtual void abandon() { end(); }
    virtual std::string error() const = 0;
};

}  // namespace pm
