#pragma once
// The tables of one message database: headers, texts, persons, sections,
// threads, topics, message identifiers and the identity record.
//
// Each table has one packed record type (<Label>Record) whose layout is the
// record the whole program addresses, one record buffer named by its prefix
// (MSG, TXT ...), one Table named by its label (MsgNmbr, MsgText ...; a label
// equal to its prefix gets the suffix File: CCRFile, REFFile) and its keys
// named <PREFIX>_<KeyName>. Buffers start as cleared records. The key
// references are bound while the library loads: do not use them from other
// static initializers.
#include <string>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "storage/table_def.h"

namespace pm {

#pragma pack(push, 1)

// MsgNmbr (3): forum and newsgroup message headers.
struct MsgNmbrRecord {
    ULONG MSGNUMBER;           // message identifier, shared with TXT:MSGNUMBER
    ULONG SECSYSID;            // section (SEC:SECSYSID)
    ULONG REFNUMBER;           // message this one answers, 0 = none
    ULONG THREADNUMBER;        // thread (THR:THREADNUMBER)
    FixedText<10> THREADALPHA; // copy of THR:ALPHA, for thread-ordered keys
    ULONG FROMID;              // sender (PER:PERSONID)
    FixedText<10> FROMALPHA;   // sort text of the sender
    ULONG TOID;                // addressee (PER:PERSONID), 0 = none
    FixedText<10> TOALPHA;     // sort text of the addressee
    LONG DATE;                 // message date
    BYTE DUMMY;                // status code
    BYTE FG;                   // flag byte
};

// MsgText (4): message texts of every database type.
struct MsgTextRecord {
    ULONG MSGNUMBER;  // MSG:MSGNUMBER or MAI:MAILID
    LONG DATE;        // date the text was stored
    LONG TIME;        // time the text was stored
};

// Mail (13): mail message headers.
struct MailRecord {
    LONG DATE;                // date sent
    LONG TIME;                // time sent
    FixedText<50> SUBJECT;
    ULONG MAILID;             // message identifier, shared with TXT and CCR
    ULONG FROMID;             // sender (PER:PERSONID)
    FixedText<10> FROMALPHA;
    ULONG TOID;               // main recipient (PER:PERSONID)
    FixedText<10> TOALPHA;
    ULONG PAIRID;             // the mail partner: the party other than the owner
    FixedText<25> PAIRALPHA;
    FixedText<2> RECIPTYPE;   // recipient type code of the main recipient
    BYTE CCR;                 // 1 when CCR records exist for the mail
    BYTE DUMMY;               // status code
    BYTE FG;                  // flag byte
};

// CCR (17): further recipients of a mail.
struct CCRRecord {
    ULONG MAILID;               // the mail (MAI:MAILID)
    FixedText<40> R_NAME;       // recipient's name
    FixedText<60> R_CISADRESS;  // recipient's address
    FixedText<2> RECIPTYPE;     // recipient type code
};

// Person (5): forum members, mail partners, newsgroup participants.
struct PersonRecord {
    ULONG PERSONID;
    FixedText<100> PERSONSTRING;  // name and address as one identifying text
    FixedText<25> LASTNAME;
    FixedText<25> FIRSTNAME;
    FixedText<60> ADDRESS;
    ULONG FROMCOUNT;              // messages sent by the person
    ULONG TOCOUNT;                // messages addressed to the person
    LONG LASTDATE;                // date of the person's latest message
    BYTE DUMMY;                   // status code
};

// PLINK (23): further identifying strings that lead to a person.
struct PLINKRecord {
    FixedText<100> PERSONSTRING;
    ULONG PERSONID;
};

// Sections (6): forum sections; the newsgroups of a newsgroup database.
struct SectionsRecord {
    ULONG SECTIONNUMBER;          // number as the source service numbers it
    ULONG SECSYSID;               // internal section identifier
    FixedText<100> DESCRIPTION;   // section (newsgroup) name
    ULONG MSGCOUNT;
    BYTE DUMMY;                   // status code
};

// Threads (7): message threads. HEADING is the 100-byte subject; ALPHA (its
// sort part) and BETA share its bytes, so writing HEADING fills both.
struct ThreadsRecord {
    ULONG THREADNUMBER;
    ULONG SECSYSID;
    union {
        FixedText<100> HEADING;
        struct {
            FixedText<10> ALPHA;
            FixedText<90> BETA;
        };
    };
    ULONG MSGCOUNT;
    BYTE DUMMY;  // status code
};

// Codes (1): topics and key words that classify messages.
struct CodesRecord {
    BYTE TYPE;              // topic or key word
    FixedText<40> INDEX;    // the topic or key word text
    ULONG ID;               // SIN:ID refers to it
    ULONG COUNT;            // messages classified under it
    LONG DATE;              // last classification run
    LONG TIME;
    BYTE CHARCASE;          // 1 = match the key word with letter case
    BYTE WORDONLY;          // 1 = match whole words only
};

// SIndex (9): which messages carry which topic or key word.
struct SIndexRecord {
    ULONG ID;         // COD:ID
    ULONG MSGNUMBER;
};

// MsgString (25): Internet Message-ID of each stored newsgroup message.
struct MsgStringRecord {
    FixedText<60> IDSTRING;
    ULONG MSGNUMBER;  // MSG:MSGNUMBER
};

// REF (22): the database's identity record (one record, no keys).
struct REFRecord {
    BYTE TYPE;                     // as FOR:TYPE
    FixedText<100> DESCRIPTION;    // as FOR:DESCRIPTION
    BYTE TARGETNG;                 // as FOR:TARGETNG
    LONG PERSONID;                 // as FOR:PERSONID (mail databases)
    FixedText<60> MAILADDRESS;     // as FOR:MAILADDRESS
    FixedText<60> ALTADDRESS[10];  // as FOR:ALTADDRESS
};

#pragma pack(pop)

static_assert(sizeof(MsgNmbrRecord) == 60);
PM_OFFSET(MsgNmbrRecord, MSGNUMBER, 0);
PM_OFFSET(MsgNmbrRecord, SECSYSID, 4);
PM_OFFSET(MsgNmbrRecord, REFNUMBER, 8);
PM_OFFSET(MsgNmbrRecord, THREADNUMBER, 12);
PM_OFFSET(MsgNmbrRecord, THREADALPHA, 16);
PM_OFFSET(MsgNmbrRecord, FROMID, 26);
PM_OFFSET(MsgNmbrRecord, FROMALPHA, 30);
PM_OFFSET(MsgNmbrRecord, TOID, 40);
PM_OFFSET(MsgNmbrRecord, TOALPHA, 44);
PM_OFFSET(MsgNmbrRecord, DATE, 54);
PM_OFFSET(MsgNmbrRecord, DUMMY, 58);
PM_OFFSET(MsgNmbrRecord, FG, 59);

static_assert(sizeof(MsgTextRecord) == 12);
PM_OFFSET(MsgTextRecord, MSGNUMBER, 0);
PM_OFFSET(MsgTextRecord, DATE, 4);
PM_OFFSET(MsgTextRecord, TIME, 8);

static_assert(sizeof(MailRecord) == 124);
PM_OFFSET(MailRecord, DATE, 0);
PM_OFFSET(MailRecord, TIME, 4);
PM_OFFSET(MailRecord, SUBJECT, 8);
PM_OFFSET(MailRecord, MAILID, 58);
PM_OFFSET(MailRecord, FROMID, 62);
PM_OFFSET(MailRecord, FROMALPHA, 66);
PM_OFFSET(MailRecord, TOID, 76);
PM_OFFSET(MailRecord, TOALPHA, 80);
PM_OFFSET(MailRecord, PAIRID, 90);
PM_OFFSET(MailRecord, PAIRALPHA, 94);
PM_OFFSET(MailRecord, RECIPTYPE, 119);
PM_OFFSET(MailRecord, CCR, 121);
PM_OFFSET(MailRecord, DUMMY, 122);
PM_OFFSET(MailRecord, FG, 123);

static_assert(sizeof(CCRRecord) == 106);
PM_OFFSET(CCRRecord, MAILID, 0);
PM_OFFSET(CCRRecord, R_NAME, 4);
PM_OFFSET(CCRRecord, R_CISADRESS, 44);
PM_OFFSET(CCRRecord, RECIPTYPE, 104);

static_assert(sizeof(PersonRecord) == 227);
PM_OFFSET(PersonRecord, PERSONID, 0);
PM_OFFSET(PersonRecord, PERSONSTRING, 4);
PM_OFFSET(PersonRecord, LASTNAME, 104);
PM_OFFSET(PersonRecord, FIRSTNAME, 129);
PM_OFFSET(PersonRecord, ADDRESS, 154);
PM_OFFSET(PersonRecord, FROMCOUNT, 214);
PM_OFFSET(PersonRecord, TOCOUNT, 218);
PM_OFFSET(PersonRecord, LASTDATE, 222);
PM_OFFSET(PersonRecord, DUMMY, 226);

static_assert(sizeof(PLINKRecord) == 104);
PM_OFFSET(PLINKRecord, PERSONSTRING, 0);
PM_OFFSET(PLINKRecord, PERSONID, 100);

static_assert(sizeof(SectionsRecord) == 113);
PM_OFFSET(SectionsRecord, SECTIONNUMBER, 0);
PM_OFFSET(SectionsRecord, SECSYSID, 4);
PM_OFFSET(SectionsRecord, DESCRIPTION, 8);
PM_OFFSET(SectionsRecord, MSGCOUNT, 108);
PM_OFFSET(SectionsRecord, DUMMY, 112);

static_assert(sizeof(ThreadsRecord) == 113);
PM_OFFSET(ThreadsRecord, THREADNUMBER, 0);
PM_OFFSET(ThreadsRecord, SECSYSID, 4);
PM_OFFSET(ThreadsRecord, HEADING, 8);
PM_OFFSET(ThreadsRecord, ALPHA, 8);
PM_OFFSET(ThreadsRecord, BETA, 18);
PM_OFFSET(ThreadsRecord, MSGCOUNT, 108);
PM_OFFSET(ThreadsRecord, DUMMY, 112);

static_assert(sizeof(CodesRecord) == 59);
PM_OFFSET(CodesRecord, TYPE, 0);
PM_OFFSET(CodesRecord, INDEX, 1);
PM_OFFSET(CodesRecord, ID, 41);
PM_OFFSET(CodesRecord, COUNT, 45);
PM_OFFSET(CodesRecord, DATE, 49);
PM_OFFSET(CodesRecord, TIME, 53);
PM_OFFSET(CodesRecord, CHARCASE, 57);
PM_OFFSET(CodesRecord, WORDONLY, 58);

static_assert(sizeof(SIndexRecord) == 8);
PM_OFFSET(SIndexRecord, ID, 0);
PM_OFFSET(SIndexRecord, MSGNUMBER, 4);

static_assert(sizeof(MsgStringRecord) == 64);
PM_OFFSET(MsgStringRecord, IDSTRING, 0);
PM_OFFSET(MsgStringRecord, MSGNUMBER, 60);

static_assert(sizeof(REFRecord) == 766);
PM_OFFSET(REFRecord, TYPE, 0);
PM_OFFSET(REFRecord, DESCRIPTION, 1);
PM_OFFSET(REFRecord, TARGETNG, 101);
PM_OFFSET(REFRecord, PERSONID, 102);
PM_OFFSET(REFRecord, MAILADDRESS, 106);
PM_OFFSET(REFRecord, ALTADDRESS, 166);

// Memo tables: the buffer is the record plus its memo, named as the memo.
struct MsgTextBuffer : MsgTextRecord {
    std::string MsgText;  // the message text, at most 64,000 characters
};

// --- declarations ----------------------------------------------------------
const TableDef& MsgNmbrDef();
const TableDef& MsgTextDef();
const TableDef& MailDef();
const TableDef& CCRDef();
const TableDef& PersonDef();
const TableDef& PLINKDef();
const TableDef& SectionsDef();
const TableDef& ThreadsDef();
const TableDef& CodesDef();
const TableDef& SIndexDef();
const TableDef& MsgStringDef();
const TableDef& REFDef();

// --- record buffers and tables ----------------------------------------------
extern MsgNmbrRecord MSG;
extern Table MsgNmbr;
extern MsgTextBuffer TXT;
extern Table MsgText;
extern MailRecord MAI;
extern Table Mail;
extern CCRRecord CCR;
extern Table CCRFile;
extern PersonRecord PER;
extern Table Person;
extern PLINKRecord PLI;
extern Table PLINK;
extern SectionsRecord SEC;
extern Table Sections;
extern ThreadsRecord THR;
extern Table Threads;
extern CodesRecord COD;
extern Table Codes;
extern SIndexRecord SIN;
extern Table SIndex;
extern MsgStringRecord MST;
extern Table MsgString;
extern REFRecord REF;
extern Table REFFile;

// --- keys -------------------------------------------------------------------
extern const KeyDef& MSG_IdKey;      // primary: -MSGNUMBER (newest first)
extern const KeyDef& MSG_Threadkey;  // +THREADALPHA +THREADNUMBER +MSGNUMBER
extern const KeyDef& MSG_SECkey;     // +SECSYSID +THREADALPHA +THREADNUMBER +MSGNUMBER
extern const KeyDef& MSG_FromKey;    // +FROMALPHA +FROMID -MSGNUMBER
extern const KeyDef& MSG_ToKey;      // +TOALPHA +TOID -MSGNUMBER
extern const KeyDef& MSG_DateKey;    // -DATE -MSGNUMBER
extern const KeyDef& MSG_StatusKey;  // +DUMMY

extern const KeyDef& TXT_IdKey;    // primary: +MSGNUMBER
extern const KeyDef& TXT_DateKey;  // +DATE

extern const KeyDef& MAI_IdKey;       // primary: -MAILID (newest first)
extern const KeyDef& MAI_DateKey;     // -DATE -TIME -MAILID
extern const KeyDef& MAI_PairKey;     // +PAIRALPHA +PAIRID -DATE -TIME -MAILID
extern const KeyDef& MAI_FromKey;     // +FROMALPHA +FROMID -DATE -TIME -MAILID
extern const KeyDef& MAI_ToKey;       // +TOALPHA +TOID -DATE -TIME -MAILID
extern const KeyDef& MAI_SubjectKey;  // +SUBJECT -DATE -TIME -MAILID
extern const KeyDef& MAI_StatusKey;   // +DUMMY

extern const KeyDef& CCR_IdKey;  // primary: +MAILID +R_CISADRESS +R_NAME

extern const KeyDef& PER_PersonKey;   // primary: +PERSONID
extern const KeyDef& PER_StringKey;   // unique: +PERSONSTRING
extern const KeyDef& PER_AddressKey;  // +ADDRESS
extern const KeyDef& PER_NameKey;     // +LASTNAME +FIRSTNAME

extern const KeyDef& PLI_StringKey;  // primary: +PERSONSTRING
extern const KeyDef& PLI_PersonKey;  // +PERSONID

extern const KeyDef& SEC_SysIdKey;    // primary: +SECSYSID
extern const KeyDef& SEC_SectionKey;  // +SECTIONNUMBER

extern const KeyDef& THR_ThreadKey;  // primary: +THREADNUMBER
extern const KeyDef& THR_SecKey;     // +SECSYSID +ALPHA
extern const KeyDef& THR_AlphaKey;   // +ALPHA
extern const KeyDef& THR_StatusKey;  // +DUMMY

extern const KeyDef& COD_ClassKey;  // primary: +TYPE +INDEX

extern const KeyDef& SIN_IdKey;   // primary: +ID -MSGNUMBER
extern const KeyDef& SIN_MsgKey;  // +MSGNUMBER

extern const KeyDef& MST_IDStringKey;  // primary: +IDSTRING
extern const KeyDef& MST_IDKey;        // unique: +MSGNUMBER

}  // namespace pm
