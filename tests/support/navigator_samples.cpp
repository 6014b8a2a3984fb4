#include "support/navigator_samples.h"

namespace pm::test {

namespace {

class Bytes {
public:
    Bytes& u8(unsigned v) {
        s_ += static_cast<char>(v & 0xFF);
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& str(const std::string& text) {
        u8(static_cast<unsigned>(text.size()));
        s_ += text;
        return *this;
    }
    Bytes& zeros(std::size_t n) {
        s_.append(n, '\0');
        return *this;
    }
    Bytes& raw(const std::string& bytes) {
        s_ += bytes;
        return *this;
    }
    std::size_t size() const { return s_.size(); }
    const std::string& bytes() const { return s_; }

private:
    std::string s_;
};

const std::string kSignature("VIS000\0", 7);
constexpr unsigned kHeaderLength = 5;

Bytes& date(Bytes& b, const Moment& m) {
    return b.u8(static_cast<unsigned>(m.day))
        .u8(static_cast<unsigned>(m.month))
        .u8(static_cast<unsigned>(m.year - 1970));
}

Bytes& recipientLists(Bytes& b, const SampleMail& mail) {
    b.u8(static_cast<unsigned>(mail.to.size()));
    for (const Party& p : mail.to) b.str(p.name).str(p.address);
    const std::vector<Party>* further[] = {&mail.cc, &mail.bc};
    for (unsigned kind = 2; kind <= 3; ++kind) {
        const std::vector<Party>& list = *further[kind - 2];
        if (list.empty()) continue;
        b.u8(kind).u8(static_cast<unsigned>(list.size()));
        for (const Party& p : list) b.str(p.name).str(p.address);
    }
    return b.u8(4);
}

std::uint32_t dateTimeWord(const Moment& m) {
    const std::uint32_t time = (static_cast<std::uint32_t>(m.hour) << 11) |
                               (static_cast<std::uint32_t>(m.minute) << 5) | static_cast<std::uint32_t>(m.second / 2);
    const std::uint32_t day = (static_cast<std::uint32_t>(m.year - 1970) << 9) |
                              (static_cast<std::uint32_t>(m.month) << 5) | static_cast<std::uint32_t>(m.day);
    return (day << 16) | time;
}

Bytes cabinetHead(unsigned kind, const Moment& when) {
    Bytes b;
    b.raw("~CS~FCR~").zeros(2).u8(0).zeros(1).u8(7).zeros(32).zeros(31 + 52 + 9).u8(kind).zeros(4);
    b.u32(dateTimeWord(when)).zeros(4);
    return b;
}

}  // namespace

std::string messageFileBytes(const SampleForumMessage& m) {
    Bytes b;
    b.raw(kSignature).u16(kHeaderLength).u8(2).zeros(kHeaderLength - 1);
    Bytes block;
    block.zeros(4);
    date(block, m.when).zeros(6).str(m.subject).str(m.sender.name).str(m.sender.address).u8(0);
    block.str(m.receiver.name).str(m.receiver.address).zeros(4).zeros(3);
    b.u16(static_cast<unsigned>(block.size())).raw(block.bytes());
    b.zeros(2).u32(m.number).u32(m.reference).zeros(8).zeros(1).u8(static_cast<unsigned>(m.section));
    b.str(m.sectionName).str(m.forum).u8(0).u32(0).u32(static_cast<std::uint32_t>(m.text.size()));
    b.u8(2).zeros(2).raw(m.text);
    return b.bytes();
}

std::string secondLayoutBytes(const SampleForumMessage& m) {
    Bytes b;
    b.raw(kSignature).u16(kHeaderLength).u8(3).zeros(kHeaderLength - 1);
    b.zeros(2).u8(static_cast<unsigned>(m.section)).str(m.forum).u32(0).str(m.sectionName);
    b.u8(1).zeros(1).u16(static_cast<unsigned>(m.text.size())).str(m.subject).zeros(4).raw(m.text);
    return b.bytes();
}

std::string messageFileBytes(const SampleMail& m) {
    Bytes b;
    b.raw(kSignature).u16(kHeaderLength).u8(1).zeros(16);
    b.str("Inbox").str("Owner").str("70000,9").str("").u16(0);
    b.u8(static_cast<unsigned>(m.when.second))
        .u8(static_cast<unsigned>(m.when.minute))
        .u8(static_cast<unsigned>(m.when.hour));
    date(b, m.when).zeros(6).str(m.subject).str(m.sender.name).str(m.sender.address);
    recipientLists(b, m).raw(m.text);
    return b.bytes();
}

std::string cabinetRecordBytes(const SampleForumMessage& m) {
    Bytes b = cabinetHead(2, m.when);
    b.str(m.subject).str(m.sender.name).str(m.sender.address).str(m.sectionName).str(m.forum).str("x").str("y");
    b.zeros(2).str("").u8(static_cast<unsigned>(m.section)).zeros(4).str(m.receiver.name + " " + m.receiver.address);
    b.zeros(4).u32(m.number).u32(m.reference).zeros(10).u32(static_cast<std::uint32_t>(m.text.size())).raw(m.text);
    return b.bytes();
}

std::string cabinetRecordBytes(const SampleMail& m) {
    Bytes b = cabinetHead(9, m.when);
    b.str(m.subject).str(m.sender.name).str(m.sender.address).str("").str("").str("x").str("y");
    recipientLists(b, m).raw(m.text);
    return b.bytes();
}

std::string cabinetBytes(const std::vector<std::string>& records) {
    std::string file = "FCABINET" + std::string(120, '\0');
    for (const std::string& r : records) file += r;
    return file;
}

DbfTable navCisTable(std::vector<DbfRecord> rows) {
    DbfTable t;
    t.flavour = DbfFlavour::DBase3;
    t.columns = {{"FORUM_NAME", 'C', 20}, {"INTERNAL", 'N', 8},   {"SEC_NUMBER", 'N', 3}, {"SEC_NAME", 'C', 20},
                 {"SUBJECT", 'C', 60},    {"SEND_ID", 'C', 60},   {"SEND_NAME", 'C', 40}, {"RECV_ID", 'C', 60},
                 {"RECV_NAME", 'C', 40},  {"MSG_NUMBER", 'N', 8}, {"MSG_PARENT", 'N', 8}, {"RECEIVED", 'C', 1},
                 {"IS_PRIVATE", 'C', 1},  {"MSG_DATE", 'C', 10},  {"MSG_TIME", 'C', 10},  {"MSG_TEXT", 'M'}};
    t.records = std::move(rows);
    return t;
}

DbfRecord navCisForumRow(const std::string& forum, unsigned number, const std::string& subject,
                         const std::string& text) {
    return {{forum, "17", "2", "Hardware", subject, "70000,1", "Ann Smith", "70000,2", "Bob Jones",
             std::to_string(number), "0", "F", "F", "19-May-95", "", text}};
}

DbfRecord navCisMailRow(const std::string& subject, const std::string& time, const std::string& text) {
    return {{"MAIL", "0", "0", "", subject, "INTERNET:ann@example.com", "Ann Smith", "me@home.example", "Me", "0",
             "0", "T", "F", "20-May-95", time, text}};
}

DbfTable cisCommForumTable(std::vector<DbfRecord> rows) {
    DbfTable t;
    t.flavour = DbfFlavour::DBase4;
    t.columns = {{"MSG_NUMBER", 'C', 10}, {"MSG_DATE", 'D', 8},   {"MSG_TIME", 'C', 5},  {"MSG_SUBJEC", 'C', 24},
                 {"MSG_SENDER", 'C', 25}, {"MSG_SENDID", 'C', 11}, {"MSG_RECVR", 'C', 25}, {"MSG_RECVID", 'C', 11},
                 {"MSG_PARENT", 'C', 10}, {"MSG_SECTNO", 'C', 2},  {"MSG_SECT", 'C', 20},  {"MSG_TEXT", 'M'}};
    t.records = std::move(rows);
    return t;
}

DbfRecord cisCommForumRow(unsigned number, const std::string& subject, const std::string& text) {
    return {{std::to_string(number), "19950519", "10:22", subject, "Ann Smith", "70000,1", "Bob Jones", "70000,2",
             "", "4", "Software", text}};
}

DbfTable cisCommMailTable(std::vector<DbfRecord> rows) {
    DbfTable t;
    t.flavour = DbfFlavour::DBase4;
    t.columns = {{"MSG_NUMBER", 'C', 10}, {"MSG_DATE", 'D', 8},  {"MSG_TIME", 'C', 5},   {"MSG_SUBJEC", 'C', 40},
                 {"MSG_SENDER", 'C', 25}, {"MSG_SENDID", 'M'},   {"MSG_RECVR", 'C', 25}, {"MSG_RECVID", 'M'},
                 {"MSG_PARENT", 'C', 10}, {"MSG_TEXT", 'M'},     {"MSG_ISFROM", 'L', 1}};
    t.records = std::move(rows);
    return t;
}

DbfRecord cisCommMailRow(const std::string& subject, const std::string& senderId, bool fromOwner,
                         const std::string& text) {
    return {{"1", "19950521", "08:05", subject, "Ann Smith", senderId, "Me", "me@home.example", "", text,
             fromOwner ? "T" : "F"}};
}

DbfTable ouiTable(std::vector<DbfRecord> rows) {
    DbfTable t;
    t.flavour = DbfFlavour::FoxPro;
    t.memoBlockSize = 64;
    t.columns = {{"IDENTIFIER", 'C', 10}, {"MSG_NUMBER", 'C', 40}, {"MSG_PARENT", 'C', 40}, {"SECT_NUMB", 'N', 10},
                 {"SECT_NAME", 'C', 20},  {"SUBJECT", 'C', 80},    {"KEEP", 'C', 1},        {"DELETE", 'C', 1},
                 {"MSG_DATE", 'D', 8},    {"MSG_TIME", 'C', 14},   {"RECV_ID", 'M'},        {"SEND_ID", 'M'},
                 {"MSG_BODY", 'M'}};
    t.records = std::move(rows);
    return t;
}

DbfRecord ouiRow(const std::string& identifier, unsigned number, const std::string& subject, const std::string& sender,
                 const std::string& text) {
    return {{identifier, number ? std::to_string(number) : "", "", "5", "Networks", subject, "T", "F", "19950522",
             "14:07:09", "Me me@home.example", sender, text}};
}

}  // namespace pm::test
