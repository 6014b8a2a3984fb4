#include "import/formats/mail_news_parser.h"

#include "import/driver/work_files.h"

namespace pm::formats {

MailNewsParser::MailNewsParser(std::unique_ptr<MessageSplitter> splitter, std::unique_ptr<MessageHandler> handler)
    : splitter_(std::move(splitter)), handler_(std::move(handler)) {}

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
    if (done_) {
        window_.close();
        call.progress = static_cast<double>(call.fileSize);
    }
    return done_;
}

}  // namespace pm::formats
