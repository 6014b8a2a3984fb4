#include "import/formats/dbx_splitter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <unordered_set>

#include "import/formats/header_search.h"

namespace pm::formats {

namespace {

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct BlockHeader {
    std::uint32_t own = 0, size = 0, length = 0, next = 0;
};

// The layout rules of a block at `offset`; 0 when it is sound.
int layoutFault(const BlockHeader& b, std::uint32_t offset) {
    if (b.size != DbxBlockSize) return static_cast<int>(DbxStatus::BadBlockSize);
    if (b.length > DbxBlockSize) return static_cast<int>(DbxStatus::DataTooLong);
    if (b.next != 0 && b.next >= offset && b.next - offset < DbxBlockSpan)
        return static_cast<int>(DbxStatus::NextInsideBlock);
    return 0;
}

bool startsMessageData(std::string_view data) {
    if (data.substr(0, 6) == "From -") return true;
    const std::size_t end = data.find_first_of("\r\n");
    return recognisedHeaderLine(data.substr(0, end == std::string_view::npos ? data.size() : end));
}

class DbxSplitter final : public MessageSplitter {
public:
    ~DbxSplitter() override {
        if (fd_ >= 0) ::close(fd_);
        if (log_) std::fclose(log_);
    }

    bool begin(ByteWindow& window, const ParserCall& call) override {
        window_ = &window;
        fileSize_ = window.fileSize();
        fd_ = ::open(call.fileName.c_str(), O_RDONLY);
        logFile_ = call.logFile;
        skipped_ = call.skipped;
        // A file that cannot be read a second time ends at once, like a read error.
        if (fd_ < 0) cursor_ = fileSize_;
        return true;
    }

    Cut next(inet::LineQueue& queue, std::size_t& headerStart, std::int64_t budget) override {
        headerStart = 1;
        queue.clear();
        const std::int64_t scanStart = cursor_;
        while (cursor_ + 16 <= fileSize_) {
            if (cursor_ - scanStart > budget) return Cut::Paused;
            const std::uint32_t offset = static_cast<std::uint32_t>(cursor_);
            if (!candidateAt(offset)) {
                ++cursor_;
                continue;
            }
            forgetConsumedBefore(offset);
            if (consumed_.count(offset)) {
                cursor_ += DbxBlockSpan;
                continue;
            }
            BlockHeader block;
            if (!readHeader(offset, block)) break;
            const int fault = layoutFault(block, offset);
            if (fault == static_cast<int>(DbxStatus::BadBlockSize)) {
                ++cursor_;  // not a message block
                continue;
            }
            if (fault != 0) {
                log(true, offset, static_cast<DbxStatus>(fault), block);
                ++cursor_;
                continue;
            }
            cursor_ += DbxBlockSpan;
            if (!readData(offset, block, data_) || !startsMessageData(data_)) {
                log(false, offset, DbxStatus::NoHeader, block);
                continue;
            }
            if (followChain(offset, block)) {
                queue.pushText(message_);
                return Cut::Message;
            }
            if (skipped_) ++*skipped_;  // a message whose chain is broken
        }
        cursor_ = fileSize_;
        return Cut::End;
    }

    std::int64_t position() const override { return cursor_ + 1; }

private:
    // Whether the four bytes at `offset` hold `offset` (little-endian).
    bool candidateAt(std::uint32_t offset) {
        const std::int64_t pos = static_cast<std::int64_t>(offset) + 1;
        if (window_->at(pos) != static_cast<int>(offset & 0xFF)) return false;
        std::uint32_t value = 0;
        for (int k = 3; k >= 0; --k) {
            const int b = window_->at(pos + k);
            if (b < 0) return false;
            value = value << 8 | static_cast<std::uint32_t>(b);
        }
        return value == offset;
    }

    bool readHeader(std::uint32_t offset, BlockHeader& block) {
        unsigned char raw[16];
        if (::pread(fd_, raw, 16, offset) != 16) return false;
        block = {le32(raw), le32(raw + 4), le32(raw + 8), le32(raw + 12)};
        return true;
    }

    bool readData(std::uint32_t offset, const BlockHeader& block, std::string& out) {
        out.resize(block.length);
        if (block.length == 0) return true;
        const ssize_t got = ::pread(fd_, out.data(), block.length, static_cast<off_t>(offset) + 16);
        if (got < 0) return false;
        out.resize(static_cast<std::size_t>(got));
        return static_cast<std::uint32_t>(got) == block.length;
    }

    // Joins the data of the chain that starts at `offset` into message_.
    // False, after logging the block that breaks it, when the chain is
    // broken.
    bool followChain(std::uint32_t offset, BlockHeader block) {
        message_ = data_;
        std::unordered_set<std::uint32_t> used{offset};
        std::uint32_t at = offset;
        while (block.next != 0) {
            const std::uint32_t next = block.next;
            // The scan passes over every block this chain reaches, sound or not.
            if (next > offset) consumed_.insert(next);
            if (static_cast<std::int64_t>(next) + 16 > fileSize_) {
                log(true, at, DbxStatus::NextPastEnd, block);
                return false;
            }
            if (!used.insert(next).second) {
                log(true, at, DbxStatus::ChainLoop, block);
                return false;
            }
            BlockHeader following;
            if (!readHeader(next, following)) return false;
            if (following.own != next) {
                log(true, at, DbxStatus::NotABlock, block);
                return false;
            }
            if (const int fault = layoutFault(following, next); fault != 0) {
                log(true, next, static_cast<DbxStatus>(fault), following);
                return false;
            }
            if (!readData(next, following, data_)) return false;
            if (message_.size() <= MaxQueuedMessageBytes) message_ += data_;
            at = next;
            block = following;
        }
        return true;
    }

    void forgetConsumedBefore(std::uint32_t offset) {
        consumed_.erase(consumed_.begin(), consumed_.lower_bound(offset));
    }

    void log(bool inChain, std::uint32_t position, DbxStatus status, const BlockHeader& block) {
        if (logFile_.empty()) return;
        if (!log_) log_ = std::fopen(logFile_.c_str(), "ab");
        if (!log_) return;
        const std::string line = dbxLogLine(inChain, position, status, block.size, block.next) + "\n";
        std::fwrite(line.data(), 1, line.size(), log_);
        std::fflush(log_);
    }

    ByteWindow* window_ = nullptr;
    std::int64_t fileSize_ = 0;
    std::int64_t cursor_ = 0;  // file offset the scan looks at next
    int fd_ = -1;
    std::string logFile_;
    std::FILE* log_ = nullptr;
    long long* skipped_ = nullptr;
    std::set<std::uint32_t> consumed_;  // chain blocks ahead of the scan
    std::string data_, message_;
};

}  // namespace

std::string dbxLogLine(bool inChain, std::uint32_t position, DbxStatus status, std::uint32_t size,
                       std::uint32_t next) {
    const long long diff = next == 0 ? 0 : static_cast<long long>(next) - static_cast<long long>(position);
    return std::string(inChain ? "+FilePos=" : "-FilePos=") + std::to_string(position) +
           " Status=" + std::to_string(static_cast<int>(status)) + " Size=" + std::to_string(size) +
           " NextPos=" + std::to_string(next) + " Diff#=" + std::to_string(diff) + "  ";
}

std::unique_ptr<MessageSplitter> makeDbxSplitter() { return std::make_unique<DbxSplitter>(); }

}  // namespace pm::formats
