#pragma once
// Files named at run time by the caller ($FileTmpName, or setFileName for
// ASC and EXP): raw chunk files (DOS, TOC), plain text line files (ASC, EXP)
// and the dBase tables of the navigators (HRE, CCO, CMA, OUI), which are
// only read.
//
// dBase layouts: N(w.d) columns are REAL, DATE columns LONG declared as
// FieldType::DbDate, logical columns FixedText<1>. A field ending in _PTR is
// the memo reference of the dBase column without that suffix; the memo's
// text arrives in the buffer member named as the memo (HRE.MSG_TEXT).
//
// Naming as in message_tables.h; every label here equals its prefix, so the
// Table objects carry the suffix File (DOSFile, HREFile).
#include <string>

#include "common/fixed_text.h"
#include "common/types.h"
#include "storage/table.h"
#include "storage/table_def.h"

namespace pm {

#pragma pack(push, 1)

// DOS (12) and TOC (31): a raw file in chunks of up to 10,000 bytes;
// Table::bytes() tells how many bytes the last read delivered.
struct DOSRecord {
    FixedText<10000> CHAR;
};
struct TOCRecord {
    FixedText<10000> CHAR;
};

// ASC and EXP (not in the registry): one text line per record, without its
// line end.
struct ASCRecord {
    FixedText<64000> LINE;
};
struct EXPRecord {
    FixedText<64000> LINE;
};

// HRE (11): message headers of a navigator store.
struct HRERecord {
    FixedText<1> IS_MAIL;
    FixedText<20> FORUM_NAME;
    REAL INTERNAL;
    REAL SEC_NUMBER;
    FixedText<20> SEC_NAME;
    FixedText<60> SUBJECT;
    FixedText<60> SEND_ID;
    REAL FROMNET;
    FixedText<40> SEND_NAME;
    FixedText<60> RECV_ID;
    FixedText<40> RECV_NAME;
    REAL MSG_NUMBER;
    REAL MSG_PARENT;
    FixedText<1> RECEIVED;
    FixedText<1> IS_PRIVATE;
    FixedText<1> REPLIED;
    FixedText<1> SAVED;
    FixedText<1> REPLIES;
    FixedText<1> RECEIPT;
    FixedText<1> BINARY;
    FixedText<1> DL;
    FixedText<128> BFILENAME;
    FixedText<1> KEEP;
    FixedText<1> IS_DELETE;
    FixedText<10> MSG_DATE;
    FixedText<10> MSG_TIME;
    FixedText<5> TIME_ZONE;
    LONG MSG_TEXT_PTR;    // column MSG_TEXT
    FixedText<1> IS_NAVCIS;
    LONG NAV_CODES_PTR;   // column NAV_CODES
    REAL SESSION;
    FixedText<8> REC_DATE;
    FixedText<8> REC_TIME;
    REAL GROUP_CNT;
    LONG GROUP_LIST_PTR;  // column GROUP_LIST
};

// CCO (20): forum messages of a navigator store.
struct CCORecord {
    FixedText<10> MSG_NUMBER;
    LONG MSG_DATE;  // dBase date
    FixedText<5> MSG_TIME;
    FixedText<24> MSG_SUBJEC;
    FixedText<25> MSG_SENDER;
    FixedText<11> MSG_SENDID;
    FixedText<25> MSG_RECVR;
    FixedText<11> MSG_RECVID;
    FixedText<10> MSG_PARENT;
    REAL MSG_NXTSIB;
    REAL MSG_FSTCHD;
    REAL MSG_THRDID;
    FixedText<2> MSG_SECTNO;
    FixedText<20> MSG_SECT;
    LONG MSG_TEXT_PTR;  // column MSG_TEXT
    FixedText<2> MSG_FLAGS;
    REAL MSG_SEQ;
    FixedText<1> MSG_ISFROM;
    FixedText<1> MSG_ISTO;
    FixedText<1> MSG_TAGGED;
    FixedText<1> MSG_MARKED;
    FixedText<1> MSG_UNREAD;
    FixedText<1> MSG_ISROOT;
};

// CMA (21): mail of a navigator store.
struct CMARecord {
    FixedText<10> MSG_NUMBER;
    LONG MSG_DATE;  // dBase date
    FixedText<5> MSG_TIME;
    FixedText<40> MSG_SUBJEC;
    FixedText<25> MSG_SENDER;
    LONG MSG_SENDID_PTR;  // column MSG_SENDID
    FixedText<25> MSG_RECVR;
    LONG MSG_RECVID_PTR;  // column MSG_RECVID
    FixedText<10> MSG_PARENT;
    LONG MSG_TEXT_PTR;    // column MSG_TEXT
    FixedText<2> MSG_FLAGS;
    REAL MSG_SEQ;
    FixedText<1> MSG_ISFROM;
    FixedText<1> MSG_ISTO;
    FixedText<1> MSG_TAGGED;
    FixedText<1> MSG_MARKED;
    FixedText<1> MSG_UNREAD;
};

// OUI (40): messages of a navigator store.
struct OUIRecord {
    FixedText<10> IDENTIFIER;
    REAL INSTANCE;
    FixedText<1> READ;
    FixedText<40> MSG_NUMBER;
    FixedText<40> MSG_PARENT;
    FixedText<40> ID_TOPMOST;
    REAL SECT_NUMB;
    FixedText<20> SECT_NAME;
    FixedText<80> SUBJECT;
    REAL SESSION;
    FixedText<1> REPLIES;
    FixedText<1> PARENT;
    REAL REPLY_NUM;
    FixedText<1> KEEP;
    FixedText<1> DELETE;
    LONG MSG_DATE;  // dBase date
    FixedText<14> MSG_TIME;
    FixedText<5> MSG_ZONE;
    LONG RECV_DATE;  // dBase date
    FixedText<14> RECV_TIME;
    REAL STATUS;
    FixedText<5> NETWORK;
    REAL EXTRA;
    FixedText<10> RECV_IDPAR;
    LONG RECV_ID_PTR;     // column RECV_ID
    FixedText<10> SEND_IDPAR;
    LONG SEND_ID_PTR;     // column SEND_ID
    LONG MSG_BODY_PTR;    // column MSG_BODY
    LONG MSG_EXTRA_PTR;   // column MSG_EXTRA
    LONG MSG_ATTACH_PTR;  // column MSG_ATTACH
};

#pragma pack(pop)

static_assert(sizeof(DOSRecord) == 10000);
PM_OFFSET(DOSRecord, CHAR, 0);
static_assert(sizeof(TOCRecord) == 10000);
PM_OFFSET(TOCRecord, CHAR, 0);
static_assert(sizeof(ASCRecord) == 64000);
PM_OFFSET(ASCRecord, LINE, 0);
static_assert(sizeof(EXPRecord) == 64000);
PM_OFFSET(EXPRecord, LINE, 0);

static_assert(sizeof(HRERecord) == 549);
PM_OFFSET(HRERecord, IS_MAIL, 0);
PM_OFFSET(HRERecord, FORUM_NAME, 1);
PM_OFFSET(HRERecord, INTERNAL, 21);
PM_OFFSET(HRERecord, SEC_NUMBER, 29);
PM_OFFSET(HRERecord, SEC_NAME, 37);
PM_OFFSET(HRERecord, SUBJECT, 57);
PM_OFFSET(HRERecord, SEND_ID, 117);
PM_OFFSET(HRERecord, FROMNET, 177);
PM_OFFSET(HRERecord, SEND_NAME, 185);
PM_OFFSET(HRERecord, RECV_ID, 225);
PM_OFFSET(HRERecord, RECV_NAME, 285);
PM_OFFSET(HRERecord, MSG_NUMBER, 325);
PM_OFFSET(HRERecord, MSG_PARENT, 333);
PM_OFFSET(HRERecord, RECEIVED, 341);
PM_OFFSET(HRERecord, IS_PRIVATE, 342);
PM_OFFSET(HRERecord, REPLIED, 343);
PM_OFFSET(HRERecord, SAVED, 344);
PM_OFFSET(HRERecord, REPLIES, 345);
PM_OFFSET(HRERecord, RECEIPT, 346);
PM_OFFSET(HRERecord, BINARY, 347);
PM_OFFSET(HRERecord, DL, 348);
PM_OFFSET(HRERecord, BFILENAME, 349);
PM_OFFSET(HRERecord, KEEP, 477);
PM_OFFSET(HRERecord, IS_DELETE, 478);
PM_OFFSET(HRERecord, MSG_DATE, 479);
PM_OFFSET(HRERecord, MSG_TIME, 489);
PM_OFFSET(HRERecord, TIME_ZONE, 499);
PM_OFFSET(HRERecord, MSG_TEXT_PTR, 504);
PM_OFFSET(HRERecord, IS_NAVCIS, 508);
PM_OFFSET(HRERecord, NAV_CODES_PTR, 509);
PM_OFFSET(HRERecord, SESSION, 513);
PM_OFFSET(HRERecord, REC_DATE, 521);
PM_OFFSET(HRERecord, REC_TIME, 529);
PM_OFFSET(HRERecord, GROUP_CNT, 537);
PM_OFFSET(HRERecord, GROUP_LIST_PTR, 545);

static_assert(sizeof(CCORecord) == 191);
PM_OFFSET(CCORecord, MSG_NUMBER, 0);
PM_OFFSET(CCORecord, MSG_DATE, 10);
PM_OFFSET(CCORecord, MSG_TIME, 14);
PM_OFFSET(CCORecord, MSG_SUBJEC, 19);
PM_OFFSET(CCORecord, MSG_SENDER, 43);
PM_OFFSET(CCORecord, MSG_SENDID, 68);
PM_OFFSET(CCORecord, MSG_RECVR, 79);
PM_OFFSET(CCORecord, MSG_RECVID, 104);
PM_OFFSET(CCORecord, MSG_PARENT, 115);
PM_OFFSET(CCORecord, MSG_NXTSIB, 125);
PM_OFFSET(CCORecord, MSG_FSTCHD, 133);
PM_OFFSET(CCORecord, MSG_THRDID, 141);
PM_OFFSET(CCORecord, MSG_SECTNO, 149);
PM_OFFSET(CCORecord, MSG_SECT, 151);
PM_OFFSET(CCORecord, MSG_TEXT_PTR, 171);
PM_OFFSET(CCORecord, MSG_FLAGS, 175);
PM_OFFSET(CCORecord, MSG_SEQ, 177);
PM_OFFSET(CCORecord, MSG_ISFROM, 185);
PM_OFFSET(CCORecord, MSG_ISTO, 186);
PM_OFFSET(CCORecord, MSG_TAGGED, 187);
PM_OFFSET(CCORecord, MSG_MARKED, 188);
PM_OFFSET(CCORecord, MSG_UNREAD, 189);
PM_OFFSET(CCORecord, MSG_ISROOT, 190);

static_assert(sizeof(CMARecord) == 146);
PM_OFFSET(CMARecord, MSG_NUMBER, 0);
PM_OFFSET(CMARecord, MSG_DATE, 10);
PM_OFFSET(CMARecord, MSG_TIME, 14);
PM_OFFSET(CMARecord, MSG_SUBJEC, 19);
PM_OFFSET(CMARecord, MSG_SENDER, 59);
PM_OFFSET(CMARecord, MSG_SENDID_PTR, 84);
PM_OFFSET(CMARecord, MSG_RECVR, 88);
PM_OFFSET(CMARecord, MSG_RECVID_PTR, 113);
PM_OFFSET(CMARecord, MSG_PARENT, 117);
PM_OFFSET(CMARecord, MSG_TEXT_PTR, 127);
PM_OFFSET(CMARecord, MSG_FLAGS, 131);
PM_OFFSET(CMARecord, MSG_SEQ, 133);
PM_OFFSET(CMARecord, MSG_ISFROM, 141);
PM_OFFSET(CMARecord, MSG_ISTO, 142);
PM_OFFSET(CMARecord, MSG_TAGGED, 143);
PM_OFFSET(CMARecord, MSG_MARKED, 144);
PM_OFFSET(CMARecord, MSG_UNREAD, 145);

static_assert(sizeof(OUIRecord) == 369);
PM_OFFSET(OUIRecord, IDENTIFIER, 0);
PM_OFFSET(OUIRecord, INSTANCE, 10);
PM_OFFSET(OUIRecord, READ, 18);
PM_OFFSET(OUIRecord, MSG_NUMBER, 19);
PM_OFFSET(OUIRecord, MSG_PARENT, 59);
PM_OFFSET(OUIRecord, ID_TOPMOST, 99);
PM_OFFSET(OUIRecord, SECT_NUMB, 139);
PM_OFFSET(OUIRecord, SECT_NAME, 147);
PM_OFFSET(OUIRecord, SUBJECT, 167);
PM_OFFSET(OUIRecord, SESSION, 247);
PM_OFFSET(OUIRecord, REPLIES, 255);
PM_OFFSET(OUIRecord, PARENT, 256);
PM_OFFSET(OUIRecord, REPLY_NUM, 257);
PM_OFFSET(OUIRecord, KEEP, 265);
PM_OFFSET(OUIRecord, DELETE, 266);
PM_OFFSET(OUIRecord, MSG_DATE, 267);
PM_OFFSET(OUIRecord, MSG_TIME, 271);
PM_OFFSET(OUIRecord, MSG_ZONE, 285);
PM_OFFSET(OUIRecord, RECV_DATE, 290);
PM_OFFSET(OUIRecord, RECV_TIME, 294);
PM_OFFSET(OUIRecord, STATUS, 308);
PM_OFFSET(OUIRecord, NETWORK, 316);
PM_OFFSET(OUIRecord, EXTRA, 321);
PM_OFFSET(OUIRecord, RECV_IDPAR, 329);
PM_OFFSET(OUIRecord, RECV_ID_PTR, 339);
PM_OFFSET(OUIRecord, SEND_IDPAR, 343);
PM_OFFSET(OUIRecord, SEND_ID_PTR, 353);
PM_OFFSET(OUIRecord, MSG_BODY_PTR, 357);
PM_OFFSET(OUIRecord, MSG_EXTRA_PTR, 361);
PM_OFFSET(OUIRecord, MSG_ATTACH_PTR, 365);

// dBase buffers: the record plus its memos, each named as its memo (each
// memo holds at most 65,280 bytes).
struct HREBuffer : HRERecord {
    std::string MSG_TEXT;
    std::string NAV_CODES;
    std::string GROUP_LIST;
};
struct CCOBuffer : CCORecord {
    std::string MSG_TEXT;
};
struct CMABuffer : CMARecord {
    std::string MSG_SENDID;
    std::string MSG_RECVID;
    std::string MSG_TEXT;
};
struct OUIBuffer : OUIRecord {
    std::string RECV_ID;
    std::string SEND_ID;
    std::string MSG_BODY;
    std::string MSG_EXTRA;
    std::string MSG_ATTACH;
};

// --- declarations ----------------------------------------------------------
const TableDef& DOSDef();
const TableDef& TOCDef();
const TableDef& ASCDef();  // number 0: opened by name
const TableDef& EXPDef();  // number 0: opened by name
const TableDef& HREDef();
const TableDef& CCODef();
const TableDef& CMADef();
const TableDef& OUIDef();

// --- record buffers and tables ----------------------------------------------
extern DOSRecord DOS;
extern Table DOSFile;
extern TOCRecord TOC;
extern Table TOCFile;
extern ASCRecord ASC;
extern Table ASCFile;
extern EXPRecord EXP;
extern Table EXPFile;
extern HREBuffer HRE;
extern Table HREFile;
extern CCOBuffer CCO;
extern Table CCOFile;
extern CMABuffer CMA;
extern Table CMAFile;
extern OUIBuffer OUI;
extern Table OUIFile;

}  // namespace pm
