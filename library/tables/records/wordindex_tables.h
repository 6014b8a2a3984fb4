#pragma once
// The word-index tables of one database (in its word-index directory): the
// word list, the word occurrences, the occurrences queued for removal and
// the named word-definition sets. Their text keys compare exactly.
//
// Naming as in message_tables.h: <Label>Record, buffer by prefix, Table by
// label (suffix File where label and prefix are equal), keys <PREFIX>_<Key>.
#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "storage/table_def.h"

namespace pm {

#pragma pack(push, 1)

// WordList (28): the words of the database.
struct WordListRecord {
    LONG WORDID;
    FixedText<40> THEWORD;
    LONG WORDCOUNT;  // number of occurrences
};

// MasIdx (29): which message holds which word.
struct MasIdxRecord {
    ULONG SYSID;   // MSG:MSGNUMBER or MAI:MAILID
    ULONG WORDID;  // WOR:WORDID
};

// PUR (33): occurrences queued for removal (no keys).
struct PURRecord {
    LONG SYSID;
    LONG WORDID;
};

// WD (39): named character sets that define how text breaks into words.
struct WDRecord {
    FixedText<40> SETNAME;
    BYTE ID;         // entry number within the set
    BYTE STARTWORD;  // allowed at the start of a word
    BYTE INWORD;     // allowed inside a word
    BYTE ENDWORD;    // allowed at the end of a word
};

#pragma pack(pop)

static_assert(sizeof(WordListRecord) == 48);
PM_OFFSET(WordListRecord, WORDID, 0);
PM_OFFSET(WordListRecord, THEWORD, 4);
PM_OFFSET(WordListRecord, WORDCOUNT, 44);

static_assert(sizeof(MasIdxRecord) == 8);
PM_OFFSET(MasIdxRecord, SYSID, 0);
PM_OFFSET(MasIdxRecord, WORDID, 4);

static_assert(sizeof(PURRecord) == 8);
PM_OFFSET(PURRecord, SYSID, 0);
PM_OFFSET(PURRecord, WORDID, 4);

static_assert(sizeof(WDRecord) == 44);
PM_OFFSET(WDRecord, SETNAME, 0);
PM_OFFSET(WDRecord, ID, 40);
PM_OFFSET(WDRecord, STARTWORD, 41);
PM_OFFSET(WDRecord, INWORD, 42);
PM_OFFSET(WDRecord, ENDWORD, 43);

// --- declarations ----------------------------------------------------------
const TableDef& WordListDef();
const TableDef& MasIdxDef();
const TableDef& PURDef();
const TableDef& WDDef();

// --- record buffers and tables ----------------------------------------------
extern WordListRecord WOR;
extern Table WordList;
extern MasIdxRecord MAS;
extern Table MasIdx;
extern PURRecord PUR;
extern Table PURFile;
extern WDRecord WD;
extern Table WDFile;

// --- keys -------------------------------------------------------------------
extern const KeyDef& WOR_by_WordId;     // primary: +WORDID
extern const KeyDef& WOR_by_theWord;    // unique: +THEWORD
extern const KeyDef& WOR_by_WordCount;  // +WORDCOUNT, built on demand (Table::buildKeys)

extern const KeyDef& MAS_by_SysID;   // primary: +SYSID +WORDID
extern const KeyDef& MAS_by_WordId;  // +WORDID

extern const KeyDef& WD_BY_SETNAME;  // primary: +SETNAME +ID

}  // namespace pm
