#pragma once
// The format parser of the mail and news files: a splitter of the format's
// family cuts the file into messages, a handler (the common course, or a
// format's own) turns each into its work record.
//
// States of one file (ParserCall::step):
//   FirstCall        opens the file through the byte window; an empty or
//                    unreadable file is done at once (nothing written); the
//                    splitter prepares (a file not of the format is
//                    rejected). -> ContinueParsing
//   ContinueParsing  each call handles at most the quota of messages and
//                    passes over a bounded number of bytes looking for
//                    message starts; the progress is the byte position.
//                    The file is done when the splitter finds no further
//                    message or a work-file write failed.
#include <memory>
#include <optional>

#include "import/driver/format_parser.h"
#include "import/formats/byte_window.h"
#include "import/formats/import_context.h"
#include "import/formats/splitter.h"
#include "import/internet/line_queue.h"

namespace pm::formats {

// Bytes a call passes over looking for message starts before it returns.
inline constexpr std::int64_t ScanBudgetPerCall = 32 << 20;

class MailNewsParser final : public FormatParser {
public:
    MailNewsParser(std::unique_ptr<MessageSplitter> splitter, std::unique_ptr<MessageHandler> handler);

    bool parse(ParserCall& call) override;

private:
    bool firstCall(ParserCall& call);

    std::unique_ptr<MessageSplitter> splitter_;
    std::unique_ptr<MessageHandler> handler_;
    std::optional<ImportHeaderContext> context_;
    ByteWindow window_;
    inet::LineQueue queue_;
    bool done_ = false;
};

}  // namespace pm::formats
