#include "tables/records/external_tables.h"

#include "tables/records/table_support.h"

namespace pm {

namespace {
constexpr std::uint32_t kDBaseMemoBytes = 65280;
}  // namespace

const TableDef& DOSDef() {
    static const TableDef def = makeTableDef(12, "DOS", "DOS", Location::Ext, StorageClass::Chunks,
                                             sizeof(DOSRecord), true, {PM_FIELD(DOSRecord, CHAR, String)},
                                             {}, {});
    return def;
}

const TableDef& TOCDef() {
    static const TableDef def = makeTableDef(31, "TOC", "TOC", Location::Ext, StorageClass::Chunks,
                                             sizeof(TOCRecord), true, {PM_FIELD(TOCRecord, CHAR, String)},
                                             {}, {});
    return def;
}

const TableDef& ASCDef() {
    static const TableDef def = makeTableDef(0, "ASC", "ASC", Location::Ext, StorageClass::Lines,
                                             sizeof(ASCRecord), true, {PM_FIELD(ASCRecord, LINE, String)},
                                             {}, {});
    return def;
}

const TableDef& EXPDef() {
    static const TableDef def = makeTableDef(0, "EXP", "EXP", Location::Ext, StorageClass::Lines,
                                             sizeof(EXPRecord), true, {PM_FIELD(EXPRecord, LINE, String)},
                                             {}, {});
    return def;
}

const TableDef& HREDef() {
    using R = HRERecord;
    static const TableDef def = makeTableDef(
        11, "HRE", "HRE", Location::Ext, StorageClass::DBase, sizeof(R), true,
        {PM_FIELD(R, IS_MAIL, String),    PM_FIELD(R, FORUM_NAME, String),  PM_FIELD(R, INTERNAL, Real),
         PM_FIELD(R, SEC_NUMBER, Real),   PM_FIELD(R, SEC_NAME, String),    PM_FIELD(R, SUBJECT, String),
         PM_FIELD(R, SEND_ID, String),    PM_FIELD(R, FROMNET, Real),       PM_FIELD(R, SEND_NAME, String),
         PM_FIELD(R, RECV_ID, String),    PM_FIELD(R, RECV_NAME, String),   PM_FIELD(R, MSG_NUMBER, Real),
         PM_FIELD(R, MSG_PARENT, Real),   PM_FIELD(R, RECEIVED, String),    PM_FIELD(R, IS_PRIVATE, String),
         PM_FIELD(R, REPLIED, String),    PM_FIELD(R, SAVED, String),       PM_FIELD(R, REPLIES, String),
         PM_FIELD(R, RECEIPT, String),    PM_FIELD(R, BINARY, String),      PM_FIELD(R, DL, String),
         PM_FIELD(R, BFILENAME, String),  PM_FIELD(R, KEEP, String),        PM_FIELD(R, IS_DELETE, String),
         PM_FIELD(R, MSG_DATE, String),   PM_FIELD(R, MSG_TIME, String),    PM_FIELD(R, TIME_ZONE, String),
         PM_FIELD(R, MSG_TEXT_PTR, Long), PM_FIELD(R, IS_NAVCIS, String),   PM_FIELD(R, NAV_CODES_PTR, Long),
         PM_FIELD(R, SESSION, Real),      PM_FIELD(R, REC_DATE, String),    PM_FIELD(R, REC_TIME, String),
         PM_FIELD(R, GROUP_CNT, Real),    PM_FIELD(R, GROUP_LIST_PTR, Long)},
        {{"MSG_TEXT", kDBaseMemoBytes}, {"NAV_CODES", kDBaseMemoBytes}, {"GROUP_LIST", kDBaseMemoBytes}},
        {});
    return def;
}

const TableDef& CCODef() {
    using R = CCORecord;
    static const TableDef def = makeTableDef(
        20, "CCO", "CCO", Location::Ext, StorageClass::DBase, sizeof(R), true,
        {PM_FIELD(R, MSG_NUMBER, String), PM_FIELD(R, MSG_DATE, DbDate),   PM_FIELD(R, MSG_TIME, String),
         PM_FIELD(R, MSG_SUBJEC, String), PM_FIELD(R, MSG_SENDER, String), PM_FIELD(R, MSG_SENDID, String),
         PM_FIELD(R, MSG_RECVR, String),  PM_FIELD(R, MSG_RECVID, String), PM_FIELD(R, MSG_PARENT, String),
         PM_FIELD(R, MSG_NXTSIB, Real),   PM_FIELD(R, MSG_FSTCHD, Real),   PM_FIELD(R, MSG_THRDID, Real),
         PM_FIELD(R, MSG_SECTNO, String), PM_FIELD(R, MSG_SECT, String),   PM_FIELD(R, MSG_TEXT_PTR, Long),
         PM_FIELD(R, MSG_FLAGS, String),  PM_FIELD(R, MSG_SEQ, Real),      PM_FIELD(R, MSG_ISFROM, String),
         PM_FIELD(R, MSG_ISTO, String),   PM_FIELD(R, MSG_TAGGED, String), PM_FIELD(R, MSG_MARKED, String),
         PM_FIELD(R, MSG_UNREAD, String), PM_FIELD(R, MSG_ISROOT, String)},
        {{"MSG_TEXT", kDBaseMemoBytes}}, {});
    return def;
}

const TableDef& CMADef() {
    using R = CMARecord;
    static const TableDef def = makeTableDef(
        21, "CMA", "CMA", Location::Ext, StorageClass::DBase, sizeof(R), true,
        {PM_FIELD(R, MSG_NUMBER, String),   PM_FIELD(R, MSG_DATE, DbDate),      PM_FIELD(R, MSG_TIME, String),
         PM_FIELD(R, MSG_SUBJEC, String),   PM_FIELD(R, MSG_SENDER, String),    PM_FIELD(R, MSG_SENDID_PTR, Long),
         PM_FIELD(R, MSG_RECVR, String),    PM_FIELD(R, MSG_RECVID_PTR, Long),  PM_FIELD(R, MSG_PARENT, String),
         PM_FIELD(R, MSG_TEXT_PTR, Long),   PM_FIELD(R, MSG_FLAGS, String),     PM_FIELD(R, MSG_SEQ, Real),
         PM_FIELD(R, MSG_ISFROM, String),   PM_FIELD(R, MSG_ISTO, String),      PM_FIELD(R, MSG_TAGGED, String),
         PM_FIELD(R, MSG_MARKED, String),   PM_FIELD(R, MSG_UNREAD, String)},
        {{"MSG_SENDID", kDBaseMemoBytes}, {"MSG_RECVID", kDBaseMemoBytes}, {"MSG_TEXT", kDBaseMemoBytes}},
        {});
    return def;
}

const TableDef& OUIDef() {
    using R = OUIRecord;
    static const TableDef def = makeTableDef(
        40, "OUI", "OUI", Location::Ext, StorageClass::DBase, sizeof(R), true,
        {PM_FIELD(R, IDENTIFIER, String),  PM_FIELD(R, INSTANCE, Real),       PM_FIELD(R, READ, String),
         PM_FIELD(R, MSG_NUMBER, String),  PM_FIELD(R, MSG_PARENT, String),   PM_FIELD(R, ID_TOPMOST, String),
         PM_FIELD(R, SECT_NUMB, Real),     PM_FIELD(R, SECT_NAME, String),    PM_FIELD(R, SUBJECT, String),
         PM_FIELD(R, SESSION, Real),       PM_FIELD(R, REPLIES, String),      PM_FIELD(R, PARENT, String),
         PM_FIELD(R, REPLY_NUM, Real),     PM_FIELD(R, KEEP, String),         PM_FIELD(R, DELETE, String),
         PM_FIELD(R, MSG_DATE, DbDate),    PM_FIELD(R, MSG_TIME, String),     PM_FIELD(R, MSG_ZONE, String),
         PM_FIELD(R, RECV_DATE, DbDate),   PM_FIELD(R, RECV_TIME, String),    PM_FIELD(R, STATUS, Real),
         PM_FIELD(R, NETWORK, String),     PM_FIELD(R, EXTRA, Real),          PM_FIELD(R, RECV_IDPAR, String),
         PM_FIELD(R, RECV_ID_PTR, Long),   PM_FIELD(R, SEND_IDPAR, String),   PM_FIELD(R, SEND_ID_PTR, Long),
         PM_FIELD(R, MSG_BODY_PTR, Long),  PM_FIELD(R, MSG_EXTRA_PTR, Long),  PM_FIELD(R, MSG_ATTACH_PTR, Long)},
        {{"RECV_ID", kDBaseMemoBytes},
         {"SEND_ID", kDBaseMemoBytes},
         {"MSG_BODY", kDBaseMemoBytes},
         {"MSG_EXTRA", kDBaseMemoBytes},
         {"MSG_ATTACH", kDBaseMemoBytes}},
        {});
    return def;
}

// --- buffers and tables -------------------------------------------------------
namespace {
// A field of N blanks, built by the compiler.
template <std::size_t N>
constexpr FixedText<N> blankText() {
    FixedText<N> text{};
    for (char& c : text.bytes) c = ' ';
    return text;
}
}  // namespace

// The plain-file records are large (up to 64,000 bytes): they start out
// blank in the program image, so start-up touches none of their pages.
constinit DOSRecord DOS{blankText<10000>()};
Table DOSFile{DOSDef(), &DOS};
constinit TOCRecord TOC{blankText<10000>()};
Table TOCFile{TOCDef(), &TOC};
constinit ASCRecord ASC{blankText<64000>()};
Table ASCFile{ASCDef(), &ASC};
constinit EXPRecord EXP{blankText<64000>()};
Table EXPFile{EXPDef(), &EXP};
HREBuffer HRE;
Table HREFile{HREDef(), static_cast<HRERecord*>(&HRE), {&HRE.MSG_TEXT, &HRE.NAV_CODES, &HRE.GROUP_LIST}};
CCOBuffer CCO;
Table CCOFile{CCODef(), static_cast<CCORecord*>(&CCO), {&CCO.MSG_TEXT}};
CMABuffer CMA;
Table CMAFile{CMADef(), static_cast<CMARecord*>(&CMA), {&CMA.MSG_SENDID, &CMA.MSG_RECVID, &CMA.MSG_TEXT}};
OUIBuffer OUI;
Table OUIFile{OUIDef(), static_cast<OUIRecord*>(&OUI),
              {&OUI.RECV_ID, &OUI.SEND_ID, &OUI.MSG_BODY, &OUI.MSG_EXTRA, &OUI.MSG_ATTACH}};

namespace {
const records::ClearedAtStart cleared{&HREFile, &CCOFile, &CMAFile, &OUIFile};
}  // namespace

}  // namespace pm
