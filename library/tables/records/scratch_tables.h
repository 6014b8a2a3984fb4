#pragma once
// The scratch tables of the temporary directory: the staged headers, carbon
// copies and message identifiers of one import run, and the search result.
//
// Naming as in message_tables.h: <Label>Record, buffer by prefix, Table by
// label (suffix File where label and prefix are equal), keys <PREFIX>_<Key>.
#include <string>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "storage/table_def.h"

namespace pm {

#pragma pack(push, 1)

// NewHR (10): staged message headers of one import run.
struct NewHRRecord {
    ULONG INTERNAL;                  // staging sequence number
    ULONG MSGNUMBER;                 // message number in the source
    ULONG REFNUMBER;                 // number of the message it answers, in the source
    FixedText<100> FOR_DESCRIPTION;  // forum, mail box or newsgroup name
    ULONG SECTIONNUMBER;
    FixedText<100> SEC_DESCRIPTION;
    FixedText<100> HEADING;          // subject
    FixedText<60> S_CISADRESS;       // sender's address
    FixedText<60> S_NAME;
    FixedText<60> R_CISADRESS;       // recipient's address
    FixedText<60> R_NAME;
    BYTE DUMMY;                      // status byte
    LONG DATE;
    LONG TIME;
    BYTE MAILTYPE;                   // a MailType
    FixedText<2> RECIPTYPE;
    LONG IMPDATE;
    LONG IMPTIME;
};

// CCT (19): staged further recipients of staged mail (the fields of CCR).
struct CCTRecord {
    ULONG MAILID;
    FixedText<40> R_NAME;
    FixedText<60> R_CISADRESS;
    FixedText<2> RECIPTYPE;
};

// TempID (24): staged message identifier strings (the fields of MsgString).
struct TempIDRecord {
    FixedText<60> IDSTRING;
    ULONG MSGNUMBER;
};

// Search (32): the message identifiers found by the last search.
struct SearchRecord {
    ULONG ID;
};

#pragma pack(pop)

static_assert(sizeof(NewHRRecord) == 576);
PM_OFFSET(NewHRRecord, INTERNAL, 0);
PM_OFFSET(NewHRRecord, MSGNUMBER, 4);
PM_OFFSET(NewHRRecord, REFNUMBER, 8);
PM_OFFSET(NewHRRecord, FOR_DESCRIPTION, 12);
PM_OFFSET(NewHRRecord, SECTIONNUMBER, 112);
PM_OFFSET(NewHRRecord, SEC_DESCRIPTION, 116);
PM_OFFSET(NewHRRecord, HEADING, 216);
PM_OFFSET(NewHRRecord, S_CISADRESS, 316);
PM_OFFSET(NewHRRecord, S_NAME, 376);
PM_OFFSET(NewHRRecord, R_CISADRESS, 436);
PM_OFFSET(NewHRRecord, R_NAME, 496);
PM_OFFSET(NewHRRecord, DUMMY, 556);
PM_OFFSET(NewHRRecord, DATE, 557);
PM_OFFSET(NewHRRecord, TIME, 561);
PM_OFFSET(NewHRRecord, MAILTYPE, 565);
PM_OFFSET(NewHRRecord, RECIPTYPE, 566);
PM_OFFSET(NewHRRecord, IMPDATE, 568);
PM_OFFSET(NewHRRecord, IMPTIME, 572);

static_assert(sizeof(CCTRecord) == 106);
PM_OFFSET(CCTRecord, MAILID, 0);
PM_OFFSET(CCTRecord, R_NAME, 4);
PM_OFFSET(CCTRecord, R_CISADRESS, 44);
PM_OFFSET(CCTRecord, RECIPTYPE, 104);

static_assert(sizeof(TempIDRecord) == 64);
PM_OFFSET(TempIDRecord, IDSTRING, 0);
PM_OFFSET(TempIDRecord, MSGNUMBER, 60);

static_assert(sizeof(SearchRecord) == 4);
PM_OFFSET(SearchRecord, ID, 0);

// One message on its way through an import run: the NewHR record plus its
// memo, named as the memo. It travels as a value: a parser fills one and
// hands it to the work file, phase B hands each one read back to the store.
// A new work record is cleared (numbers 0, texts blank, no text).
struct WorkRecord : NewHRRecord {
    WorkRecord();
    // Back to the cleared state.
    void clear();

    std::string MSGTEXT;  // the message text, at most 64,000 characters
};

// --- declarations ----------------------------------------------------------
const TableDef& NewHRDef();
const TableDef& CCTDef();
const TableDef& TempIDDef();
const TableDef& SearchDef();

// --- record buffers and tables ----------------------------------------------
extern WorkRecord NHR;  // the NewHR table's buffer (work files only)
extern Table NewHR;
extern CCTRecord CCT;
extern Table CCTFile;
extern TempIDRecord TID;
extern Table TempID;
extern SearchRecord SEA;
extern Table Search;

// --- keys -------------------------------------------------------------------
extern const KeyDef& NHR_MSGKEY;  // primary: +INTERNAL +MSGNUMBER
extern const KeyDef& CCT_IDKEY;   // primary: +MAILID +R_CISADRESS +R_NAME
extern const KeyDef& TID_IDKEY;   // primary: +MSGNUMBER
extern const KeyDef& SEA_IdKey;   // primary: -ID (newest first)

}  // namespace pm
