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
//
// A handler that prepares apart (the mail course) with a splitter that cuts
// apart (all but the folder chains, which count and log) reads ahead on a
// thread of its own: from the first ContinueParsing call on, the splitting,
// header analysis and text decoding run there, a bounded number of batches
// ahead, and each call takes one batch (at most the quota of messages) and
// resolves, numbers and appends its messages on the run's thread, in file
// order. Destroying the parser (a stop) ends and joins the reading thread;
// what it had read ahead is dropped, nothing of it was written.
#include <memory>
#include <optional>
#include <vector>

#include "common/work_ahead.h"

#include "import/driver/format_parser.h"
#include "import/formats/byte_window.h"
#include "import/formats/import_context.h"
#include "import/formats/splitter.h"
#include "import/internet/line_queue.h"

namespace pm::formats {

// Bytes a call passes over looking for message starts before it returns.
inline constexpr std::int64_t ScanBudgetPerCall = 32 << 20;
// Batches the reading thread keeps ready at most, and the text bytes after
// which it closes a batch before the quota is reached: together they bound
// the memory read ahead.
inline constexpr std::size_t ReadAheadBatches = 2;
inline constexpr std::size_t ReadAheadBatchBytes = 4u << 20;

// What the reading thread hands over: messages in file order, and whether
// the file ended after them.
struct PreparedBatch {
    std::vector<PreparedMessage> messages;
    bool last = false;
};

class MailNewsParser final : public FormatParser {
public:
    MailNewsParser(std::unique_ptr<MessageSplitter> splitter, std::unique_ptr<MessageHandler> handler);

    ~MailNewsParser() override;
    MailNewsParser(const MailNewsParser&) = delete;
    MailNewsParser& operator=(const MailNewsParser&) = delete;

    bool parse(ParserCall& call) override;

private:
    bool firstCall(ParserCall& call);
    // The calls of a handler that prepares apart.
    bool parseAhead(ParserCall& call);
    // On the reading thread: the next batch of at most `quota` messages.
    bool readBatch(PreparedBatch& batch, int quota, const std::atomic<bool>& stopping);
    // Ends the file: the reading thread joined, the window closed.
    bool endFile(ParserCall& call);

    std::unique_ptr<MessageSplitter> splitter_;
    std::unique_ptr<MessageHandler> handler_;
    std::optional<ImportHeaderContext> context_;
    ByteWindow window_;
    inet::LineQueue queue_;
    bool done_ = false;
    // Read-ahead only: the request and context the reading thread uses.
    const ImportRequest* request_ = nullptr;
    std::unique_ptr<WorkAhead<PreparedBatch>> ahead_;
};

}  // namespace pm::formats
