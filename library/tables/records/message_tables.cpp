#include "tables/records/message_tables.h"

#include "common/message_text.h"
#include "tables/records/table_support.h"

namespace pm {

// Every table here is caseless: text key components compare without regard
// to letter case.

const TableDef& MsgNmbrDef() {
    using R = MsgNmbrRecord;
    static const TableDef def = makeTableDef(
        3, "MsgNmbr", "MSG", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, MSGNUMBER, ULong), PM_FIELD(R, SECSYSID, ULong), PM_FIELD(R, REFNUMBER, ULong),
         PM_FIELD(R, THREADNUMBER, ULong), PM_FIELD_PIECE(R, THREADALPHA), PM_FIELD(R, FROMID, ULong),
         PM_FIELD(R, FROMALPHA, String), PM_FIELD(R, TOID, ULong), PM_FIELD(R, TOALPHA, String),
         PM_FIELD(R, DATE, Long), PM_FIELD(R, DUMMY, Byte), PM_FIELD(R, FG, Byte)},
        {},
        {{"IdKey", Primary, {desc("MSGNUMBER")}},
         {"Threadkey", Dup, {asc("THREADALPHA"), asc("THREADNUMBER"), asc("MSGNUMBER")}},
         {"SECkey", Dup, {asc("SECSYSID"), asc("THREADALPHA"), asc("THREADNUMBER"), asc("MSGNUMBER")}},
         {"FromKey", Dup, {asc("FROMALPHA"), asc("FROMID"), desc("MSGNUMBER")}},
         {"ToKey", Dup, {asc("TOALPHA"), asc("TOID"), desc("MSGNUMBER")}},
         {"DateKey", Dup, {desc("DATE"), desc("MSGNUMBER")}},
         {"StatusKey", Dup, {asc("DUMMY")}}});
    return def;
}

const TableDef& MsgTextDef() {
    using R = MsgTextRecord;
    static const TableDef def = makeTableDef(
        4, "MsgText", "TXT", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, MSGNUMBER, ULong), PM_FIELD(R, DATE, Long), PM_FIELD(R, TIME, Long)},
        {{"MsgText", MessageTextBytes}},
        {{"IdKey", Primary, {asc("MSGNUMBER")}}, {"DateKey", Dup, {asc("DATE")}}});
    return def;
}

const TableDef& MailDef() {
    using R = MailRecord;
    static const TableDef def = makeTableDef(
        13, "Mail", "MAI", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, DATE, Long), PM_FIELD(R, TIME, Long), PM_FIELD(R, SUBJECT, String),
         PM_FIELD(R, MAILID, ULong), PM_FIELD(R, FROMID, ULong), PM_FIELD(R, FROMALPHA, String),
         PM_FIELD(R, TOID, ULong), PM_FIELD(R, TOALPHA, String), PM_FIELD(R, PAIRID, ULong),
         PM_FIELD(R, PAIRALPHA, String), PM_FIELD(R, RECIPTYPE, String), PM_FIELD(R, CCR, Byte),
         PM_FIELD(R, DUMMY, Byte), PM_FIELD(R, FG, Byte)},
        {},
        {{"IdKey", Primary, {desc("MAILID")}},
         {"DateKey", Dup, {desc("DATE"), desc("TIME"), desc("MAILID")}},
         {"PairKey", Dup, {asc("PAIRALPHA"), asc("PAIRID"), desc("DATE"), desc("TIME"), desc("MAILID")}},
         {"FromKey", Dup, {asc("FROMALPHA"), asc("FROMID"), desc("DATE"), desc("TIME"), desc("MAILID")}},
         {"ToKey", Dup, {asc("TOALPHA"), asc("TOID"), desc("DATE"), desc("TIME"), desc("MAILID")}},
         {"SubjectKey", Dup, {asc("SUBJECT"), desc("DATE"), desc("TIME"), desc("MAILID")}},
         {"StatusKey", Dup, {asc("DUMMY")}}});
    return def;
}

const TableDef& CCRDef() {
    using R = CCRRecord;
    static const TableDef def = makeTableDef(
        17, "CCR", "CCR", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, MAILID, ULong), PM_FIELD(R, R_NAME, String), PM_FIELD(R, R_CISADRESS, String),
         PM_FIELD(R, RECIPTYPE, String)},
        {},
        {{"IdKey", Primary, {asc("MAILID"), asc("R_CISADRESS"), asc("R_NAME")}}});
    return def;
}

const TableDef& PersonDef() {
    using R = PersonRecord;
    static const TableDef def = makeTableDef(
        5, "Person", "PER", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, PERSONID, ULong), PM_FIELD(R, PERSONSTRING, String), PM_FIELD(R, LASTNAME, String),
         PM_FIELD(R, FIRSTNAME, String), PM_FIELD(R, ADDRESS, String), PM_FIELD(R, FROMCOUNT, ULong),
         PM_FIELD(R, TOCOUNT, ULong), PM_FIELD(R, LASTDATE, Long), PM_FIELD(R, DUMMY, Byte)},
        {},
        {{"PersonKey", Primary, {asc("PERSONID")}},
         {"StringKey", Unique, {asc("PERSONSTRING")}},
         {"AddressKey", Dup, {asc("ADDRESS")}},
         {"NameKey", Dup, {asc("LASTNAME"), asc("FIRSTNAME")}}});
    return def;
}

const TableDef& PLINKDef() {
    using R = PLINKRecord;
    static const TableDef def = makeTableDef(
        23, "PLINK", "PLI", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, PERSONSTRING, String), PM_FIELD(R, PERSONID, ULong)},
        {},
        {{"StringKey", Primary, {asc("PERSONSTRING")}}, {"PersonKey", Dup, {asc("PERSONID")}}});
    return def;
}

const TableDef& SectionsDef() {
    using R = SectionsRecord;
    static const TableDef def = makeTableDef(
        6, "Sections", "SEC", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, SECTIONNUMBER, ULong), PM_FIELD(R, SECSYSID, ULong), PM_FIELD(R, DESCRIPTION, String),
         PM_FIELD(R, MSGCOUNT, ULong), PM_FIELD(R, DUMMY, Byte)},
        {},
        {{"SysIdKey", Primary, {asc("SECSYSID")}}, {"SectionKey", Dup, {asc("SECTIONNUMBER")}}});
    return def;
}

const TableDef& ThreadsDef() {
    using R = ThreadsRecord;
    // HEADING is not a column of its own: its bytes are ALPHA and BETA.
    static const TableDef def = makeTableDef(
        7, "Threads", "THR", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, THREADNUMBER, ULong), PM_FIELD(R, SECSYSID, ULong), PM_FIELD_PIECE(R, ALPHA),
         PM_FIELD_PIECE(R, BETA), PM_FIELD(R, MSGCOUNT, ULong), PM_FIELD(R, DUMMY, Byte)},
        {},
        {{"ThreadKey", Primary, {asc("THREADNUMBER")}},
         {"SecKey", Dup, {asc("SECSYSID"), asc("ALPHA")}},
         {"AlphaKey", Dup, {asc("ALPHA")}},
         {"StatusKey", Dup, {asc("DUMMY")}}});
    return def;
}

const TableDef& CodesDef() {
    using R = CodesRecord;
    static const TableDef def = makeTableDef(
        1, "Codes", "COD", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, TYPE, Byte), PM_FIELD(R, INDEX, String), PM_FIELD(R, ID, ULong), PM_FIELD(R, COUNT, ULong),
         PM_FIELD(R, DATE, Long), PM_FIELD(R, TIME, Long), PM_FIELD(R, CHARCASE, Byte),
         PM_FIELD(R, WORDONLY, Byte)},
        {},
        {{"ClassKey", Primary, {asc("TYPE"), asc("INDEX")}}});
    return def;
}

const TableDef& SIndexDef() {
    using R = SIndexRecord;
    static const TableDef def = makeTableDef(
        9, "SIndex", "SIN", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, ID, ULong), PM_FIELD(R, MSGNUMBER, ULong)},
        {},
        {{"IdKey", Primary, {asc("ID"), desc("MSGNUMBER")}}, {"MsgKey", Dup, {asc("MSGNUMBER")}}});
    return def;
}

const TableDef& MsgStringDef() {
    using R = MsgStringRecord;
    static const TableDef def = makeTableDef(
        25, "MsgString", "MST", Location::Db, StorageClass::Keyed, sizeof(R), true,
        {PM_FIELD(R, IDSTRING, String), PM_FIELD(R, MSGNUMBER, ULong)},
        {},
        {{"IDStringKey", Primary, {asc("IDSTRING")}}, {"IDKey", Unique, {asc("MSGNUMBER")}}});
    return def;
}

const TableDef& REFDef() {
    using R = REFRecord;
    static const TableDef def = makeTableDef(
        22, "REF", "REF", Location::Db, StorageClass::Simple, sizeof(R), true,
        {PM_FIELD(R, TYPE, Byte), PM_FIELD(R, DESCRIPTION, String), PM_FIELD(R, TARGETNG, Byte),
         PM_FIELD(R, PERSONID, Long), PM_FIELD(R, MAILADDRESS, String), PM_FIELD_DIM(R, ALTADDRESS, 10)},
        {}, {});
    return def;
}

// --- buffers and tables -------------------------------------------------------
MsgNmbrRecord MSG;
Table MsgNmbr{MsgNmbrDef(), &MSG};
MsgTextBuffer TXT;
Table MsgText{MsgTextDef(), static_cast<MsgTextRecord*>(&TXT), {&TXT.MsgText}};
MailRecord MAI;
Table Mail{MailDef(), &MAI};
CCRRecord CCR;
Table CCRFile{CCRDef(), &CCR};
PersonRecord PER;
Table Person{PersonDef(), &PER};
PLINKRecord PLI;
Table PLINK{PLINKDef(), &PLI};
SectionsRecord SEC;
Table Sections{SectionsDef(), &SEC};
ThreadsRecord THR;
Table Threads{ThreadsDef(), &THR};
CodesRecord COD;
Table Codes{CodesDef(), &COD};
SIndexRecord SIN;
Table SIndex{SIndexDef(), &SIN};
MsgStringRecord MST;
Table MsgString{MsgStringDef(), &MST};
REFRecord REF;
Table REFFile{REFDef(), &REF};

namespace {
const records::ClearedAtStart cleared{&MsgNmbr, &MsgText, &Mail,    &CCRFile, &Person,    &PLINK,
                                      &Sections, &Threads, &Codes, &SIndex,  &MsgString, &REFFile};
}  // namespace

// --- keys -----------------------------------------------------------------------
using records::keyOf;

const KeyDef& MSG_IdKey = keyOf(MsgNmbrDef(), "IdKey");
const KeyDef& MSG_Threadkey = keyOf(MsgNmbrDef(), "Threadkey");
const KeyDef& MSG_SECkey = keyOf(MsgNmbrDef(), "SECkey");
const KeyDef& MSG_FromKey = keyOf(MsgNmbrDef(), "FromKey");
const KeyDef& MSG_ToKey = keyOf(MsgNmbrDef(), "ToKey");
const KeyDef& MSG_DateKey = keyOf(MsgNmbrDef(), "DateKey");
const KeyDef& MSG_StatusKey = keyOf(MsgNmbrDef(), "StatusKey");

const KeyDef& TXT_IdKey = keyOf(MsgTextDef(), "IdKey");
const KeyDef& TXT_DateKey = keyOf(MsgTextDef(), "DateKey");

const KeyDef& MAI_IdKey = keyOf(MailDef(), "IdKey");
const KeyDef& MAI_DateKey = keyOf(MailDef(), "DateKey");
const KeyDef& MAI_PairKey = keyOf(MailDef(), "PairKey");
const KeyDef& MAI_FromKey = keyOf(MailDef(), "FromKey");
const KeyDef& MAI_ToKey = keyOf(MailDef(), "ToKey");
const KeyDef& MAI_SubjectKey = keyOf(MailDef(), "SubjectKey");
const KeyDef& MAI_StatusKey = keyOf(MailDef(), "StatusKey");

const KeyDef& CCR_IdKey = keyOf(CCRDef(), "IdKey");

const KeyDef& PER_PersonKey = keyOf(PersonDef(), "PersonKey");
const KeyDef& PER_StringKey = keyOf(PersonDef(), "StringKey");
const KeyDef& PER_AddressKey = keyOf(PersonDef(), "AddressKey");
const KeyDef& PER_NameKey = keyOf(PersonDef(), "NameKey");

const KeyDef& PLI_StringKey = keyOf(PLINKDef(), "StringKey");
const KeyDef& PLI_PersonKey = keyOf(PLINKDef(), "PersonKey");

const KeyDef& SEC_SysIdKey = keyOf(SectionsDef(), "SysIdKey");
const KeyDef& SEC_SectionKey = keyOf(SectionsDef(), "SectionKey");

const KeyDef& THR_ThreadKey = keyOf(ThreadsDef(), "ThreadKey");
const KeyDef& THR_SecKey = keyOf(ThreadsDef(), "SecKey");
const KeyDef& THR_AlphaKey = keyOf(ThreadsDef(), "AlphaKey");
const KeyDef& THR_StatusKey = keyOf(ThreadsDef(), "StatusKey");

const KeyDef& COD_ClassKey = keyOf(CodesDef(), "ClassKey");

const KeyDef& SIN_IdKey = keyOf(SIndexDef(), "IdKey");
const KeyDef& SIN_MsgKey = keyOf(SIndexDef(), "MsgKey");

const KeyDef& MST_IDStringKey = keyOf(MsgStringDef(), "IDStringKey");
const KeyDef& MST_IDKey = keyOf(MsgStringDef(), "IDKey");

}  // namespace pm
