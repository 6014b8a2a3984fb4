#include "support/dbase_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pm::test {

namespace {

void put16le(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32le(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put16be(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>((v >> 8) & 0xFF);
    s[at + 1] = static_cast<char>(v & 0xFF);
}
void put32be(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

// Appends one memo text to `file` (whose size is a whole number of blocks)
// and returns its first block.
std::uint32_t appendMemo(std::string& file, DbfFlavour flavour, std::uint32_t blockSize, const std::string& text) {
    const auto block = static_cast<std::uint32_t>(file.size() / blockSize);
    std::string data;
    switch (flavour) {
        case DbfFlavour::DBase3: data = text + "\x1A\x1A"; break;
        case DbfFlavour::DBase4:
            data = std::string("\xFF\xFF\x08\x00", 4) + std::string(4, '\0') + text;
            put32le(data, 4, static_cast<std::uint32_t>(text.size() + 8));
            break;
        case DbfFlavour::FoxPro:
            data = std::string(8, '\0') + text;
            put32be(data, 0, 1);
            put32be(data, 4, static_cast<std::uint32_t>(text.size()));
            break;
    }
    const std::size_t blocks = (data.size() + blockSize - 1) / blockSize;
    data.resize(blocks * blockSize, '\0');
    file += data;
    return block;
}

}  // namespace

DbfLayout writeDbf(const std::string& path, const DbfTable& table) {
    DbfLayout layout;
    const bool fox = table.flavour == DbfFlavour::FoxPro;
    const std::uint32_t blockSize = table.flavour == DbfFlavour::DBase3 ? 512 : table.memoBlockSize;
    bool hasMemo = false;
    layout.recordLength = 1;
    for (const DbfColumn& c : table.columns) {
        layout.columnOffsets.push_back(layout.recordLength);
        const int length = c.type == 'M' ? 10 : c.length;
        layout.recordLength += static_cast<std::uint32_t>(length);
        hasMemo = hasMemo || c.type == 'M';
    }
    layout.headerLength = static_cast<std::uint32_t>(32 + 32 * table.columns.size() + 1);

    std::string header(layout.headerLength, '\0');
    std::uint8_t version = 0x03;
    if (hasMemo) version = table.flavour == DbfFlavour::DBase3 ? 0x83 : fox ? 0xF5 : 0x8B;
    header[0] = static_cast<char>(version);
    header[1] = 98, header[2] = 7, header[3] = 14;
    put32le(header, 4, static_cast<std::uint32_t>(table.records.size()));
    put16le(header, 8, layout.headerLength);
    put16le(header, 10, layout.recordLength);
    header[29] = static_cast<char>(table.languageDriver);
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const DbfColumn& c = table.columns[i];
        const std::size_t at = 32 + 32 * i;
        header.replace(at, std::min<std::size_t>(c.name.size(), 10), c.name.substr(0, 10));
        header[at + 11] = c.type;
        header[at + 16] = static_cast<char>(c.type == 'M' ? 10 : c.length);
        header[at + 17] = static_cast<char>(c.decimals);
    }
    header[layout.headerLength - 1] = 0x0D;

    std::string memo(fox ? 512 : blockSize, '\0');
    std::string body;
    for (const DbfRecord& r : table.records) {
        std::string rec(layout.recordLength, ' ');
        rec[0] = r.deleted ? '*' : ' ';
        std::vector<std::uint32_t> blocks(table.columns.size(), 0);
        for (std::size_t i = 0; i < table.columns.size() && i < r.values.size(); ++i) {
            const DbfColumn& c = table.columns[i];
            const std::string& v = r.values[i];
            const std::size_t at = layout.columnOffsets[i];
            if (c.type == 'M') {
                if (v.empty()) continue;
                blocks[i] = appendMemo(memo, table.flavour, blockSize, v);
                const std::string ref = std::to_string(blocks[i]);
                rec.replace(at + 10 - ref.size(), ref.size(), ref);
            } else if (c.type == 'N') {
                const std::string t = v.substr(0, static_cast<std::size_t>(c.length));
                rec.replace(at + static_cast<std::size_t>(c.length) - t.size(), t.size(), t);
            } else {
                rec.replace(at, std::min<std::size_t>(v.size(), static_cast<std::size_t>(c.length)),
                            v.substr(0, static_cast<std::size_t>(c.length)));
            }
        }
        layout.memos.push_back(blocks);
        body += rec;
    }
    writeBytes(path, header + body + "\x1A");
    if (hasMemo) {
        const std::uint32_t nextFree = static_cast<std::uint32_t>(memo.size() / blockSize);
        if (fox) {
            put32be(memo, 0, nextFree);
            put16be(memo, 6, blockSize);
        } else {
            put32le(memo, 0, nextFree);
            if (table.flavour == DbfFlavour::DBase4) put16le(memo, 20, blockSize);
        }
        const std::filesystem::path p(path);
        layout.memoPath = (p.parent_path() / (p.stem().string() + (fox ? ".FPT" : ".DBT"))).string();
        writeBytes(layout.memoPath, memo);
    }
    return layout;
}

void patchFile(const std::string& path, std::uint64_t offset, const std::string& bytes) {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(offset));
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f.good()) << path;
}

void truncateFile(const std::string& path, std::uint64_t size) { std::filesystem::resize_file(path, size); }

}  // namespace pm::test
