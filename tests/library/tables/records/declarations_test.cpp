// The table declarations as a whole: the registry's numbers, names, places,
// sizes and counts; every record byte belongs to exactly one field; every
// table can be created and opened by its path, and a record with every
// field and memo filled survives a write and a read unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/message_text.h"
#include "records_fixture.h"

namespace pm {
namespace {

struct Listed {
    int number;
    const char* label;
    const char* prefix;
    Location location;
    StorageClass storage;
    std::uint32_t bytes;
    std::size_t keys;
    std::size_t memos;
    bool caseless;
};

using L = Location;
using S = StorageClass;
const Listed kListed[] = {
    {1, "Codes", "COD", L::Db, S::Keyed, 59, 1, 0, true},
    {2, "Forums", "FOR", L::Cfg, S::Keyed, 811, 4, 0, true},
    {3, "MsgNmbr", "MSG", L::Db, S::Keyed, 60, 7, 0, true},
    {4, "MsgText", "TXT", L::Db, S::Keyed, 12, 2, 1, true},
    {5, "Person", "PER", L::Db, S::Keyed, 227, 4, 0, true},
    {6, "Sections", "SEC", L::Db, S::Keyed, 113, 2, 0, true},
    {7, "Threads", "THR", L::Db, S::Keyed, 113, 4, 0, true},
    {8, "Control", "CTL", L::Cfg, S::Keyed, 205, 1, 0, true},
    {9, "SIndex", "SIN", L::Db, S::Keyed, 8, 2, 0, true},
    {10, "NewHR", "NHR", L::Tmp, S::Keyed, 576, 1, 1, true},
    {11, "HRE", "HRE", L::Ext, S::DBase, 549, 0, 3, true},
    {12, "DOS", "DOS", L::Ext, S::Chunks, 10000, 0, 0, true},
    {13, "Mail", "MAI", L::Db, S::Keyed, 124, 7, 0, true},
    {17, "CCR", "CCR", L::Db, S::Keyed, 106, 1, 0, true},
    {18, "IMP", "IMP", L::Cfg, S::Keyed, 8, 1, 0, true},
    {19, "CCT", "CCT", L::Tmp, S::Keyed, 106, 1, 0, true},
    {20, "CCO", "CCO", L::Ext, S::DBase, 191, 0, 1, true},
    {21, "CMA", "CMA", L::Ext, S::DBase, 146, 0, 3, true},
    {22, "REF", "REF", L::Db, S::Simple, 766, 0, 0, true},
    {23, "PLINK", "PLI", L::Db, S::Keyed, 104, 2, 0, true},
    {24, "TempID", "TID", L::Tmp, S::Keyed, 64, 1, 0, true},
    {25, "MsgString", "MST", L::Db, S::Keyed, 64, 2, 0, true},
    {26, "TAS", "TAS", L::Cfg, S::Keyed, 96, 1, 0, true},
    {27, "FLI", "FLI", L::Cfg, S::Keyed, 104, 1, 0, true},
    {28, "WordList", "WOR", L::Wix, S::Simple, 48, 3, 0, false},
    {29, "MasIdx", "MAS", L::Wix, S::Keyed, 8, 2, 0, false},
    {30, "STO", "STO", L::Cfg, S::Keyed, 40, 1, 0, false},
    {31, "TOC", "TOC", L::Ext, S::Chunks, 10000, 0, 0, true},
    {32, "Search", "SEA", L::Tmp, S::Keyed, 4, 1, 0, true},
    {33, "PUR", "PUR", L::Wix, S::Simple, 8, 0, 0, false},
    {34, "BAT", "BAT", L::Cfg, S::Keyed, 177, 2, 0, true},
    {35, "TIM", "TIM", L::Cfg, S::Keyed, 13, 2, 0, true},
    {39, "WD", "WD", L::Wix, S::Keyed, 44, 1, 0, false},
    {40, "OUI", "OUI", L::Ext, S::DBase, 369, 0, 5, true},
    {41, "TLO", "TLO", L::Cfg, S::Keyed, 25, 2, 0, true},
    {42, "TLI", "TLI", L::Cfg, S::Keyed, 229, 1, 0, true},  // the step message after the 29 bytes of the first layout
};

std::vector<const TableDef*> allDefs() {
    std::vector<const TableDef*> defs{&ASCDef(), &EXPDef()};
    for (int n : registryNumbers()) defs.push_back(&tableByNumber(n)->def());
    return defs;
}

TEST(Registry, HoldsExactlyTheListedTables) {
    std::vector<int> numbers;
    for (const Listed& row : kListed) {
        numbers.push_back(row.number);
        Table* table = tableByNumber(row.number);
        ASSERT_NE(table, nullptr) << row.number;
        const TableDef& def = table->def();
        SCOPED_TRACE(row.label);
        EXPECT_EQ(def.number, row.number);
        EXPECT_EQ(def.label, row.label);
        EXPECT_EQ(def.prefix, row.prefix);
        EXPECT_EQ(def.location, row.location);
        EXPECT_EQ(def.storage, row.storage);
        EXPECT_EQ(def.recordSize, row.bytes);
        EXPECT_EQ(def.keys.size(), row.keys);
        EXPECT_EQ(def.memos.size(), row.memos);
        EXPECT_EQ(table->memoStrings().size(), row.memos);
        EXPECT_EQ(def.caseless, row.caseless);
    }
    EXPECT_EQ(registryNumbers(), numbers);
    for (int n : {-1, 0, 14, 15, 16, 36, 37, 38, 43, 1000}) {
        EXPECT_EQ(tableByNumber(n), nullptr) << n;
        EXPECT_FALSE(isRegistryNumber(n)) << n;
    }
    EXPECT_EQ(ASCDef().number, 0);
    EXPECT_EQ(EXPDef().number, 0);
}

TEST(Declarations, EveryRecordByteBelongsToExactlyOneField) {
    for (const TableDef* def : allDefs()) {
        std::vector<const FieldDef*> fields;
        for (const FieldDef& f : def->fields) fields.push_back(&f);
        std::sort(fields.begin(), fields.end(),
                  [](const FieldDef* a, const FieldDef* b) { return a->offset < b->offset; });
        std::uint32_t next = 0;
        for (const FieldDef* f : fields) {
            EXPECT_EQ(f->offset, next) << def->label << ": gap or overlap before " << f->name;
            next = f->offset + f->totalWidth();
        }
        EXPECT_EQ(next, def->recordSize) << def->label;
    }
}

// Fills every field of the table's buffer with a value that differs per
// field and per `seed`: numbers beyond the signed range, texts with
// multi-byte characters filling the whole width, bytes 0 to 255.
void fillPattern(Table& table, unsigned seed) {
    auto* record = static_cast<unsigned char*>(table.record());
    const TableDef& def = table.def();
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef& f = def.fields[i];
        unsigned char* p = record + f.offset;
        const unsigned v = seed * 1000 + static_cast<unsigned>(i) + 1;
        switch (f.type) {
            case FieldType::Byte: *p = static_cast<unsigned char>(0x80 + v % 0x7F); break;
            case FieldType::Long: {
                std::int32_t x = -static_cast<std::int32_t>(v * 7919);
                std::memcpy(p, &x, 4);
                break;
            }
            case FieldType::ULong: {
                std::uint32_t x = 0xF0000000u + v;
                std::memcpy(p, &x, 4);
                break;
            }
            case FieldType::String:
                for (unsigned e = 0; e < f.dim; ++e) {
                    std::string text = f.name + "-" + std::to_string(v + e) + " ü€";
                    while (text.size() < f.width) text += "äx€";
                    std::size_t n = utf8FitLength(text, f.width);
                    unsigned char* q = p + e * f.width;
                    std::memcpy(q, text.data(), n);
                    std::memset(q + n, ' ', f.width - n);
                }
                break;
            case FieldType::Bytes:
                for (std::uint32_t j = 0; j < f.width; ++j) p[j] = static_cast<unsigned char>((v + j * 37) & 0xFF);
                break;
            case FieldType::Real: {
                double x = v + 0.25;
                std::memcpy(p, &x, 8);
                break;
            }
            case FieldType::DbDate: {
                std::int32_t x = 20000101 + static_cast<std::int32_t>(v);
                std::memcpy(p, &x, 4);
                break;
            }
        }
    }
    for (std::size_t m = 0; m < table.memoStrings().size(); ++m) {
        std::string& memo = table.memo(m);
        memo = "memo " + std::to_string(seed) + "/" + std::to_string(m) + "\r\n";
        while (memo.size() < 3000) memo += "Zeile mit Umlauten äöü und € \r\n";
    }
}

struct Snapshot {
    std::string record;
    std::vector<std::string> memos;

    explicit Snapshot(Table& table)
        : record(static_cast<const char*>(table.record()), table.def().recordSize) {
        for (std::string* m : table.memoStrings()) memos.push_back(*m);
    }
    bool operator==(const Snapshot&) const = default;
};

using TablesInAnInstallation = test::Installation;

TEST_F(TablesInAnInstallation, EveryKeyedTableKeepsEveryFieldAndMemoExactly) {
    for (int n : registryNumbers()) {
        Table& table = *tableByNumber(n);
        const StorageClass storage = table.def().storage;
        if (storage != StorageClass::Keyed && storage != StorageClass::Simple) continue;
        SCOPED_TRACE(table.label());
        prepare(n);
        EXPECT_EQ(table.checkLayout(), StorageStatus::Ok);

        fillPattern(table, 1);
        ASSERT_EQ(table.add(), StorageStatus::Ok) << table.lastError().text;
        const RecordPosition first = table.position();
        const Snapshot written(table);
        fillPattern(table, 2);
        ASSERT_EQ(table.add(), StorageStatus::Ok) << table.lastError().text;

        table.clear();
        ASSERT_EQ(table.getAt(first), StorageStatus::Ok);
        EXPECT_TRUE(Snapshot(table) == written);

        // The primary key finds the same record from its values alone.
        if (const KeyDef* primary = table.def().primaryKey()) {
            std::string values(static_cast<const char*>(table.record()), table.def().recordSize);
            table.clear();
            for (const KeyPart& part : primary->parts) {
                const FieldDef& f = table.def().fields[static_cast<std::size_t>(part.field)];
                std::memcpy(static_cast<char*>(table.record()) + f.offset, values.data() + f.offset, f.width);
            }
            ASSERT_EQ(table.get(*primary), StorageStatus::Ok);
            EXPECT_EQ(table.position(), first);
        }
        EXPECT_EQ(table.records(), 2);
        table.close();
        EXPECT_EQ(table.open(), StorageStatus::Ok) << "reopen";
    }
}

TEST_F(TablesInAnInstallation, RawChunkAndLineFilesKeepTheirBytes) {
    prepare(31);
    EXPECT_EQ(TOCFile.fileName(), root / "external31");
    Table& dos = prepare(12);
    std::memset(DOS.CHAR.bytes, 'x', sizeof DOS.CHAR.bytes);
    dos.setBytes(sizeof DOS.CHAR.bytes);
    ASSERT_EQ(dos.add(), StorageStatus::Ok);
    std::memcpy(DOS.CHAR.bytes, "\0\xff\r\n", 4);
    dos.setBytes(4);
    ASSERT_EQ(dos.add(), StorageStatus::Ok);
    dos.setPhysical();
    ASSERT_EQ(dos.next(), StorageStatus::Ok);
    EXPECT_EQ(dos.bytes(), 10000u);
    ASSERT_EQ(dos.next(), StorageStatus::Ok);
    ASSERT_EQ(dos.bytes(), 4u);
    EXPECT_EQ(std::string(DOS.CHAR.bytes, 4), std::string("\0\xff\r\n", 4));

    EXPFile.setFileName(root / "export.txt");
    ASSERT_EQ(EXPFile.create(), StorageStatus::Ok);
    ASSERT_EQ(EXPFile.open(), StorageStatus::Ok);
    const std::string longLine = std::string(63990, 'a') + "äöü€";
    EXP.LINE = longLine;
    ASSERT_EQ(EXPFile.add(), StorageStatus::Ok);
    EXPFile.close();
    ASCFile.setFileName(root / "export.txt");
    ASSERT_EQ(ASCFile.open(ShareMode::SharedReadOnly), StorageStatus::Ok);
    ASCFile.setPhysical();
    ASSERT_EQ(ASCFile.next(), StorageStatus::Ok);
    EXPECT_EQ(ASC.LINE.view(), longLine);
}

TEST_F(TablesInAnInstallation, MessageTextsHoldAtMost64000CharactersOfAnyWidth) {
    struct Case {
        int number;
        std::string* text;
    };
    for (Case c : {Case{4, &TXT.MsgText}, Case{10, &NHR.MSGTEXT}}) {
        Table& table = prepare(c.number);
        SCOPED_TRACE(table.label());
        // 64,000 characters of four bytes each fit; a byte more does not.
        *c.text = std::string(MessageTextBytes + 1, 't');
        EXPECT_NE(table.add(), StorageStatus::Ok);
        std::string wide;
        for (std::size_t i = 0; i < MessageTextChars; ++i) wide += "\xF0\x9F\x98\x80";
        *c.text = wide;
        ASSERT_EQ(table.add(), StorageStatus::Ok);
        table.clear();
        ASSERT_EQ(table.getAt(table.position()), StorageStatus::Ok);
        EXPECT_EQ(*c.text, wide);
    }
}

}  // namespace
}  // namespace pm
