#pragma once
// Byte-level helpers of the dBase reader: numbers in either byte order and
// positioned reads that do not depend on a shared file offset.
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace pm::dbase {

inline std::uint32_t littleEndian16(const unsigned char* p) { return p[0] | (p[1] << 8); }
inline std::uint32_t littleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint32_t bigEndian16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
inline std::uint32_t bigEndian32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

// Reads exactly `n` bytes at `offset`; false on an error or a short file.
inline bool readFully(int fd, std::uint64_t offset, void* into, std::size_t n) {
    auto* p = static_cast<unsigned char*>(into);
    while (n > 0) {
        const ssize_t got = ::pread(fd, p, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

}  // namespace pm::dbase
