// The read-only dBase reader: real tables of other programs (when the shared
// samples are there), tables written here in the dBase III, dBase IV and
// FoxPro layouts, and damaged ones - cut off, wrong signature, memo
// references that lead nowhere - read through the dBase backend of Table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/dates.h"
#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/dbase_table_file.h"
#include "storage/table.h"
#include "support/corpora.h"
#include "support/dbase_writer.h"
#include "support/test_root.h"

namespace pm {
namespace {

using test::DbfColumn;
using test::DbfFlavour;
using test::DbfRecord;
using test::DbfTable;

// --- real tables ---------------------------------------------------------

#define CORPUS_TABLE(var, relative)                                    \
    const std::string var = test::corpusFile(std::string("dbf/") + relative); \
    if (var.empty()) GTEST_SKIP() << "sample table not present: " << relative

TEST(DBaseCorpus, EveryTableOpensOrSaysWhyAndEveryRecordReads) {
    const auto root = test::corporaRoot();
    if (!root || !std::filesystem::is_directory(*root / "dbf")) GTEST_SKIP() << "no sample tables";
    int opened = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(*root / "dbf")) {
        std::string ext = entry.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".dbf") continue;
        const std::string path = entry.path().string();
        dbase::TableFile table;
        std::string error;
        if (!table.open(path, error)) {
            // Only the tables whose memo file is missing may refuse.
            EXPECT_NE(error.find("memo file"), std::string::npos) << path << ": " << error;
            continue;
        }
        ++opened;
        EXPECT_EQ(table.completeRecords(), table.recordCount()) << path;
        for (std::uint32_t i = 0; i < table.recordCount(); ++i) {
            const dbase::RecordRead r = table.read(i, error);
            ASSERT_TRUE(r == dbase::RecordRead::Ok || r == dbase::RecordRead::Deleted) << path << " #" << i << error;
            for (const dbase::Column& c : table.columns()) {
                std::string memo;
                if (c.isMemo(table.variant())) {
                    EXPECT_EQ(table.memo(c, 65280, memo, error), dbase::MemoRead::Ok) << path << " " << c.name << error;
                }
            }
        }
    }
    EXPECT_GE(opened, 15);
}

TEST(DBaseCorpus, DBaseTwoIsToldFromItsSuccessors) {
    CORPUS_TABLE(path, "infused-dbf/dbase_02.dbf");
    dbase::TableFile table;
    std::string error;
    ASSERT_TRUE(table.open(path, error)) << error;
    EXPECT_EQ(table.variant(), dbase::Variant::DBase2);
    EXPECT_EQ(table.recordCount(), 9u);  // not the 8 million a dBase III reading gives
    ASSERT_EQ(table.read(0, error), dbase::RecordRead::Ok);
    EXPECT_EQ(table.text(*table.column("LAST")), "Stegman");
    double n = 0;
    ASSERT_NE(table.column("EMP:NMBR"), nullptr);
    EXPECT_TRUE(table.number(*table.column("EMP:NMBR"), n));
    EXPECT_EQ(n, 2);
}

TEST(DBaseCorpus, MemosOfTheThreeLayouts) {
    CORPUS_TABLE(dBase3, "infused-dbf/dbase_83.dbf");
    CORPUS_TABLE(dBase4, "infused-dbf/dbase_8b.dbf");
    CORPUS_TABLE(foxPro, "dbfread/memotest.dbf");
    std::string error, memo;
    dbase::TableFile t3, t4, fox;
    ASSERT_TRUE(t3.open(dBase3, error)) << error;
    ASSERT_EQ(t3.memoFile()->layout(), dbase::MemoLayout::DBase3);
    ASSERT_EQ(t3.read(0, error), dbase::RecordRead::Ok);
    ASSERT_EQ(t3.memo(*t3.column("DESC"), 65280, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo.rfind("Our Original assortment", 0), 0u) << memo;
    EXPECT_EQ(memo.find('\x1A'), std::string::npos);

    ASSERT_TRUE(t4.open(dBase4, error)) << error;
    ASSERT_EQ(t4.memoFile()->layout(), dbase::MemoLayout::DBase4);
    ASSERT_EQ(t4.read(0, error), dbase::RecordRead::Ok);
    ASSERT_EQ(t4.memo(*t4.column("MEMO"), 65280, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo, "First memo\r\n");
    EXPECT_EQ(t4.date(*t4.column("DATE")), dayNumber(1970, 1, 1));

    ASSERT_TRUE(fox.open(foxPro, error)) << error;
    ASSERT_EQ(fox.memoFile()->layout(), dbase::MemoLayout::FoxPro);
    ASSERT_EQ(fox.read(0, error), dbase::RecordRead::Ok);
    ASSERT_EQ(fox.memo(*fox.column("MEMO"), 65280, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo, "Alice memo");
    EXPECT_EQ(fox.read(2, error), dbase::RecordRead::Deleted);
}

TEST(DBaseCorpus, CodePagesOfTheLanguageDriver) {
    CORPUS_TABLE(cp1251, "infused-dbf/cp1251.dbf");
    CORPUS_TABLE(undeclared, "infused-dbf/dbase_03_cyrillic.dbf");
    std::string error;
    dbase::TableFile russian, utf8;
    ASSERT_TRUE(russian.open(cp1251, error)) << error;
    ASSERT_EQ(russian.read(0, error), dbase::RecordRead::Ok);
    EXPECT_EQ(russian.text(*russian.column("NAME")), "амбулаторно-поликлиническое");
    // Driver byte 0xF0 is no code page: the UTF-8 text stays as it is.
    ASSERT_TRUE(utf8.open(undeclared, error)) << error;
    EXPECT_FALSE(utf8.codePage().known());
    ASSERT_NE(utf8.column("ПЛОЩА"), nullptr);
    ASSERT_EQ(utf8.read(0, error), dbase::RecordRead::Ok);
    EXPECT_EQ(utf8.text(*utf8.column("ШАР")), "Номер");
    double area = 0;
    EXPECT_TRUE(utf8.number(*utf8.column("ПЛОЩА"), area));
    EXPECT_DOUBLE_EQ(area, 36.3);
}

TEST(DBaseCorpus, TablesWithoutTheirMemoFileAreRefusedByName) {
    CORPUS_TABLE(path, "infused-dbf/dbase_83_missing_memo.dbf");
    dbase::TableFile table;
    std::string error;
    EXPECT_FALSE(table.open(path, error));
    EXPECT_NE(error.find("dbase_83_missing_memo.DBT"), std::string::npos) << error;
}

// --- tables written here -------------------------------------------------

DbfTable messageTable(DbfFlavour flavour) {
    DbfTable t;
    t.flavour = flavour;
    t.memoBlockSize = flavour == DbfFlavour::FoxPro ? 64 : 512;
    t.columns = {{"SUBJECT", 'C', 20}, {"NUMBER", 'N', 8}, {"SENT", 'D', 8}, {"READ", 'L', 1}, {"TEXT", 'M'}};
    const std::string longText = std::string(700, 'a') + "\r\n" + std::string(700, 'b');
    t.records = {
        {{"First", "101", "19950519", "T", "short memo"}},
        {{"Gone", "102", "19950520", "F", "deleted memo"}, true},
        {{"Long", "103", "", "F", longText}},
        {{"No memo", "", "19950521", "?", ""}},
    };
    return t;
}

class DBaseWritten : public ::testing::TestWithParam<DbfFlavour> {
protected:
    test::TempDir dir;
    std::string path = dir / "MSGS.DBF";
};

TEST_P(DBaseWritten, ValuesMemosAndDeletionMarks) {
    test::writeDbf(path, messageTable(GetParam()));
    dbase::TableFile t;
    std::string error, memo;
    ASSERT_TRUE(t.open(path, error)) << error;
    ASSERT_EQ(t.recordCount(), 4u);
    ASSERT_EQ(t.read(0, error), dbase::RecordRead::Ok);
    EXPECT_EQ(t.text(*t.column("subject")), "First");
    double n = 0;
    ASSERT_TRUE(t.number(*t.column("NUMBER"), n));
    EXPECT_EQ(n, 101);
    EXPECT_EQ(t.date(*t.column("SENT")), 70999);
    EXPECT_EQ(t.text(*t.column("READ")), "T");
    ASSERT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo, "short memo");

    EXPECT_EQ(t.read(1, error), dbase::RecordRead::Deleted);

    // A memo longer than a block runs on into the next blocks.
    ASSERT_EQ(t.read(2, error), dbase::RecordRead::Ok);
    ASSERT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo.size(), 1402u);
    EXPECT_EQ(memo.substr(698, 6), "aa\r\nbb");
    EXPECT_EQ(t.date(*t.column("SENT")), 0);
    // The memo limit cuts a longer text.
    ASSERT_EQ(t.memo(*t.column("TEXT"), 100, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo.size(), 100u);

    ASSERT_EQ(t.read(3, error), dbase::RecordRead::Ok);
    EXPECT_FALSE(t.number(*t.column("NUMBER"), n));
    ASSERT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo, "");
    EXPECT_EQ(t.read(4, error), dbase::RecordRead::End);
}

TEST_P(DBaseWritten, MemoReferencesThatLeadNowhereFailOnlyTheirRecord) {
    const test::DbfLayout layout = test::writeDbf(path, messageTable(GetParam()));
    const std::size_t memoColumn = 4;
    // Record 3 points far past the memo file's end; in FoxPro's small
    // blocks, record 1 points into the file's header.
    test::patchFile(path, layout.fieldAt(2, memoColumn), "  99999999");
    test::patchFile(path, layout.fieldAt(0, memoColumn), "         3");
    dbase::TableFile t;
    std::string error, memo;
    ASSERT_TRUE(t.open(path, error)) << error;
    ASSERT_EQ(t.read(2, error), dbase::RecordRead::Ok);
    EXPECT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Damaged);
    EXPECT_NE(error.find("outside the memo file"), std::string::npos) << error;
    ASSERT_EQ(t.read(0, error), dbase::RecordRead::Ok);
    if (GetParam() == DbfFlavour::FoxPro) {
        EXPECT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Damaged);
    }
    ASSERT_EQ(t.read(3, error), dbase::RecordRead::Ok);
    EXPECT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Ok);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DBaseWritten,
                         ::testing::Values(DbfFlavour::DBase3, DbfFlavour::DBase4, DbfFlavour::FoxPro));

TEST(DBaseDamage, AStatedMemoLengthBeyondTheFileIsDamageNotAnEndlessRead) {
    // dBase IV and FoxPro memos state their length; dBase III ones do not.
    for (const DbfFlavour flavour : {DbfFlavour::DBase4, DbfFlavour::FoxPro}) {
        test::TempDir dir;
        const std::string path = dir / "MSGS.DBF";
        const test::DbfLayout layout = test::writeDbf(path, messageTable(flavour));
        const std::uint32_t block = layout.memos[0][4];
        const std::uint32_t blockSize = flavour == DbfFlavour::FoxPro ? 64 : 512;
        test::patchFile(layout.memoPath, std::uint64_t{block} * blockSize + 4, std::string("\xFF\xFF\xFF\x7F", 4));
        dbase::TableFile t;
        std::string error, memo;
        ASSERT_TRUE(t.open(path, error)) << error;
        ASSERT_EQ(t.read(0, error), dbase::RecordRead::Ok);
        EXPECT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Damaged);
        ASSERT_EQ(t.read(2, error), dbase::RecordRead::Ok);
        EXPECT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Ok);
    }
}

TEST(DBaseDamage, AMemoWithoutEndMarkEndsWithTheFile) {
    test::TempDir dir;
    const std::string path = dir / "T.DBF";
    DbfTable table = messageTable(DbfFlavour::DBase3);
    table.records.resize(1);
    const test::DbfLayout layout = test::writeDbf(path, table);
    // Every byte after the text becomes text: no 0x1A anywhere.
    const auto size = std::filesystem::file_size(layout.memoPath);
    test::patchFile(layout.memoPath, 512, std::string(size - 512, 'x'));
    dbase::TableFile t;
    std::string error, memo;
    ASSERT_TRUE(t.open(path, error)) << error;
    ASSERT_EQ(t.read(0, error), dbase::RecordRead::Ok);
    ASSERT_EQ(t.memo(*t.column("TEXT"), 65280, memo, error), dbase::MemoRead::Ok);
    EXPECT_EQ(memo.size(), size - 512);
}

TEST(DBaseDamage, ACutOffTableKeepsItsWholeRecords) {
    test::TempDir dir;
    const std::string path = dir / "T.DBF";
    const test::DbfLayout layout = test::writeDbf(path, messageTable(DbfFlavour::DBase4));
    test::truncateFile(path, layout.headerLength + 2 * layout.recordLength + 5);
    dbase::TableFile t;
    std::string error;
    ASSERT_TRUE(t.open(path, error)) << error;
    EXPECT_EQ(t.recordCount(), 4u);
    EXPECT_EQ(t.completeRecords(), 2u);
    EXPECT_EQ(t.read(0, error), dbase::RecordRead::Ok);
    EXPECT_EQ(t.read(2, error), dbase::RecordRead::Damaged);
    EXPECT_NE(error.find("cut off"), std::string::npos) << error;
    EXPECT_EQ(t.read(3, error), dbase::RecordRead::Damaged);
}

TEST(DBaseDamage, TimeStampsOutsideTheCalendarReadAsNoDate) {
    test::TempDir dir;
    const std::string path = dir / "STAMPS.DBF";
    // A stamp is the Julian day then the milliseconds, both little-endian.
    auto stamp = [](std::uint32_t julian) {
        std::string s(8, '\0');
        for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((julian >> (8 * i)) & 0xFF);
        return s;
    };
    DbfTable t;
    t.columns = {{"STAMP", 'T', 8}};
    for (std::uint32_t julian : {2440588u, 2440589u, 0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 1u})
        t.records.push_back({{stamp(julian)}});
    test::writeDbf(path, t);
    dbase::TableFile table;
    std::string error;
    ASSERT_TRUE(table.open(path, error)) << error;
    std::vector<LONG> days;
    for (std::uint32_t i = 0; i < table.recordCount(); ++i) {
        ASSERT_EQ(table.read(i, error), dbase::RecordRead::Ok) << error;
        days.push_back(table.date(*table.column("STAMP")));
    }
    const LONG epoch = dayNumber(1970, 1, 1);
    EXPECT_EQ(days, (std::vector<LONG>{epoch, epoch + 1, 0, 0, 0, 0}));
}

TEST(DBaseDamage, FilesThatAreNoTablesAreRefused) {
    test::TempDir dir;
    std::string error;
    dbase::TableFile t;
    test::writeDbf(dir / "T.DBF", messageTable(DbfFlavour::DBase3));
    test::patchFile(dir / "T.DBF", 0, "V");
    EXPECT_FALSE(t.open(dir / "T.DBF", error));
    EXPECT_NE(error.find("is not a dBase table (its first byte is 0x56)"), std::string::npos) << error;

    test::writeDbf(dir / "H.DBF", messageTable(DbfFlavour::DBase3));
    test::truncateFile(dir / "H.DBF", 70);
    EXPECT_FALSE(t.open(dir / "H.DBF", error));
    EXPECT_NE(error.find("cut off inside its dBase header"), std::string::npos) << error;

    // A record length shorter than the columns.
    test::writeDbf(dir / "L.DBF", messageTable(DbfFlavour::DBase3));
    test::patchFile(dir / "L.DBF", 10, std::string("\x05\x00", 2));
    EXPECT_FALSE(t.open(dir / "L.DBF", error));
    EXPECT_NE(error.find("columns longer than its records"), std::string::npos) << error;

    test::writeDbf(dir / "E.DBF", {});
    EXPECT_FALSE(t.open(dir / "E.DBF", error));
}

TEST(DBaseCodePage, DeclaredUnknownAndHandMadeCodePages) {
    test::TempDir dir;
    DbfTable table;
    table.columns = {{"NAME", 'C', 12}};
    table.records = {{{"Gr\x81\xE1" "e"}}};  // "Grüße" in code page 437
    table.languageDriver = 0x01;
    test::writeDbf(dir / "A.DBF", table);
    table.languageDriver = 0xEE;  // no code page has this byte
    table.records = {{{"Gr\xFC\xDF" "e"}}};  // Windows-1252
    test::writeDbf(dir / "B.DBF", table);
    table.languageDriver = 0x69;  // Mazovia
    table.records = {{{"\x9E\x86\x92"}}};
    test::writeDbf(dir / "C.DBF", table);

    std::string error;
    for (const auto& [file, expected, known] :
         {std::tuple{"A.DBF", "Grüße", true}, std::tuple{"B.DBF", "Grüße", false}, std::tuple{"C.DBF", "śął", true}}) {
        dbase::TableFile t;
        ASSERT_TRUE(t.open(dir / file, error)) << error;
        EXPECT_EQ(t.codePage().known(), known) << file;
        ASSERT_EQ(t.read(0, error), dbase::RecordRead::Ok);
        EXPECT_EQ(t.text(*t.column("NAME")), expected) << file;
    }
}

// --- through Table -------------------------------------------------------

#pragma pack(push, 1)
struct MessageRecord {
    FixedText<12> SUBJECT;
    REAL NUMBER;
    LONG SENT;
    FixedText<1> READ;
    LONG TEXT_PTR;
    FixedText<6> MISSING;
};
#pragma pack(pop)

const TableDef& messageDef() {
    using R = MessageRecord;
    static const TableDef def = makeTableDef(
        0, "MSG", "MSG", Location::Ext, StorageClass::DBase, sizeof(R), true,
        {PM_FIELD(R, SUBJECT, String), PM_FIELD(R, NUMBER, Real), PM_FIELD(R, SENT, DbDate),
         PM_FIELD(R, READ, String), PM_FIELD(R, TEXT_PTR, Long), PM_FIELD(R, MISSING, String)},
        {{"TEXT", 65280}}, {});
    return def;
}

struct DBaseTableFixture : ::testing::Test {
    test::TempDir dir;
    MessageRecord MSG{};
    std::string text;
    Table table{messageDef(), &MSG, {&text}};

    void TearDown() override { table.close(); }
};

TEST_F(DBaseTableFixture, ReadsForwardAndBackPassingOverDeletedRecords) {
    test::writeDbf(dir / "M.DBF", messageTable(DbfFlavour::DBase4));
    table.setFileName(dir / "M.DBF");
    ASSERT_EQ(table.open(ShareMode::SharedReadOnly), StorageStatus::Ok) << table.lastError().text;
    EXPECT_EQ(table.records(), 4);
    EXPECT_EQ(table.checkLayout(), StorageStatus::LayoutDiffers);
    EXPECT_NE(table.lastError().text.find("MISSING"), std::string::npos);

    std::vector<std::string> seen;
    table.setPhysical();
    while (table.next() == StorageStatus::Ok)
        seen.push_back(MSG.SUBJECT.str() + "/" + std::to_string(table.position()));
    EXPECT_EQ(seen, (std::vector<std::string>{"First/1", "Long/3", "No memo/4"}));

    table.setPhysical();
    ASSERT_EQ(table.previous(), StorageStatus::Ok);
    EXPECT_EQ(MSG.SUBJECT, "No memo");
    ASSERT_EQ(table.previous(), StorageStatus::Ok);
    EXPECT_EQ(MSG.SUBJECT, "Long");
    EXPECT_EQ(text.size(), 1402u);
    EXPECT_EQ(MSG.SENT, 0);
    ASSERT_EQ(table.previous(), StorageStatus::Ok);
    EXPECT_EQ(MSG.SUBJECT, "First");
    EXPECT_EQ(MSG.NUMBER, 101.0);
    EXPECT_EQ(MSG.SENT, 70999);
    EXPECT_EQ(MSG.READ, "T");
    EXPECT_GT(MSG.TEXT_PTR, 0);
    EXPECT_EQ(text, "short memo");
    EXPECT_EQ(table.previous(), StorageStatus::NotFound);

    EXPECT_EQ(table.getAt(2), StorageStatus::NotFound);  // deleted
    ASSERT_EQ(table.getAt(4), StorageStatus::Ok);
    EXPECT_EQ(MSG.SUBJECT, "No memo");
    EXPECT_TRUE(text.empty());
}

TEST_F(DBaseTableFixture, ABadRecordFailsItsReadAndTheSequenceGoesOn) {
    const test::DbfLayout layout = test::writeDbf(dir / "M.DBF", messageTable(DbfFlavour::FoxPro));
    test::patchFile(dir / "M.DBF", layout.fieldAt(0, 4), "     99999");
    test::truncateFile(dir / "M.DBF", layout.headerLength + 3 * layout.recordLength + 3);
    table.setFileName(dir / "M.DBF");
    ASSERT_EQ(table.open(ShareMode::SharedReadOnly), StorageStatus::Ok) << table.lastError().text;
    std::vector<std::string> outcomes;
    table.setPhysical();
    for (StorageStatus st; (st = table.next()) != StorageStatus::NotFound;)
        outcomes.push_back(st == StorageStatus::Ok ? MSG.SUBJECT.str() : "bad " + std::to_string(table.position()));
    EXPECT_EQ(outcomes, (std::vector<std::string>{"bad 1", "Long", "bad 4"}));
}

TEST_F(DBaseTableFixture, TablesOfOtherProgramsAreNeverWritten) {
    test::writeDbf(dir / "M.DBF", messageTable(DbfFlavour::DBase3));
    const auto before = std::filesystem::file_size(dir / "M.DBF");
    table.setFileName(dir / "M.DBF");
    ASSERT_EQ(table.open(ShareMode::Shared), StorageStatus::Ok);
    ASSERT_EQ(table.next(), StorageStatus::Ok);
    EXPECT_EQ(table.put(), StorageStatus::AccessDenied);
    EXPECT_EQ(table.erase(), StorageStatus::AccessDenied);
    EXPECT_EQ(table.add(), StorageStatus::AccessDenied);
    EXPECT_EQ(table.empty(), StorageStatus::AccessDenied);
    table.close();
    EXPECT_EQ(table.remove(), StorageStatus::AccessDenied);
    EXPECT_EQ(std::filesystem::file_size(dir / "M.DBF"), before);

    table.setFileName(dir / "NONE.DBF");
    EXPECT_FALSE(table.exists());
    EXPECT_EQ(table.open(), StorageStatus::FileNotFound);
    EXPECT_EQ(table.storedRecords(), -1);
}

}  // namespace
}  // namespace pm
