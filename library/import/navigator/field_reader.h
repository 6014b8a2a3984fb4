#pragma once
// Reads the fields of a binary record in order: little-endian numbers,
// strings of a length byte and that many characters, skips. A read past
// the record's end fails (`ok()` false) and yields 0 or "", so a damaged
// or short record can never make the reader leave it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pm::navigator {

class FieldReader {
public:
    explicit FieldReader(std::string_view bytes, std::size_t start = 0) : bytes_(bytes), pos_(start) {
        if (pos_ > bytes_.size()) fail();
    }

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return ok_ ? bytes_.size() - pos_ : 0; }
    bool ok() const { return ok_; }

    void skip(std::size_t n) {
        if (!ok_ || n > bytes_.size() - pos_) return fail();
        pos_ += n;
    }
    // Moves to `pos` (forward or back) within the record.
    void seek(std::size_t pos) {
        if (!ok_ || pos > bytes_.size()) return fail();
        pos_ = pos;
    }
    std::uint32_t byte() { return number(1); }
    std::uint32_t word() { return number(2); }
    std::uint32_t dword() { return number(4); }

    // A string of a length byte and its characters; the first `keep` of them.
    std::string_view string(std::size_t keep) {
        const std::size_t length = byte();
        if (!ok_ || length > bytes_.size() - pos_) {
            fail();
            return {};
        }
        const std::string_view s = bytes_.substr(pos_, length < keep ? length : keep);
        pos_ += length;
        return s;
    }
    // `n` raw bytes (fewer at the end of the record, which then fails).
    std::string_view bytes(std::size_t n) {
        if (!ok_) return {};
        if (n > bytes_.size() - pos_) {
            fail();
            return {};
        }
        const std::string_view s = bytes_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    // Everything from the position to the record's end.
    std::string_view rest() const { return ok_ ? bytes_.substr(pos_) : std::string_view(); }

private:
    std::uint32_t number(std::size_t n) {
        if (!ok_ || n > bytes_.size() - pos_) {
            fail();
            return 0;
        }
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += n;
        return v;
    }
    void fail() {
        ok_ = false;
        pos_ = bytes_.size();
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace pm::navigator
