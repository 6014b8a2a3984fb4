#include "tables/records/wordindex_tables.h"

#include "tables/records/table_support.h"

namespace pm {

// The word index compares words exactly: "Word" and "WORD" are two words.

const TableDef& WordListDef() {
    using R = WordListRecord;
    static const TableDef def = makeTableDef(
        28, "WordList", "WOR", Location::Wix, StorageClass::Simple, sizeof(R), false,
        {PM_FIELD(R, WORDID, Long), PM_FIELD(R, THEWORD, String), PM_FIELD(R, WORDCOUNT, Long)},
        {},
        {{"by_WordId", Primary, {asc("WORDID")}},
         {"by_theWord", Unique, {asc("THEWORD")}},
         {"by_WordCount", Dup | OnDemand, {asc("WORDCOUNT")}}});
    return def;
}

// The occurrences are kept as compressed lists (the words of each message,
// the messages of each word): a row and two indexes per pair would make the
// word index several times larger than the messages themselves.
const TableDef& MasIdxDef() {
    using R = MasIdxRecord;
    static const TableDef def = [] {
        TableDef d = makeTableDef(
            29, "MasIdx", "MAS", Location::Wix, StorageClass::Keyed, sizeof(R), false,
            {PM_FIELD(R, SYSID, ULong), PM_FIELD(R, WORDID, ULong)},
            {},
            {{"by_SysID", Primary, {asc("SYSID"), asc("WORDID")}}, {"by_WordId", Dup, {asc("WORDID")}}});
        d.layout = PhysicalLayout::PostingLists;
        return d;
    }();
    return def;
}

const TableDef& PURDef() {
    using R = PURRecord;
    static const TableDef def = makeTableDef(
        33, "PUR", "PUR", Location::Wix, StorageClass::Simple, sizeof(R), false,
        {PM_FIELD(R, SYSID, Long), PM_FIELD(R, WORDID, Long)}, {}, {});
    return def;
}

const TableDef& WDDef() {
    using R = WDRecord;
    static const TableDef def = makeTableDef(
        39, "WD", "WD", Location::Wix, StorageClass::Keyed, sizeof(R), false,
        {PM_FIELD(R, SETNAME, String), PM_FIELD(R, ID, Byte), PM_FIELD(R, STARTWORD, Byte),
         PM_FIELD(R, INWORD, Byte), PM_FIELD(R, ENDWORD, Byte)},
        {},
        {{"BY_SETNAME", Primary, {asc("SETNAME"), asc("ID")}}});
    return def;
}

// --- buffers and tables -------------------------------------------------------
WordListRecord WOR;
Table WordList{WordListDef(), &WOR};
MasIdxRecord MAS;
Table MasIdx{MasIdxDef(), &MAS};
PURRecord PUR;
Table PURFile{PURDef(), &PUR};
WDRecord WD;
Table WDFile{WDDef(), &WD};

namespace {
const records::ClearedAtStart cleared{&WordList, &MasIdx, &PURFile, &WDFile};
}  // namespace

// --- keys -----------------------------------------------------------------------
using records::keyOf;

const KeyDef& WOR_by_WordId = keyOf(WordListDef(), "by_WordId");
const KeyDef& WOR_by_theWord = keyOf(WordListDef(), "by_theWord");
const KeyDef& WOR_by_WordCount = keyOf(WordListDef(), "by_WordCount");

const KeyDef& MAS_by_SysID = keyOf(MasIdxDef(), "by_SysID");
const KeyDef& MAS_by_WordId = keyOf(MasIdxDef(), "by_WordId");

const KeyDef& WD_BY_SETNAME = keyOf(WDDef(), "BY_SETNAME");

}  // namespace pm
