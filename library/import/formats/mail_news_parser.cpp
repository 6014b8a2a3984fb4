#include "import/formats/mail_news_parser.h"

#include "import/driver/work_files.h"

namespace pm::formats {

MailNewsParser::MailNewsParser(std::unique_ptr<MessageSplitter> splitter, std::unique_ptr<MessageHandler> handler)
    : splitter_(std::move(splitter)), handler_(std::move(handler)) {}

MailNewsParser::~MailNewsParser() {
    // The reading thread uses the splitter, window and handler: it ends first.
    ahead_.reset();
}

bool MailNewsParser::firstCall(ParserCall& call) {
    call.step = ContinueParsing;
    context_.emplace(*call.request, *call.databases);
    if (!window_.open(call.fileName) || window_.fileSize() == 0) {
        done_ = true;
        return true;
    }
    if (!splitter_->begin(window_, call)) {
        call.rejected = true;
        done_ = true;
        return true;
    }
    return false;
}

bool MailNewsParser::parse(ParserCall& call) {
    if (call.step == FirstCall) return firstCall(call);
    if (done_) return true;
    if (handler_->preparesApart() && splitter_->cutsApart()) return parseAhead(call);

    const std::int64_t startPosition = splitter_->position();
    for (int handled = 0; handled < call.quota; ++handled) {
        const std::int64_t spent = splitter_->position() - startPosition;
        const std::int64_t budget = ScanBudgetPerCall > spent ? ScanBudgetPerCall - spent : 1;
        std::size_t headerStart = 1;
        const Cut cut = splitter_->next(queue_, headerStart, budget);
        call.progress = static_cast<double>(splitter_->position() - 1);
        if (cut == Cut::Paused) break;
        if (cut == Cut::End) {
            done_ = true;
            break;
        }
        handler_->setSeparatorDate(splitter_->separatorDate());
        if (handler_->handle(queue_, headerStart, call, *context_) == CourseResult::Failed || call.work->failed()) {
            done_ = true;
            break;
        }
    }
    queue_.clear();
    return done_ ? endFile(call) : false;
}

bool MailNewsParser::readBatch(PreparedBatch& batch, int quota, const std::atomic<bool>& stopping) {
    std::size_t bytes = 0;
    while (static_cast<int>(batch.messages.size()) < quota && bytes < ReadAheadBatchBytes) {
        std::size_t headerStart = 1;
        Cut cut = splitter_->next(queue_, headerStart, ScanBudgetPerCall);
        while (cut == Cut::Paused) {
            if (stopping) return false;
            cut = splitter_->next(queue_, headerStart, ScanBudgetPerCall);
        }
        if (cut == Cut::End) {
            batch.last = true;
            break;
        }
        handler_->setSeparatorDate(splitter_->separatorDate());
        PreparedMessage& message = batch.messages.emplace_back();
        handler_->prepare(queue_, headerStart, *request_, *context_, message);
        message.position = splitter_->position();
        bytes += message.record.MSGTEXT.size();
    }
    queue_.clear();
    return !batch.last;
}

bool MailNewsParser::parseAhead(ParserCall& call) {
    if (!ahead_) {
        request_ = call.request;
        const int quota = call.quota < 1 ? 1 : call.quota;
        // Started here, not in firstCall(): the splitter and window belong to
        // the reading thread from now on.
        ahead_ = std::make_unique<WorkAhead<PreparedBatch>>(
            ReadAheadBatches, [this, quota](PreparedBatch& batch, const std::atomic<bool>& stopping) {
                return readBatch(batch, quota, stopping);
            });
    }
    PreparedBatch batch;
    if (!ahead_->take(batch)) return endFile(call);
    for (PreparedMessage& message : batch.messages) {
        call.progress = static_cast<double>(message.position - 1);
        if (handler_->finish(message, call) == CourseResult::Failed || call.work->failed()) return endFile(call);
    }
    return batch.last ? endFile(call) : false;
}

bool MailNewsParser::endFile(ParserCall& call) {
    done_ = true;
    ahead_.reset();
    window_.close();
    call.progress = static_cast<double>(call.fileSize);
    return true;
}

}  // namespace pm::formats
