#include "import/navigator/cabinet_record.h"

#include "common/dates.h"
#include "common/text.h"
#include "import/capture/capture_fields.h"
#include "import/capture/capture_parties.h"
#include "import/navigator/field_reader.h"
#include "import/navigator/message_file.h"

namespace pm::navigator {

namespace {

constexpr const char* kCodePage = "windows-1252";
constexpr std::size_t kShortestRecord = 112;
constexpr std::size_t kKept = 75;
constexpr std::size_t kStringsNeed = 50;
enum Kind : unsigned { KindForum = 2, KindMail = 9 };

std::string text(FieldReader& r) { return capture::fieldText(r.string(kKept), kCodePage); }

void readDateTime(std::uint32_t word, NavigatorMessage& m) {
    const unsigned time = word & 0xFFFF, date = word >> 16;
    const LONG t =
        timeOf(static_cast<int>(time >> 11), static_cast<int>((time >> 5) & 0x3F), static_cast<int>((time & 0x1F) * 2));
    m.time = t < 0 ? 0 : t;
    m.date = dayNumber(1970 + static_cast<int>(date >> 9), static_cast<int>((date >> 5) & 0x0F),
                       static_cast<int>(date & 0x1F));
}

void readForum(FieldReader& r, NavigatorMessage& m) {
    m.forum = withoutServicePrefix(m.forum);
    r.skip(2);
    r.string(kKept);
    m.section = r.byte();
    r.skip(4);
    capture::splitForumParty(capture::partyText(r.string(kKept), kCodePage), m.receiverAddress, m.receiverName);
    r.skip(4);
    m.number = r.dword();
    m.reference = r.dword();
    r.skip(10);
    const std::size_t length = r.dword();
    if (r.ok() && length <= r.remaining()) m.text = storedBodyText(r.bytes(length), false, kCodePage);
}

void readMail(FieldReader& r, NavigatorMessage& m) {
    m.mail = true;
    m.subject = withoutCopyPrefix(m.subject);
    std::string address = m.senderAddress;
    if (startsWithCaseless(address, "INTERNET:")) address.erase(0, 9);
    m.senderAddress = normalisedAddress(address);
    // Mail without a sender address was written by the owner.
    m.sentByOwner = m.senderAddress.empty();
    m.recipients = readRecipientLists(r, kCodePage);
    m.text = storedBodyText(r.rest(), true, kCodePage);
}

}  // namespace

CabinetRecord readCabinetRecord(std::string_view record, NavigatorMessage& m) {
    if (record.size() < kShortestRecord) return CabinetRecord::Ignored;
    FieldReader r(record);
    r.skip(10);
    if (r.byte() != 0) return CabinetRecord::Ignored;
    r.skip(1);
    r.byte();
    r.skip(32);
    r.skip(31 + 52 + 9);
    const unsigned kind = r.byte();
    r.skip(4);
    const std::uint32_t when = r.dword();
    r.skip(4);
    if (!r.ok()) return CabinetRecord::Ignored;
    if (kind != KindForum && kind != KindMail) return CabinetRecord::UnknownKind;
    m = NavigatorMessage{};
    readDateTime(when, m);
    if (r.remaining() >= kStringsNeed) {
        m.subject = text(r);
        m.senderName = text(r);
        m.senderAddress = text(r);
        m.sectionName = text(r);
        m.forum = text(r);
        r.string(1);
        r.string(1);
    }
    if (kind == KindForum) readForum(r, m);
    else readMail(r, m);
    return CabinetRecord::Message;
}

}  // namespace pm::navigator
