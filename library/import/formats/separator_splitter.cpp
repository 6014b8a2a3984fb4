#include "import/formats/separator_splitter.h"

#include "import/formats/envelope.h"
#include "import/formats/escape_survey.h"
#include "import/internet/text_case.h"

namespace pm::formats {

namespace {

// The count of a "Content-Length:" header line; -1 when `line` is none or
// holds no number.
std::int64_t contentLengthOf(std::string_view line) {
    constexpr std::string_view Field = "CONTENT-LENGTH:";
    if (!inet::startsWithNoCase(line, Field)) return -1;
    std::string_view value = inet::trim(line.substr(Field.size()));
    std::int64_t n = 0;
    std::size_t digits = 0;
    while (digits < value.size() && digits < 15 && value[digits] >= '0' && value[digits] <= '9')
        n = n * 10 + (value[digits++] - '0');
    return digits > 0 && digits == value.size() ? n : -1;
}

// Longest separator line read when a count is checked.
constexpr std::size_t SeparatorPeek = 300;

}  // namespace

bool SeparatorSplitter::begin(ByteWindow& window, const ParserCall& call) {
    window_ = &window;
    reader_ = std::make_unique<LineReader>(window);
    reader_->skipByteOrderMark();
    position_ = reader_->position();
    if (fileStartSeparates()) {
        pending_ = RawLine{};
        havePending_ = true;
    }
    return prepare(window, call);
}

inet::MessageDate SeparatorSplitter::separatorDate() const { return readEnvelope(separator_).date; }

std::int64_t SeparatorSplitter::countedEnd(std::int64_t bodyStart, std::int64_t contentLength) const {
    const std::int64_t end = bodyStart + contentLength;
    const std::int64_t fileEnd = window_->fileSize() + 1;
    if (end > fileEnd) return 0;
    std::int64_t next = end;
    // The blank line a mailbox puts before its next separator.
    if (window_->at(next) == '\r' && window_->at(next + 1) == '\n') next += 2;
    else if (window_->at(next) == '\n') next += 1;
    if (next >= fileEnd) return end;
    RawLine separator;
    separator.start = next;
    window_->copy(next, SeparatorPeek, separator.text);
    const std::size_t eol = separator.text.find('\n');
    if (eol == std::string::npos) {
        separator.cut = next + static_cast<std::int64_t>(separator.text.size()) < fileEnd;
    } else {
        separator.text.resize(eol);
        if (!separator.text.empty() && separator.text.back() == '\r') separator.text.pop_back();
    }
    return isSeparator(separator) && startsMessage(separator) ? end : 0;
}

Cut SeparatorSplitter::next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) {
    headerStart = 1;
    if (!surveyed(*window_, budget)) return Cut::Paused;
    const std::int64_t scanStart = reader_->position();
    while (!havePending_) {
        if (reader_->position() - scanStart > budget) {
            position_ = reader_->position();
            return Cut::Paused;
        }
        if (!reader_->read(line_)) {
            position_ = reader_->position();
            queue.clear();
            return Cut::End;
        }
        if (isSeparator(line_) && startsMessage(line_)) {
            std::swap(pending_, line_);
            havePending_ = true;
        }
    }

    MessageLines lines(queue);
    std::string first, scratch;
    if (firstLineOf(pending_, first)) lines.add(first);
    separator_ = pending_.text;
    havePending_ = false;
    bool inHeader = true, headerSeen = false;
    std::int64_t contentLength = -1;
    std::int64_t bodyEnd = 0;  // set when a count fixes where the body ends
    while (reader_->read(line_)) {
        if (line_.start >= bodyEnd && isSeparator(line_)) {
            if (startsMessage(line_)) {
                std::swap(pending_, line_);
                havePending_ = true;
            }
            break;
        }
        if (inHeader) {
            if (!line_.blank()) {
                headerSeen = true;
                if (honoursContentLength() && contentLength < 0) contentLength = contentLengthOf(line_.text);
            } else if (headerSeen) {
                inHeader = false;
                if (contentLength >= 0) bodyEnd = countedEnd(line_.next, contentLength);
            }
        }
        lines.add(storedLine(line_, scratch));
    }
    position_ = reader_->position();
    return Cut::Message;
}

namespace {

class NetscapeMailSplitter final : public SeparatorSplitter {
    bool isSeparator(const RawLine& line) const override { return startsWith(line.text, "From - "); }
    bool honoursContentLength() const override { return true; }
};

class MailboxSplitter final : public SeparatorSplitter {
    bool isSeparator(const RawLine& line) const override { return readEnvelope(line.text).isEnvelope; }
    bool honoursContentLength() const override { return true; }

    // No message is cut before the whole file has been looked through for
    // the mark of the escaping convention.
    bool surveyed(ByteWindow& window, std::int64_t budget) override {
        if (!survey_.advance(window, budget)) return false;
        escaping_ = survey_.escaping();
        return true;
    }

    std::string_view storedLine(const RawLine& line, std::string& scratch) const override {
        if (!escaping_ || escapeDepth(line.text) == 0) return line.text;
        scratch.assign(line.text, 1);
        return scratch;
    }

    EscapeSurvey survey_;
    bool escaping_ = false;  // known once the survey is finished
};

bool unixNewsSeparator(const RawLine& line) {
    return startsWith(line.text, "From ") && !line.cut && line.text.size() <= 100 &&
           line.text.find('@') != std::string::npos;
}

class UnixNewsSplitter final : public SeparatorSplitter {
    bool isSeparator(const RawLine& line) const override { return unixNewsSeparator(line); }
};

constexpr std::string_view AgentRun = "========";

// Agent's layout: a run of eight "=" right before a "From " (on the same
// line or the next).
bool showsAgentLayout(std::string_view head) {
    for (std::size_t at = head.find(AgentRun); at != std::string_view::npos; at = head.find(AgentRun, at + 1)) {
        std::size_t after = at + AgentRun.size();
        while (after < head.size() && head[after] == '=') ++after;
        while (after < head.size() && (head[after] == '\r' || head[after] == '\n')) ++after;
        if (head.substr(after, 5) == "From ") return true;
    }
    return false;
}

class AgentNewsSplitter final : public SeparatorSplitter {
    bool prepare(ByteWindow& window, const ParserCall&) override {
        agentLayout_ = showsAgentLayout(window.from(1).substr(0, 300));
        return true;
    }
    bool isSeparator(const RawLine& line) const override {
        return agentLayout_ ? startsWith(line.text, AgentRun) : unixNewsSeparator(line);
    }
    bool agentLayout_ = false;
};

class PegasusSplitter final : public SeparatorSplitter {
    bool fileStartSeparates() const override { return true; }
    bool isSeparator(const RawLine& line) const override { return !line.text.empty() && line.text[0] == '\x1A'; }
    bool firstLineOf(const RawLine& line, std::string& text) const override {
        std::size_t i = 0;
        while (i < line.text.size() && line.text[i] == '\x1A') ++i;
        text = line.text.substr(i);
        return !text.empty();
    }
};

class VirtualAccessSplitter final : public SeparatorSplitter {
    bool isSeparator(const RawLine& line) const override { return startsWith(line.text, "=========="); }
};

}  // namespace

std::unique_ptr<MessageSplitter> makeNetscapeMailSplitter() { return std::make_unique<NetscapeMailSplitter>(); }
std::unique_ptr<MessageSplitter> makeMailboxSplitter() { return std::make_unique<MailboxSplitter>(); }
std::unique_ptr<MessageSplitter> makeUnixNewsSplitter() { return std::make_unique<UnixNewsSplitter>(); }
std::unique_ptr<MessageSplitter> makeAgentNewsSplitter() { return std::make_unique<AgentNewsSplitter>(); }
std::unique_ptr<MessageSplitter> makePegasusSplitter() { return std::make_unique<PegasusSplitter>(); }
std::unique_ptr<MessageSplitter> makeVirtualAccessSplitter() { return std::make_unique<VirtualAccessSplitter>(); }

}  // namespace pm::formats
