#include "import/navigator/navigator_message.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "common/text.h"
#include "import/capture/capture_parties.h"
#include "import/driver/import_request.h"
#include "import/driver/work_files.h"
#include "import/internet/text_assembly.h"
#include "import/store/message_store.h"
#include "tables/records/scratch_tables.h"

namespace pm::navigator {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// A receiver as the store lists it, made fit for the work record: one pair
// of enclosing quotes removed from the name, a name that only repeats the
// address cleared, the address normalised.
MailRecipient cleaned(const MailRecipient& r) {
    MailRecipient out = r;
    std::string_view name = trimBlanks(r.name);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = trimBlanks(name.substr(1, name.size() - 2));
    out.name = std::string(name);
    if (equalsCaseless(out.name, trimBlanks(r.address))) out.name.clear();
    out.address = normalisedAddress(r.address);
    return out;
}

bool writeCarbonCopies(ParserCall& call, ULONG mailId, const std::vector<MailRecipient>& recipients) {
    for (const MailRecipient& r : recipients) {
        const MailRecipient c = cleaned(r);
        CCTRecord copy{};
        copy.MAILID = mailId;
        copy.R_NAME = c.name;
        copy.R_CISADRESS = c.address;
        copy.RECIPTYPE = c.kind.empty() ? std::string("TO") : c.kind;
        if (call.work->appendCarbonCopy(copy) == WorkWrite::Failed) return false;
    }
    return true;
}

void fillCommon(const NavigatorMessage& m, WorkRecord& record) {
    record.SECTIONNUMBER = static_cast<ULONG>(m.section);
    record.SEC_DESCRIPTION = m.sectionName;
    record.HEADING = m.subject;
    record.S_NAME = m.senderName;
    record.S_CISADRESS = m.senderAddress;
    record.R_NAME = m.receiverName;
    record.R_CISADRESS = m.receiverAddress;
    record.DATE = m.date;
    record.TIME = m.time;
    record.DUMMY = m.status;
}

}  // namespace

bool wantsKind(const ParserCall& call, bool mail) {
    return mail ? call.request->importMail != 0 : call.request->importForum != 0;
}

bool storeNavigatorMessage(ParserCall& call, NavigatorMessage& m, const capture::ImportRegister& imported) {
    if (!wantsKind(call, m.mail)) {
        capture::countSkipped(call);
        return true;
    }
    WorkRecord record;
    if (!m.mail) {
        record.FOR_DESCRIPTION = m.forum;
        record.MSGNUMBER = static_cast<ULONG>(m.number);
        record.REFNUMBER = static_cast<ULONG>(m.reference);
        if (record.MSGNUMBER == 0 && call.runningId) {
            // Messages without a number would all share number 0 in the work
            // file: each takes a reserved identifier there, and the store
            // numbers it by its content.
            record.MSGNUMBER = FirstNumberlessForumMessage + static_cast<ULONG>((*call.runningId)++);
            record.MAILTYPE = NumberlessForumMessage;
        }
        fillCommon(m, record);
        static const capture::ImportRegister unopened;
        if (!capture::acceptForumMessage(call, record, m.checkRegister ? imported : unopened)) {
            capture::countSkipped(call);
            return true;
        }
        return capture::appendCaptured(call, record, std::move(m.text));
    }

    if (m.receiverName.empty() && m.receiverAddress.empty() && !m.recipients.empty()) {
        const MailRecipient first = cleaned(m.recipients.front());
        m.receiverName = first.name;
        m.receiverAddress = first.address;
    }
    fillCommon(m, record);
    if (!capture::acceptMail(call, record)) {
        capture::countSkipped(call);
        return true;
    }
    if (m.sentByOwner || capture::isOwnerAddress(call, m.senderAddress))
        capture::setOwnerAsSender(call, record);
    else
        capture::setOwnerAsReceiver(call, record);
    if (!capture::appendCaptured(call, record, std::move(m.text))) return false;
    return m.recipients.size() < 2 || writeCarbonCopies(call, record.REFNUMBER, m.recipients);
}

std::string normalisedAddress(const std::string& address) {
    const std::string_view text = trimBlanks(address);
    // Empty, or an Exchange name ("/O=.../CN=..."), which is no text to split.
    if (text.empty() || text.front() == '/') return std::string(text);
    std::string found, name;
    capture::splitMailParty(text, found, name);
    // A lone word that is no address at all stays as it was written.
    return found.empty() ? std::string(text) : found;
}

std::string messageText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else if (c == '\t' || c >= 0x20) {
            // C1 controls (U+0080-U+009F, two bytes in UTF-8) hold no text.
            if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
                ++i;
                continue;
            }
            if (c != 0x7F) out += static_cast<char>(c);
        }
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    if (!out.empty()) out += "\r\n";
    inet::limitMessageText(out);
    return out;
}

std::string withoutCopyPrefix(std::string text) {
    if (text.rfind("Copy of:", 0) == 0) text.erase(0, std::min<std::size_t>(text.size(), 9));
    return text;
}

std::string withoutServicePrefix(std::string name) {
    if (startsWithCaseless(name, "CIS:")) name.erase(0, 4);
    return name;
}

}  // namespace pm::navigator
