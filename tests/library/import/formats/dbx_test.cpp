// Outlook Express 5 block chains: which chains become messages, and the
// diagnostic log line of every block that breaks the layout.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "import/formats/dbx_splitter.h"
#include "splitter_support.h"

namespace pm::formats {
namespace {

using test::TempDir;

// A folder file put together block by block.
class DbxFile {
public:
    DbxFile() : bytes_(std::string("\xCF\xAD\x12\xFE", 4) + std::string(0x24B8, '\0')) {}

    // Reserves a block's 528 bytes; returns its position.
    std::uint32_t reserve() {
        const auto at = static_cast<std::uint32_t>(bytes_.size());
        bytes_.append(528, '\0');
        return at;
    }
    // Writes a block header (and its data) at `at`.
    void block(std::uint32_t at, const std::string& data, std::uint32_t next = 0, std::uint32_t size = 512,
               std::uint32_t own = 0xFFFFFFFF, std::uint32_t length = 0xFFFFFFFF) {
        put(at, own == 0xFFFFFFFF ? at : own);
        put(at + 4, size);
        put(at + 8, length == 0xFFFFFFFF ? static_cast<std::uint32_t>(data.size()) : length);
        put(at + 12, next);
        bytes_.replace(at + 16, data.size(), data);
    }
    const std::string& bytes() const { return bytes_; }

private:
    void put(std::uint32_t at, std::uint32_t value) {
        for (int k = 0; k < 4; ++k) bytes_[at + static_cast<std::uint32_t>(k)] = static_cast<char>(value >> (8 * k));
    }
    std::string bytes_;
};

struct Cut {
    std::vector<std::string> messages;
    std::vector<std::string> log;
    long long skipped = 0;
};

Cut cutFolder(const DbxFile& file) {
    TempDir dir;
    Cut out;
    out.messages = test::cutMessages(makeDbxSplitter(), file.bytes(), dir, "Inbox.dbx", dir / "Log.txt", &out.skipped);
    std::ifstream log(dir / "Log.txt");
    for (std::string line; std::getline(log, line);) out.log.push_back(line);
    return out;
}

std::string line(bool inChain, std::uint32_t at, DbxStatus status, std::uint32_t next) {
    return dbxLogLine(inChain, at, status, 512, next);
}

TEST(DbxChains, ChainsAreFollowedWhereverTheyLeadAndTheirBlocksUsedOnce) {
    DbxFile f;
    const std::uint32_t a = f.reserve(), b = f.reserve(), c = f.reserve();
    const std::string first = "From: a\r\nSubject: s\r\n\r\n" + std::string(512 - 23, 'x');
    f.block(a, first, c);
    f.block(b, "From - Mon\r\nFrom: b\r\n\r\nsecond\r\n");
    f.block(c, "tail\r\n");
    const Cut cut = cutFolder(f);
    // The line that spans the two blocks is one line (two queue pieces).
    EXPECT_EQ(cut.messages,
              (std::vector<std::string>{"From: a|Subject: s||" + std::string(400, 'x') + "|" + std::string(89, 'x') + "tail",
                                        "From - Mon|From: b||second"}));
    EXPECT_TRUE(cut.log.empty());
    EXPECT_EQ(cut.skipped, 0);
}

TEST(DbxChains, BlocksThatBreakTheLayoutAreLoggedAndTheirChainsDropped) {
    DbxFile f;
    // A chain whose second block points 100 bytes past its own start.
    const std::uint32_t a1 = f.reserve(), a2 = f.reserve();
    f.block(a1, "From: a\r\n", a2);
    f.block(a2, "more", a2 + 100);
    // A chain that leaves the file, one that runs in a circle, one that
    // points at no block, and a block with too much data.
    const std::uint32_t b = f.reserve(), c1 = f.reserve(), c2 = f.reserve(), d = f.reserve(), e = f.reserve();
    f.block(b, "From: b\r\n", 0x7FFFFF00);
    f.block(c1, "From: c\r\n", c2);
    f.block(c2, "more", c1);
    f.block(d, "From: d\r\n", e);
    f.block(e, "", 0, 512, e + 4);
    const std::uint32_t big = f.reserve();
    f.block(big, "From: e\r\n", 0, 512, 0xFFFFFFFF, 600);
    // A sound block that starts nothing, an index node, and a good message.
    const std::uint32_t orphan = f.reserve(), node = f.reserve(), good = f.reserve();
    f.block(orphan, "text of a deleted message\r\n");
    f.block(node, "", 0, 0x27C);
    f.block(good, "Subject: kept\r\n\r\nbody\r\n");

    const Cut cut = cutFolder(f);
    EXPECT_EQ(cut.messages, (std::vector<std::string>{"Subject: kept||body"}));
    EXPECT_EQ(cut.skipped, 4);
    EXPECT_EQ(cut.log, (std::vector<std::string>{
                           line(true, a2, DbxStatus::NextInsideBlock, a2 + 100),
                           line(true, b, DbxStatus::NextPastEnd, 0x7FFFFF00),
                           line(true, c2, DbxStatus::ChainLoop, c1),
                           line(true, d, DbxStatus::NotABlock, e),
                           dbxLogLine(true, big, DbxStatus::DataTooLong, 512, 0),
                           line(false, orphan, DbxStatus::NoHeader, 0),
                       }));
    EXPECT_EQ(cut.log[0], "+FilePos=" + std::to_string(a2) + " Status=3 Size=512 NextPos=" + std::to_string(a2 + 100) +
                              " Diff#=100  ");
    EXPECT_EQ(cut.log[5], "-FilePos=" + std::to_string(orphan) + " Status=7 Size=512 NextPos=0 Diff#=0  ");
}

TEST(DbxChains, AFileWithoutBlocksHoldsNoMessage) {
    DbxFile f;
    const Cut cut = cutFolder(f);
    EXPECT_TRUE(cut.messages.empty());
    EXPECT_TRUE(cut.log.empty());
}

}  // namespace
}  // namespace pm::formats
