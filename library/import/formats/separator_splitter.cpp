#include "import/formats/separator_splitter.h"

namespace pm::formats {

bool SeparatorSplitter::begin(ByteWindow& window, const ParserCall& call) {
    reader_ = std::make_unique<LineReader>(window);
    reader_->skipByteOrderMark();
    position_ = reader_->position();
    if (fileStartSeparates()) {
        pending_ = RawLine{};
        havePending_ = true;
    }
    return prepare(window, call);
}

Cut SeparatorSplitter::next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) {
    headerStart = 1;
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
    std::string first;
    if (firstLineOf(pending_, first)) lines.add(first);
    havePending_ = false;
    while (reader_->read(line_)) {
        if (isSeparator(line_)) {
            if (startsMessage(line_)) {
                std::swap(pending_, line_);
                havePending_ = true;
            }
            break;
        }
        lines.add(line_.text);
    }
    position_ = reader_->position();
    return Cut::Message;
}

namespace {

class NetscapeMailSplitter final : public SeparatorSplitter {
    bool isSeparator(const RawLine& line) const override { return startsWith(line.text, "From - "); }
};

class MailboxSplitter final : public SeparatorSplitter {
    bool isSeparator(const RawLine& line) const override { return startsWith(line.text, "From "); }
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
