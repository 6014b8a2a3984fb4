#include "tables/records/scratch_tables.h"

#include "common/message_text.h"
#include "tables/records/table_support.h"

namespace pm {

const TableDef& NewHRDef() {
    using R = NewHRRecord;
    static const TableDef def = makeTableDef(
        10, "NewHR", "NHR", Location::Tmp, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, INTERNAL, ULong), PM_FIELD(R, MSGNUMBER, ULong), PM_FIELD(R, REFNUMBER, ULong),
         PM_FIELD(R, FOR_DESCRIPTION, String), PM_FIELD(R, SECTIONNUMBER, ULong),
         PM_FIELD(R, SEC_DESCRIPTION, String), PM_FIELD(R, HEADING, String), PM_FIELD(R, S_CISADRESS, String),
         PM_FIELD(R, S_NAME, String), PM_FIELD(R, R_CISADRESS, String), PM_FIELD(R, R_NAME, String),
         PM_FIELD(R, DUMMY, Byte), PM_FIELD(R, DATE, Long), PM_FIELD(R, TIME, Long), PM_FIELD(R, MAILTYPE, Byte),
         PM_FIELD(R, RECIPTYPE, String), PM_FIELD(R, IMPDATE, Long), PM_FIELD(R, IMPTIME, Long)},
        {{"MSGTEXT", MessageTextBytes}},
        {{"MSGKEY", Primary, {asc("INTERNAL"), asc("MSGNUMBER")}}});
    return def;
}

const TableDef& CCTDef() {
    using R = CCTRecord;
    static const TableDef def = makeTableDef(
        19, "CCT", "CCT", Location::Tmp, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, MAILID, ULong), PM_FIELD(R, R_NAME, String), PM_FIELD(R, R_CISADRESS, String),
         PM_FIELD(R, RECIPTYPE, String)},
        {},
        {{"IDKEY", Primary, {asc("MAILID"), asc("R_CISADRESS"), asc("R_NAME")}}});
    return def;
}

const TableDef& TempIDDef() {
    using R = TempIDRecord;
    static const TableDef def = makeTableDef(
        24, "TempID", "TID", Location::Tmp, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, IDSTRING, String), PM_FIELD(R, MSGNUMBER, ULong)},
        {},
        {{"IDKEY", Primary, {asc("MSGNUMBER")}}});
    return def;
}

const TableDef& SearchDef() {
    using R = SearchRecord;
    static const TableDef def = makeTableDef(
        32, "Search", "SEA", Location::Tmp, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, ID, ULong)},
        {},
        {{"IdKey", Primary, {desc("ID")}}});
    return def;
}

WorkRecord::WorkRecord() { clear(); }

void WorkRecord::clear() {
    clearRecord(NewHRDef(), static_cast<NewHRRecord*>(this));
    MSGTEXT.clear();
}

// --- buffers and tables -------------------------------------------------------
WorkRecord NHR;
Table NewHR{NewHRDef(), static_cast<NewHRRecord*>(&NHR), {&NHR.MSGTEXT}};
CCTRecord CCT;
Table CCTFile{CCTDef(), &CCT};
TempIDRecord TID;
Table TempID{TempIDDef(), &TID};
SearchRecord SEA;
Table Search{SearchDef(), &SEA};

namespace {
const records::ClearedAtStart cleared{&NewHR, &CCTFile, &TempID, &Search};
}  // namespace

// --- keys -----------------------------------------------------------------------
using records::keyOf;

const KeyDef& NHR_MSGKEY = keyOf(NewHRDef(), "MSGKEY");
const KeyDef& CCT_IDKEY = keyOf(CCTDef(), "IDKEY");
const KeyDef& TID_IDKEY = keyOf(TempIDDef(), "IDKEY");
const KeyDef& SEA_IdKey = keyOf(SearchDef(), "IdKey");

}  // namespace pm
