#include "sets/copy_msg.h"

#include <cerrno>
#include <cstring>

#include "common/globals.h"
#include "common/text.h"
#include "common/user_interface.h"

namespace pm {

namespace {

std::string nameOrDefault(const std::string& name, const std::string& fallback) {
    const std::string_view t = trim(name);
    return t.empty() ? fallback : std::string(t);
}

std::string joinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    return directory.back() == '/' ? directory + name : directory + "/" + name;
}

}  // namespace

CopyMsg::CopyMsg(CopyRequest request) : request_(std::move(request)) {}

CopyMsg::~CopyMsg() {
    if (first_) std::fclose(first_);
    if (second_) std::fclose(second_);
}

CopyResult CopyMsg::step(int step) {
    switch (step) {
        case 1: return prepare();
        case 2: return nextSlice();
        default: return finish();
    }
}

CopyResult CopyMsg::fail(const std::string& caption, const std::string& text) {
    message(caption, text, Icon::Hand);
    if (cursor_) read_ = cursor_->read();
    cursor_.reset();
    return CopyResult::Failed;
}

CopyResult CopyMsg::prepare() {
    const BYTE type = Mem.ForumType;
    layout_ = request_.layout ? *request_.layout : configuredLayout(type);
    if (!layoutOffered(layout_, type))
        return fail("Export error", std::string("The ") + outputLayoutName(layout_) +
                                        " layout is not offered for this kind of database.");
    style_ = request_.style ? *request_.style : configuredStyle();
    twoFiles_ = twoFileLayout(type, layout_) && !request_.oneFile && !request_.plain &&
                request_.scope != SetScope::Current;
    std::string caption;
    const std::string problem = checkOutputFiles(type, layout_, request_.files, caption, twoFiles_);
    if (!problem.empty()) return fail(caption, problem);

    std::optional<KeyRange> range;
    if (request_.scope != SetScope::Current && request_.scope != SetScope::CurrentLayout) {
        std::string error;
        range = setRange(request_.scope, request_.origin, error);
        if (!range) return fail("Export error", error);
    }

    const OutputFiles defaults = defaultOutputFiles(type, layout_);
    const std::string directory = request_.directory.empty() ? Mem.TempDir : request_.directory;
    firstPath_ = joinPath(directory, nameOrDefault(request_.files.first, defaults.first));
    if (twoFiles_) secondPath_ = joinPath(directory, nameOrDefault(request_.files.second, defaults.second));
    const char* mode = request_.writeMode == 2 ? "ab" : "wb";
    first_ = std::fopen(firstPath_.c_str(), mode);
    if (!first_) return fail("File error", "Cannot write " + firstPath_ + ": " + std::strerror(errno));
    if (twoFiles_) {
        second_ = std::fopen(secondPath_.c_str(), mode);
        if (!second_) return fail("File error", "Cannot write " + secondPath_ + ": " + std::strerror(errno));
    }
    if (!range) {
        if (!writeMessage(request_.origin.current)) return CopyResult::Failed;
        return CopyResult::Exhausted;
    }
    cursor_ = std::make_unique<MessageSetCursor>(*range);
    total_ = cursor_->size();
    return CopyResult::More;
}

bool CopyMsg::writeTo(std::FILE* file, const std::string& path, const std::string& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) return true;
    fail("File error", "Cannot write " + path + ": " + std::strerror(errno));
    return false;
}

bool CopyMsg::writeMessage(ULONG number) {
    OutputMessage m;
    if (!readOutputMessage(number, m)) {
        ++passedOver_;
        return true;
    }
    if (!request_.dates.holds(m.date)) {
        ++passedOver_;
        return true;
    }
    const std::string bytes =
        request_.plain || request_.scope == SetScope::Current ? plainCopy(m, style_) : layoutBlock(layout_, m, style_);
    const bool second = twoFiles_ && m.type == TypeMail && m.sent;
    if (!writeTo(second ? second_ : first_, second ? secondPath_ : firstPath_, bytes)) return false;
    ++written_;
    return true;
}

CopyResult CopyMsg::nextSlice() {
    if (!cursor_) return CopyResult::Exhausted;
    std::vector<ULONG> numbers;
    if (!cursor_->next(request_.slice, numbers)) return fail("Export error", cursor_->error());
    for (ULONG n : numbers)
        if (!writeMessage(n)) return CopyResult::Failed;
    return cursor_->ended() ? CopyResult::Exhausted : CopyResult::More;
}

CopyResult CopyMsg::finish() {
    bool ok = true;
    for (auto [file, path] : {std::pair{&first_, &firstPath_}, std::pair{&second_, &secondPath_}}) {
        if (!*file) continue;
        if (std::fclose(*file) != 0 && ok) {
            ok = false;
            message("File error", "Cannot write " + *path + ": " + std::strerror(errno), Icon::Hand);
        }
        *file = nullptr;
    }
    if (cursor_) read_ = cursor_->read();
    cursor_.reset();
    return ok ? CopyResult::Exhausted : CopyResult::Failed;
}

std::string plainCopyOf(ULONG number) {
    OutputMessage m;
    if (!readOutputMessage(number, m)) return {};
    return plainCopy(m, configuredStyle());
}

}  // namespace pm
