#include "tables/records/config_tables.h"

#include "tables/records/table_support.h"

namespace pm {

// Catalog, settings and task tables compare text keys without regard to
// letter case; the stop words compare exactly, like the word list they
// are checked against.

const TableDef& ForumsDef() {
    using R = ForumsRecord;
    static const TableDef def = makeTableDef(
        2, "Forums", "FOR", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, ID, ULong), PM_FIELD(R, DESCRIPTION, String), PM_FIELD(R, REDIRNOW, ULong),
         PM_FIELD(R, REDIRBEFORE, ULong), PM_FIELD(R, TARGETNG, Byte), PM_FIELD(R, DIRNUMBER, ULong),
         PM_FIELD(R, NODIR, Byte), PM_FIELD(R, TYPE, Byte), PM_FIELD(R, NOIMPORT, Byte),
         PM_FIELD(R, MSGCOUNT, ULong), PM_FIELD(R, COUNTFLAG, Byte), PM_FIELD(R, DUMMY, Byte),
         PM_FIELD(R, CREATED, Long), PM_FIELD(R, LOWDATE, Long), PM_FIELD(R, MAILADDRESS, String),
         PM_FIELD(R, PERSONID, ULong), PM_FIELD_DIM(R, ALTADDRESS, 10), PM_FIELD(R, LASTMSGID, ULong),
         PM_FIELD(R, RECSLASTTIME, ULong), PM_FIELD(R, WORDLISTINDEXNEEDSUPDATE, Long),
         PM_FIELD(R, INDEXTYPE, Byte)},
        {},
        {{"ForumKey", Primary, {asc("ID")}},
         {"AlphaKey", Unique, {asc("DESCRIPTION")}},
         {"DirKey", Unique, {asc("DIRNUMBER")}},
         {"TypeKey", Dup, {asc("TYPE")}}});
    return def;
}

const TableDef& ControlDef() {
    using R = ControlRecord;
    static const TableDef def = makeTableDef(
        8, "Control", "CTL", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, ID, Byte), PM_FIELD(R, NEXTNUMBER, ULong), PM_FIELD(R, CTLFIELD, Bytes)},
        {},
        {{"IdKey", Primary, {asc("ID")}}});
    return def;
}

const TableDef& TASDef() {
    using R = TASRecord;
    static const TableDef def = makeTableDef(
        26, "TAS", "TAS", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, ID, ULong), PM_FIELD(R, DESCRIPTION, String), PM_FIELD(R, RUNNOWDATE, Long),
         PM_FIELD(R, RUNNOWTIME, Long), PM_FIELD(R, RUNNEXTDATE, Long), PM_FIELD(R, RUNNEXTTIME, Long),
         PM_FIELD(R, LASTRUNDATE, Long), PM_FIELD(R, LASTRUNTIME, Long), PM_FIELD(R, DAYS, Bytes),
         PM_FIELD(R, MONTHDAYS, Bytes), PM_FIELD(R, DODUPELIM, Byte), PM_FIELD(R, DOPURGE, Byte),
         PM_FIELD(R, DOCOUNT, Byte), PM_FIELD(R, DOINDEX, Byte), PM_FIELD(R, RESULTCODE, Byte),
         PM_FIELD(R, ACTIVE, Byte)},
        {},
        {{"IDKEY", Primary, {asc("ID")}}});
    return def;
}

const TableDef& BATDef() {
    using R = BATRecord;
    static const TableDef def = makeTableDef(
        34, "BAT", "BAT", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, ID, ULong), PM_FIELD(R, TYPE, ULong), PM_FIELD(R, DESCRIPTION, String),
         PM_FIELD(R, DATABASE, ULong), PM_FIELD(R, FILETYPE, Byte), PM_FIELD(R, IMPPATH, String),
         PM_FIELD(R, SELMETHOD, Byte), PM_FIELD(R, MAILBOX, ULong), PM_FIELD(R, MAILMSG, Byte),
         PM_FIELD(R, FORUMMSG, Byte), PM_FIELD(R, NEWSGROUPMSG, Byte), PM_FIELD(R, MSGFILTER, Byte),
         PM_FIELD(R, ALLOWREIMP, Byte), PM_FIELD(R, MAILTOPIC, ULong)},
        {},
        {{"IDKEY", Primary, {asc("ID")}}, {"TYPEKEY", Dup, {asc("TYPE")}}});
    return def;
}

const TableDef& TIMDef() {
    using R = TIMRecord;
    static const TableDef def = makeTableDef(
        35, "TIM", "TIM", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, TASKID, ULong), PM_FIELD(R, BATCHID, ULong), PM_FIELD(R, EVENTTIME, Long),
         PM_FIELD(R, RESULTCODE, Byte)},
        {},
        {{"TASKKEY", Primary, {asc("TASKID"), asc("BATCHID")}}, {"BATCHKEY", Dup, {asc("BATCHID")}}});
    return def;
}

const TableDef& TLODef() {
    using R = TLORecord;
    static const TableDef def = makeTableDef(
        41, "TLO", "TLO", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, TASKLOGID, ULong), PM_FIELD(R, TASKID, ULong), PM_FIELD(R, DATESTARTED, Long),
         PM_FIELD(R, DATEFINISHED, Long), PM_FIELD(R, TIMESTARTED, Long), PM_FIELD(R, TIMEFINISHED, Long),
         PM_FIELD(R, RESULTCODE, Byte)},
        {},
        {{"IDKEY", Primary, {asc("TASKLOGID")}}, {"BYTASK", Unique, {asc("TASKID"), asc("TASKLOGID")}}});
    return def;
}

const TableDef& TLIDef() {
    using R = TLIRecord;
    static const TableDef def = makeTableDef(
        42, "TLI", "TLI", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, TASKLOGID, ULong), PM_FIELD(R, TYPE, ULong), PM_FIELD(R, BATCHID, ULong),
         PM_FIELD(R, DATESTARTED, Long), PM_FIELD(R, DATEFINISHED, Long), PM_FIELD(R, TIMESTARTED, Long),
         PM_FIELD(R, TIMEFINISHED, Long), PM_FIELD(R, RESULTCODE, Byte), PM_FIELD(R, MESSAGE, String)},
        {},
        {{"IDKEY", Primary, {asc("TASKLOGID"), asc("TYPE"), asc("DATESTARTED"), asc("TIMESTARTED")}}});
    return def;
}

const TableDef& FLIDef() {
    using R = FLIRecord;
    static const TableDef def = makeTableDef(
        27, "FLI", "FLI", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, ID, ULong), PM_FIELD(R, FILESPEC, String)},
        {},
        {{"IDKEY", Primary, {asc("ID"), asc("FILESPEC")}}});
    return def;
}

const TableDef& IMPDef() {
    using R = IMPRecord;
    static const TableDef def = makeTableDef(
        18, "IMP", "IMP", Location::Cfg, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, FORUMNUMBER, ULong), PM_FIELD(R, MSGNUMBER, ULong)},
        {},
        {{"IDKEY", Primary, {asc("FORUMNUMBER"), asc("MSGNUMBER")}}});
    return def;
}

const TableDef& STODef() {
    using R = STORecord;
    static const TableDef def = makeTableDef(
        30, "STO", "STO", Location::Cfg, StorageClass::Keyed, sizeof(R), false,
        {PM_FIELD(R, THEWORD, String)},
        {},
        {{"BY_THEWORD", Primary, {asc("THEWORD")}}});
    return def;
}

// --- buffers and tables -------------------------------------------------------
ForumsRecord FOR;
Table Forums{ForumsDef(), &FOR};
ControlRecord CTL;
Table Control{ControlDef(), &CTL};
TASRecord TAS;
Table TASFile{TASDef(), &TAS};
BATRecord BAT;
Table BATFile{BATDef(), &BAT};
TIMRecord TIM;
Table TIMFile{TIMDef(), &TIM};
TLORecord TLO;
Table TLOFile{TLODef(), &TLO};
TLIRecord TLI;
Table TLIFile{TLIDef(), &TLI};
FLIRecord FLI;
Table FLIFile{FLIDef(), &FLI};
IMPRecord IMP;
Table IMPFile{IMPDef(), &IMP};
STORecord STO;
Table STOFile{STODef(), &STO};

namespace {
const records::ClearedAtStart cleared{&Forums,  &Control, &TASFile, &BATFile, &TIMFile,
                                      &TLOFile, &TLIFile, &FLIFile, &IMPFile, &STOFile};
}  // namespace

// --- keys -----------------------------------------------------------------------
using records::keyOf;

const KeyDef& FOR_ForumKey = keyOf(ForumsDef(), "ForumKey");
const KeyDef& FOR_AlphaKey = keyOf(ForumsDef(), "AlphaKey");
const KeyDef& FOR_DirKey = keyOf(ForumsDef(), "DirKey");
const KeyDef& FOR_TypeKey = keyOf(ForumsDef(), "TypeKey");

const KeyDef& CTL_IdKey = keyOf(ControlDef(), "IdKey");

const KeyDef& TAS_IDKEY = keyOf(TASDef(), "IDKEY");

const KeyDef& BAT_IDKEY = keyOf(BATDef(), "IDKEY");
const KeyDef& BAT_TYPEKEY = keyOf(BATDef(), "TYPEKEY");

const KeyDef& TIM_TASKKEY = keyOf(TIMDef(), "TASKKEY");
const KeyDef& TIM_BATCHKEY = keyOf(TIMDef(), "BATCHKEY");

const KeyDef& TLO_IDKEY = keyOf(TLODef(), "IDKEY");
const KeyDef& TLO_BYTASK = keyOf(TLODef(), "BYTASK");

const KeyDef& TLI_IDKEY = keyOf(TLIDef(), "IDKEY");

const KeyDef& FLI_IDKEY = keyOf(FLIDef(), "IDKEY");

const KeyDef& IMP_IDKEY = keyOf(IMPDef(), "IDKEY");

const KeyDef& STO_BY_THEWORD = keyOf(STODef(), "BY_THEWORD");

}  // namespace pm
