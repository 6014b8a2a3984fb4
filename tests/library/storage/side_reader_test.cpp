// The side reader: a second connection that reads what the process's read
// transaction reads, refuses what it can not read that way, and never
// waits for another process's commit.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "common/types.h"
#include "storage/side_reader.h"
#include "storage/table.h"
#include "support/other_process.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct NoteRecord {
    ULONG ID;
    char NAME[8];
    LONG SIZE;
};
#pragma pack(pop)

const TableDef& noteDef() {
    static const TableDef def = makeTableDef(
        0, "Note", "NOT", Location::Db, StorageClass::Keyed, sizeof(NoteRecord), true,
        {PM_FIELD(NoteRecord, ID, ULong), PM_FIELD(NoteRecord, NAME, String), PM_FIELD(NoteRecord, SIZE, Long)},
        {{"Body", 100000}}, {{"IdKey", Primary, {desc("ID")}}, {"NameKey", Dup, {asc("NAME")}}});
    return def;
}

struct SideReaderTest : ::testing::Test {
    test::TempDir root;
    NoteRecord N{};
    std::string body;
    Table notes{noteDef(), &N, {&body}};

    void SetUp() override {
        std::filesystem::create_directory(root / "D");
        notes.setFileName(root / "D/NOTES.TPS");
        ASSERT_EQ(notes.create(), StorageStatus::Ok);
        ASSERT_EQ(notes.open(), StorageStatus::Ok);
        add(1, "short", "the first body");
        // A name wider than its field, cut inside a two-byte character.
        add(2, "abcdefg\xc3\xa9xyz", std::string(50000, 'x') + " long");
        closeStorage();
    }
    void TearDown() override { closeStorage(); }

    void add(ULONG id, const std::string& name, const std::string& text) {
        N = {};
        N.ID = id;
        std::memset(N.NAME, ' ', sizeof N.NAME);
        std::memcpy(N.NAME, name.data(), std::min(name.size(), sizeof N.NAME));
        N.SIZE = static_cast<LONG>(text.size());
        body = text;
        ASSERT_EQ(notes.add(), StorageStatus::Ok);
    }

    std::unique_ptr<SideReader> openReader() {
        return SideReader::open({{&notes, &noteDef().keys[0], "NAME"},
                                 {&notes, &noteDef().keys[0], "Body"},
                                 {&notes, &noteDef().keys[0], ""}});
    }

    std::string store() { return root / "D/postmoor.db"; }
};

enum : std::size_t { NameQuery, BodyQuery, RecordQuery };

TEST_F(SideReaderTest, ReadsWhatTheTableReadsOnAnotherThread) {
    ASSERT_EQ(notes.open(), StorageStatus::Ok);
    const ReadScope reads;
    auto reader = openReader();
    ASSERT_TRUE(reader);
    ASSERT_TRUE(reader->begin());
    for (ULONG id : {1u, 2u}) {
        std::string name, text, record, own;
        // Read on a thread of its own, as the phrase check does.
        std::thread([&] {
            EXPECT_EQ(reader->readText(NameQuery, id, name), StorageStatus::Ok);
            EXPECT_EQ(reader->readText(BodyQuery, id, text), StorageStatus::Ok);
            EXPECT_EQ(reader->readRecord(RecordQuery, id, record), StorageStatus::Ok);
        }).join();
        N.ID = id;
        ASSERT_EQ(notes.getText(noteDef().keys[0], "NAME", own), StorageStatus::Ok);
        EXPECT_EQ(name, own);
        ASSERT_EQ(notes.getText(noteDef().keys[0], "Body", own), StorageStatus::Ok);
        EXPECT_EQ(text, own);
        ASSERT_EQ(notes.get(noteDef().keys[0]), StorageStatus::Ok);
        EXPECT_EQ(record, std::string(reinterpret_cast<const char*>(&N), sizeof N));
    }
    std::string value;
    EXPECT_EQ(reader->readText(BodyQuery, 3, value), StorageStatus::NotFound);
    EXPECT_EQ(reader->readRecord(RecordQuery, 3, value), StorageStatus::NotFound);
    // A query read as the other kind fails rather than guess.
    EXPECT_EQ(reader->readRecord(NameQuery, 1, value), StorageStatus::Other);
    EXPECT_EQ(reader->readText(RecordQuery, 1, value), StorageStatus::Other);
    reader->end();
}

TEST_F(SideReaderTest, RefusesWhatItCanNotReadAsTheProcessSees) {
    ASSERT_EQ(notes.open(), StorageStatus::Ok);
    // No read transaction: nothing to see the same as.
    EXPECT_FALSE(openReader());
    auto reader = std::unique_ptr<SideReader>();
    {
        const ReadScope reads;
        N.ID = 1;
        ASSERT_EQ(notes.get(noteDef().keys[0]), StorageStatus::Ok);  // the scope locks the store
        reader = openReader();
        ASSERT_TRUE(reader);
    }
    EXPECT_FALSE(reader->begin());  // the read transaction is over
    reader.reset();
    const ReadScope reads;
    N.ID = 1;
    ASSERT_EQ(notes.get(noteDef().keys[0]), StorageStatus::Ok);
    EXPECT_FALSE(SideReader::open({{&notes, &noteDef().keys[1], "Body"}}));  // a key of texts
    EXPECT_FALSE(SideReader::open({{&notes, &noteDef().keys[0], "SIZE"}}));  // no text
    EXPECT_FALSE(SideReader::open({{&notes, &noteDef().keys[0], "NOPE"}}));
    notes.close();
    EXPECT_FALSE(openReader());  // a table not open
}

// Another process begins to commit while this one reads: its commit waits
// for the process's read, and the side reader joins that read without
// waiting, reading what stood before the commit. Once both let go the
// commit lands, and the next read of both sees it.
TEST_F(SideReaderTest, ReadsWhatStoodWhileAnotherProcessCommitsAndNeverWaits) {
    // The writer starts before this process opens the store: SQLite must
    // not be used on both sides of a fork.
    const std::string file = store();
    test::WriterInWaiting writer(file, "BEGIN IMMEDIATE; UPDATE \"Note\" SET \"Body\" = 'changed' WHERE \"ID\" = 1");
    ASSERT_TRUE(writer.wrote());

    ASSERT_EQ(notes.open(), StorageStatus::Ok);
    std::string text;
    {
        const ReadScope reads;
        N.ID = 1;
        ASSERT_EQ(notes.get(noteDef().keys[0]), StorageStatus::Ok);
        auto reader = openReader();
        ASSERT_TRUE(reader);
        writer.commit();
        ASSERT_TRUE(test::writerCommitting(file));
        const auto before = std::chrono::steady_clock::now();
        ASSERT_TRUE(reader->begin());
        EXPECT_EQ(reader->readText(BodyQuery, 1, text), StorageStatus::Ok);
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
        EXPECT_EQ(text, "the first body");
        reader->end();
    }
    EXPECT_EQ(writer.exitCode(), 0);

    const ReadScope reads;
    N.ID = 1;
    ASSERT_EQ(notes.get(noteDef().keys[0]), StorageStatus::Ok);
    auto reader = openReader();
    ASSERT_TRUE(reader);
    ASSERT_TRUE(reader->begin());
    EXPECT_EQ(reader->readText(BodyQuery, 1, text), StorageStatus::Ok);
    EXPECT_EQ(text, "changed");
}

}  // namespace
}  // namespace pm
