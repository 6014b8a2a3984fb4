#include "storage/dbase_memo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "storage/dbase_bytes.h"

namespace pm::dbase {

namespace {

constexpr std::uint32_t kDBase3BlockSize = 512;
constexpr unsigned char kEndMark = 0x1A;
constexpr std::uint32_t kBlockHeader = 8;

bool plausibleBlockSize(std::uint32_t size) { return size >= 32 && size <= 65536; }

}  // namespace

MemoFile::~MemoFile() { close(); }

void MemoFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool MemoFile::readAt(std::uint64_t at, void* into, std::size_t n) const {
    if (at + n > fileSize_) return false;
    return readFully(fd_, at, into, n);
}

bool MemoFile::open(const std::string& path, MemoLayout layout, std::string& error) {
    close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error = "The memo file " + path + " cannot be opened: " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    fileSize_ = ::fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    layout_ = layout;
    unsigned char header[32] = {};
    if (!readAt(0, header, sizeof header)) {
        error = "The memo file " + path + " is too short to hold its header";
        close();
        return false;
    }
    switch (layout) {
        case MemoLayout::DBase3:
            blockSize_ = kDBase3BlockSize;
            break;
        case MemoLayout::DBase4: {
            // Files written by dBase III programs leave the size 0.
            const std::uint32_t size = littleEndian16(header + 20);
            blockSize_ = plausibleBlockSize(size) ? size : kDBase3BlockSize;
            break;
        }
        case MemoLayout::FoxPro: {
            const std::uint32_t size = bigEndian16(header + 6);
            if (size == 0 || size > 65536) {
                error = "The memo file " + path + " declares no usable block size";
                close();
                return false;
            }
            blockSize_ = size;
            break;
        }
    }
    return true;
}

MemoRead MemoFile::read(std::uint32_t block, std::uint32_t maxBytes, std::string& out, std::string& error) const {
    out.clear();
    if (block == 0) return MemoRead::Ok;
    if (fd_ < 0) {
        error = "The memo file is not open";
        return MemoRead::Damaged;
    }
    const std::uint64_t at = static_cast<std::uint64_t>(block) * blockSize_;
    // FoxPro counts its header in blocks of the file's size, which may be
    // smaller than the 512 bytes of the header itself.
    const std::uint64_t headerEnd = layout_ == MemoLayout::FoxPro ? 512 : blockSize_;
    if (at < headerEnd || at >= fileSize_) {
        error = "Memo block " + std::to_string(block) + " lies outside the memo file";
        return MemoRead::Damaged;
    }
    if (layout_ == MemoLayout::FoxPro) {
        unsigned char head[kBlockHeader];
        if (!readAt(at, head, sizeof head)) {
            error = "Memo block " + std::to_string(block) + " is cut off";
            return MemoRead::Damaged;
        }
        const std::uint64_t length = bigEndian32(head + 4);
        if (at + kBlockHeader + length > fileSize_) {
            error = "Memo block " + std::to_string(block) + " runs past the end of the memo file";
            return MemoRead::Damaged;
        }
        out.resize(static_cast<std::size_t>(length < maxBytes ? length : maxBytes));
        if (!readAt(at + kBlockHeader, out.data(), out.size())) return MemoRead::Damaged;
        return MemoRead::Ok;
    }
    if (layout_ == MemoLayout::DBase4) {
        unsigned char head[kBlockHeader];
        if (readAt(at, head, sizeof head) && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
            const std::uint64_t length = littleEndian32(head + 4);
            if (length < kBlockHeader || at + length > fileSize_) {
                error = "Memo block " + std::to_string(block) + " states a length the memo file does not hold";
                return MemoRead::Damaged;
            }
            const std::uint64_t text = length - kBlockHeader;
            out.resize(static_cast<std::size_t>(text < maxBytes ? text : maxBytes));
            if (!readAt(at + kBlockHeader, out.data(), out.size())) return MemoRead::Damaged;
            return MemoRead::Ok;
        }
    }
    return readDBase3(at, maxBytes, out, error);
}

MemoRead MemoFile::readDBase3(std::uint64_t at, std::uint32_t maxBytes, std::string& out, std::string& error) const {
    char chunk[kDBase3BlockSize];
    while (at < fileSize_ && out.size() < maxBytes) {
        const std::size_t n = static_cast<std::size_t>(fileSize_ - at < sizeof chunk ? fileSize_ - at : sizeof chunk);
        if (!readAt(at, chunk, n)) {
            error = "The memo file cannot be read: " + std::string(std::strerror(errno));
            return MemoRead::Damaged;
        }
        const void* mark = std::memchr(chunk, kEndMark, n);
        const std::size_t take = mark ? static_cast<std::size_t>(static_cast<const char*>(mark) - chunk) : n;
        out.append(chunk, take);
        if (mark) break;
        at += n;
    }
    if (out.size() > maxBytes) out.resize(maxBytes);
    return MemoRead::Ok;
}

}  // namespace pm::dbase
