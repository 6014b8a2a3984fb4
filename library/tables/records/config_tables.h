#pragma once
// The global tables of the configuration directory: the database catalog,
// the identifier counter and settings, tasks, import procedures, the
// imported-message register and the stop words.
//
// Naming as in message_tables.h: <Label>Record, buffer by prefix, Table by
// label (suffix File where label and prefix are equal), keys <PREFIX>_<Key>.
#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "storage/table_def.h"

namespace pm {

#pragma pack(push, 1)

// Forums (2): the database catalog, one record per database.
struct ForumsRecord {
    ULONG ID;                      // database identifier
    FixedText<100> DESCRIPTION;    // database name; unique
    ULONG REDIRNOW;                // database receiving this one's newsgroup messages now
    ULONG REDIRBEFORE;             // redirection target before the current one
    BYTE TARGETNG;                 // 1 = common target of redirected newsgroups
    ULONG DIRNUMBER;               // directory F<DIRNUMBER>; unique
    BYTE NODIR;                    // 1 = no directory of its own
    BYTE TYPE;                     // 1 forum, 2 mail, 3 newsgroup
    BYTE NOIMPORT;                 // 1 = left out of imports
    ULONG MSGCOUNT;
    BYTE COUNTFLAG;                // cleared when MSGCOUNT is brought up to date
    BYTE DUMMY;                    // status of the whole database
    LONG CREATED;                  // creation date
    LONG LOWDATE;                  // date of the earliest message
    FixedText<60> MAILADDRESS;     // mail: the owner's default address
    ULONG PERSONID;                // mail: the owner's PER:PERSONID
    FixedText<60> ALTADDRESS[10];  // mail: the owner's alternative addresses
    ULONG LASTMSGID;               // word-index bookkeeping
    ULONG RECSLASTTIME;            // word-index bookkeeping
    LONG WORDLISTINDEXNEEDSUPDATE; // non-zero = the word list needs an update
    BYTE INDEXTYPE;                // 1 = the database is word-indexed
};

// Control (8): the identifier counter and stored settings, one record per ID.
// CTLGROUP and CTLFIELD name the same 200 bytes of settings.
struct ControlRecord {
    BYTE ID;           // record kind
    ULONG NEXTNUMBER;  // record 1: the next identifier to hand out
    union {
        BYTE CTLGROUP[200];
        BYTE CTLFIELD[200];
    };
};

// TAS (26): scheduled tasks. DAILYREPEAT/DAYS and MONTHLYREPEAT/MONTHDAYS
// are a group and its one member.
struct TASRecord {
    ULONG ID;
    FixedText<50> DESCRIPTION;
    LONG RUNNOWDATE;   // requested immediate run
    LONG RUNNOWTIME;
    LONG RUNNEXTDATE;  // next scheduled run
    LONG RUNNEXTTIME;
    LONG LASTRUNDATE;
    LONG LASTRUNTIME;
    union {
        BYTE DAILYREPEAT[7];
        BYTE DAYS[7];  // one flag per weekday, Sunday first
    };
    union {
        BYTE MONTHLYREPEAT[5];
        BYTE MONTHDAYS[5];  // up to five days of the month
    };
    BYTE DODUPELIM;
    BYTE DOPURGE;
    BYTE DOCOUNT;
    BYTE DOINDEX;
    BYTE RESULTCODE;  // result of the last run
    BYTE ACTIVE;
};

// BAT (34): predefined import procedures.
struct BATRecord {
    ULONG ID;
    ULONG TYPE;                 // kind of procedure
    FixedText<50> DESCRIPTION;
    ULONG DATABASE;             // target database (FOR:ID)
    BYTE FILETYPE;              // message file format
    FixedText<100> IMPPATH;     // directory or file to import from
    BYTE SELMETHOD;             // file selection method
    ULONG MAILBOX;              // mail database (FOR:ID)
    BYTE MAILMSG;
    BYTE FORUMMSG;
    BYTE NEWSGROUPMSG;
    BYTE MSGFILTER;
    BYTE ALLOWREIMP;            // 1 = import already imported messages again
    ULONG MAILTOPIC;
};

// TIM (35): the import procedures of each task, in run order.
struct TIMRecord {
    ULONG TASKID;     // TAS:ID
    ULONG BATCHID;    // BAT:ID
    LONG EVENTTIME;
    BYTE RESULTCODE;
};

// TLO (41): task log, one record per task run.
struct TLORecord {
    ULONG TASKLOGID;
    ULONG TASKID;
    LONG DATESTARTED;
    LONG DATEFINISHED;
    LONG TIMESTARTED;
    LONG TIMEFINISHED;
    BYTE RESULTCODE;
};

// TLI (42): task log items, one record per step of a run.
struct TLIRecord {
    ULONG TASKLOGID;  // TLO:TASKLOGID
    ULONG TYPE;       // kind of step
    ULONG BATCHID;
    LONG DATESTARTED;
    LONG DATEFINISHED;
    LONG TIMESTARTED;
    LONG TIMEFINISHED;
    BYTE RESULTCODE;
    // Why the step did not complete (jobs of one item: each database's
    // reason, "; " between them); blank when it did. Added after the first
    // release: older stores gain it blank when first opened.
    FixedText<200> MESSAGE;
};

// FLI (27): file specifications of import procedures.
struct FLIRecord {
    ULONG ID;                 // BAT:ID
    FixedText<100> FILESPEC;  // a file name or wildcard pattern
};

// IMP (18): pairs of database and message identifier.
struct IMPRecord {
    ULONG FORUMNUMBER;  // FOR:ID
    ULONG MSGNUMBER;
};

// STO (30): stop words, left out of the word index.
struct STORecord {
    FixedText<40> THEWORD;
};

#pragma pack(pop)

static_assert(sizeof(ForumsRecord) == 811);
PM_OFFSET(ForumsRecord, ID, 0);
PM_OFFSET(ForumsRecord, DESCRIPTION, 4);
PM_OFFSET(ForumsRecord, REDIRNOW, 104);
PM_OFFSET(ForumsRecord, REDIRBEFORE, 108);
PM_OFFSET(ForumsRecord, TARGETNG, 112);
PM_OFFSET(ForumsRecord, DIRNUMBER, 113);
PM_OFFSET(ForumsRecord, NODIR, 117);
PM_OFFSET(ForumsRecord, TYPE, 118);
PM_OFFSET(ForumsRecord, NOIMPORT, 119);
PM_OFFSET(ForumsRecord, MSGCOUNT, 120);
PM_OFFSET(ForumsRecord, COUNTFLAG, 124);
PM_OFFSET(ForumsRecord, DUMMY, 125);
PM_OFFSET(ForumsRecord, CREATED, 126);
PM_OFFSET(ForumsRecord, LOWDATE, 130);
PM_OFFSET(ForumsRecord, MAILADDRESS, 134);
PM_OFFSET(ForumsRecord, PERSONID, 194);
PM_OFFSET(ForumsRecord, ALTADDRESS, 198);
PM_OFFSET(ForumsRecord, LASTMSGID, 798);
PM_OFFSET(ForumsRecord, RECSLASTTIME, 802);
PM_OFFSET(ForumsRecord, WORDLISTINDEXNEEDSUPDATE, 806);
PM_OFFSET(ForumsRecord, INDEXTYPE, 810);

static_assert(sizeof(ControlRecord) == 205);
PM_OFFSET(ControlRecord, ID, 0);
PM_OFFSET(ControlRecord, NEXTNUMBER, 1);
PM_OFFSET(ControlRecord, CTLGROUP, 5);
PM_OFFSET(ControlRecord, CTLFIELD, 5);

static_assert(sizeof(TASRecord) == 96);
PM_OFFSET(TASRecord, ID, 0);
PM_OFFSET(TASRecord, DESCRIPTION, 4);
PM_OFFSET(TASRecord, RUNNOWDATE, 54);
PM_OFFSET(TASRecord, RUNNOWTIME, 58);
PM_OFFSET(TASRecord, RUNNEXTDATE, 62);
PM_OFFSET(TASRecord, RUNNEXTTIME, 66);
PM_OFFSET(TASRecord, LASTRUNDATE, 70);
PM_OFFSET(TASRecord, LASTRUNTIME, 74);
PM_OFFSET(TASRecord, DAILYREPEAT, 78);
PM_OFFSET(TASRecord, DAYS, 78);
PM_OFFSET(TASRecord, MONTHLYREPEAT, 85);
PM_OFFSET(TASRecord, MONTHDAYS, 85);
PM_OFFSET(TASRecord, DODUPELIM, 90);
PM_OFFSET(TASRecord, DOPURGE, 91);
PM_OFFSET(TASRecord, DOCOUNT, 92);
PM_OFFSET(TASRecord, DOINDEX, 93);
PM_OFFSET(TASRecord, RESULTCODE, 94);
PM_OFFSET(TASRecord, ACTIVE, 95);

static_assert(sizeof(BATRecord) == 177);
PM_OFFSET(BATRecord, ID, 0);
PM_OFFSET(BATRecord, TYPE, 4);
PM_OFFSET(BATRecord, DESCRIPTION, 8);
PM_OFFSET(BATRecord, DATABASE, 58);
PM_OFFSET(BATRecord, FILETYPE, 62);
PM_OFFSET(BATRecord, IMPPATH, 63);
PM_OFFSET(BATRecord, SELMETHOD, 163);
PM_OFFSET(BATRecord, MAILBOX, 164);
PM_OFFSET(BATRecord, MAILMSG, 168);
PM_OFFSET(BATRecord, FORUMMSG, 169);
PM_OFFSET(BATRecord, NEWSGROUPMSG, 170);
PM_OFFSET(BATRecord, MSGFILTER, 171);
PM_OFFSET(BATRecord, ALLOWREIMP, 172);
PM_OFFSET(BATRecord, MAILTOPIC, 173);

static_assert(sizeof(TIMRecord) == 13);
PM_OFFSET(TIMRecord, TASKID, 0);
PM_OFFSET(TIMRecord, BATCHID, 4);
PM_OFFSET(TIMRecord, EVENTTIME, 8);
PM_OFFSET(TIMRecord, RESULTCODE, 12);

static_assert(sizeof(TLORecord) == 25);
PM_OFFSET(TLORecord, TASKLOGID, 0);
PM_OFFSET(TLORecord, TASKID, 4);
PM_OFFSET(TLORecord, DATESTARTED, 8);
PM_OFFSET(TLORecord, DATEFINISHED, 12);
PM_OFFSET(TLORecord, TIMESTARTED, 16);
PM_OFFSET(TLORecord, TIMEFINISHED, 20);
PM_OFFSET(TLORecord, RESULTCODE, 24);

static_assert(sizeof(TLIRecord) == 229);
PM_OFFSET(TLIRecord, TASKLOGID, 0);
PM_OFFSET(TLIRecord, TYPE, 4);
PM_OFFSET(TLIRecord, BATCHID, 8);
PM_OFFSET(TLIRecord, DATESTARTED, 12);
PM_OFFSET(TLIRecord, DATEFINISHED, 16);
PM_OFFSET(TLIRecord, TIMESTARTED, 20);
PM_OFFSET(TLIRecord, TIMEFINISHED, 24);
PM_OFFSET(TLIRecord, RESULTCODE, 28);
PM_OFFSET(TLIRecord, MESSAGE, 29);

static_assert(sizeof(FLIRecord) == 104);
PM_OFFSET(FLIRecord, ID, 0);
PM_OFFSET(FLIRecord, FILESPEC, 4);

static_assert(sizeof(IMPRecord) == 8);
PM_OFFSET(IMPRecord, FORUMNUMBER, 0);
PM_OFFSET(IMPRecord, MSGNUMBER, 4);

static_assert(sizeof(STORecord) == 40);
PM_OFFSET(STORecord, THEWORD, 0);

// --- declarations ----------------------------------------------------------
const TableDef& ForumsDef();
const TableDef& ControlDef();
const TableDef& TASDef();
const TableDef& BATDef();
const TableDef& TIMDef();
const TableDef& TLODef();
const TableDef& TLIDef();
const TableDef& FLIDef();
const TableDef& IMPDef();
const TableDef& STODef();

// --- record buffers and tables ----------------------------------------------
extern ForumsRecord FOR;
extern Table Forums;
extern ControlRecord CTL;
extern Table Control;
extern TASRecord TAS;
extern Table TASFile;
extern BATRecord BAT;
extern Table BATFile;
extern TIMRecord TIM;
extern Table TIMFile;
extern TLORecord TLO;
extern Table TLOFile;
extern TLIRecord TLI;
extern Table TLIFile;
extern FLIRecord FLI;
extern Table FLIFile;
extern IMPRecord IMP;
extern Table IMPFile;
extern STORecord STO;
extern Table STOFile;

// --- keys -------------------------------------------------------------------
extern const KeyDef& FOR_ForumKey;  // primary: +ID
extern const KeyDef& FOR_AlphaKey;  // unique: +DESCRIPTION
extern const KeyDef& FOR_DirKey;    // unique: +DIRNUMBER
extern const KeyDef& FOR_TypeKey;   // +TYPE

extern const KeyDef& CTL_IdKey;  // primary: +ID

extern const KeyDef& TAS_IDKEY;  // primary: +ID

extern const KeyDef& BAT_IDKEY;    // primary: +ID
extern const KeyDef& BAT_TYPEKEY;  // +TYPE

extern const KeyDef& TIM_TASKKEY;   // primary: +TASKID +BATCHID
extern const KeyDef& TIM_BATCHKEY;  // +BATCHID

extern const KeyDef& TLO_IDKEY;   // primary: +TASKLOGID
extern const KeyDef& TLO_BYTASK;  // unique: +TASKID +TASKLOGID

extern const KeyDef& TLI_IDKEY;  // primary: +TASKLOGID +TYPE +DATESTARTED +TIMESTARTED

extern const KeyDef& FLI_IDKEY;  // primary: +ID +FILESPEC

extern const KeyDef& IMP_IDKEY;  // primary: +FORUMNUMBER +MSGNUMBER

extern const KeyDef& STO_BY_THEWORD;  // primary: +THEWORD (exact letter case)

}  // namespace pm
