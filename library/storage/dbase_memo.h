#pragma once
// The memo file of a dBase table: .DBT of dBase III and dBase IV, .FPT of
// FoxPro. A memo column of a record holds the number of the block where its
// text begins; block 0 is the file's header.
//
// Layouts:
//   dBase III .DBT  blocks of 512 bytes; a text runs over as many blocks as
//                   it needs and ends at the first 0x1A byte (writers put
//                   two) or at the end of the file.
//   dBase IV  .DBT  block size in the header (bytes 20-21, little-endian);
//                   a text's first block starts FF FF 08 00 and a 4-byte
//                   little-endian length that counts these 8 bytes.
//   FoxPro .FPT     block size in the header (bytes 6-7, big-endian); a
//                   block starts with a 4-byte big-endian kind (0 picture,
//                   1 text, 2 object) and a 4-byte big-endian length.
// A dBase IV file also reads blocks written in the dBase III way.
#include <cstdint>
#include <string>

namespace pm::dbase {

enum class MemoLayout { DBase3, DBase4, FoxPro };

enum class MemoRead {
    Ok,
    Damaged,  // the reference or the block does not hold a text; see the error text
};

class MemoFile {
public:
    MemoFile() = default;
    ~MemoFile();
    MemoFile(const MemoFile&) = delete;
    MemoFile& operator=(const MemoFile&) = delete;

    // Opens `path` read-only and reads its header. False with `error` set
    // when the file cannot be opened or its header is not of the layout.
    bool open(const std::string& path, MemoLayout layout, std::string& error);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    MemoLayout layout() const { return layout_; }
    std::uint32_t blockSize() const { return blockSize_; }

    // The bytes of the text that begins at `block` (0: no text, `out`
    // empty), at most `maxBytes` of them; a longer text is cut there. A
    // reference to the header or past the end of the file, and a block
    // whose stated length runs past the end of the file, are Damaged. Every
    // read stays within the file and moves forward only: a damaged file
    // can make a read fail, never loop.
    MemoRead read(std::uint32_t block, std::uint32_t maxBytes, std::string& out, std::string& error) const;

private:
    MemoRead readDBase3(std::uint64_t at, std::uint32_t maxBytes, std::string& out, std::string& error) const;
    bool readAt(std::uint64_t at, void* into, std::size_t n) const;

    int fd_ = -1;
    MemoLayout layout_ = MemoLayout::DBase3;
    std::uint32_t blockSize_ = 512;
    std::uint64_t fileSize_ = 0;
};

}  // namespace pm::dbase
