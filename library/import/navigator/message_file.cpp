#include "import/navigator/message_file.h"

#include "common/dates.h"
#include "import/capture/capture_fields.h"
#include "import/capture/capture_output.h"
#include "import/capture/layout_codes.h"
#include "import/internet/line_queue.h"

namespace pm::navigator {

namespace {

constexpr std::string_view kSignature("VIS000\0", 7);
constexpr std::size_t kHeaderLengthAt = 7;
constexpr std::size_t kAfterKind = 10;
// Characters kept of most strings, and of names and addresses of receivers.
constexpr std::size_t kKept = 50;
constexpr std::size_t kNameKept = 40;
constexpr std::size_t kAddressKept = 60;
constexpr std::size_t kMaxBodyBytes = 63998;
constexpr unsigned kListEnd = 4;
constexpr unsigned kFurtherLists = 3;

enum Kind : unsigned { KindMail = 1, KindForum = 2, KindForumSecond = 3 };

std::string text(FieldReader& r, const char* codePage, std::size_t keep = kKept) {
    return capture::fieldText(r.string(keep), codePage);
}

LONG threeByteTime(FieldReader& r) {
    const unsigned seconds = r.byte(), minutes = r.byte(), hours = r.byte();
    const LONG t = timeOf(static_cast<int>(hours), static_cast<int>(minutes), static_cast<int>(seconds));
    return t < 0 ? 0 : t;
}

LONG readDate(FieldReader& r) {
    const unsigned day = r.byte(), month = r.byte(), year = r.byte();
    return threeByteDate(day, month, year);
}

bool readMail(FieldReader& r, const char* codePage, NavigatorMessage& m) {
    m.mail = true;
    r.skip(16);
    r.string(kKept);  // the folder
    r.string(kNameKept);  // the owner's name and address as the file knows them
    r.string(kAddressKept);
    r.string(kKept);
    r.word();
    m.time = threeByteTime(r);
    m.date = readDate(r);
    r.skip(6);
    m.subject = withoutCopyPrefix(text(r, codePage));
    m.senderName = text(r, codePage);
    m.senderAddress = normalisedAddress(text(r, codePage, kAddressKept));
    m.recipients = readRecipientLists(r, codePage);
    if (!r.ok()) return false;
    m.text = storedBodyText(r.rest(), true, codePage);
    return true;
}

bool readForum(FieldReader& r, std::size_t headerLength, const char* codePage, NavigatorMessage& m) {
    r.skip(headerLength - 1);
    const std::size_t block = r.word();
    const std::size_t blockStart = r.position();
    r.skip(4);
    m.date = readDate(r);
    r.skip(6);
    m.subject = text(r, codePage);
    m.senderName = text(r, codePage);
    m.senderAddress = text(r, codePage);
    r.byte();
    m.receiverName = text(r, codePage);
    m.receiverAddress = text(r, codePage);
    r.skip(4);
    r.seek(blockStart + block);
    r.skip(2);
    m.number = r.dword();
    m.reference = r.dword();
    r.skip(8 + 1);
    m.section = r.byte();
    m.sectionName = text(r, codePage);
    m.forum = withoutServicePrefix(text(r, codePage));
    r.byte();
    r.dword();
    r.dword();  // the text's length; the text runs to the end of the file
    r.skip(r.byte());
    if (!r.ok()) return false;
    m.text = storedBodyText(r.rest(), false, codePage);
    return true;
}

bool readForumSecondLayout(FieldReader& r, std::size_t headerLength, const char* codePage, NavigatorMessage& m) {
    r.skip(headerLength - 1);
    r.skip(2);
    m.section = r.byte();
    m.forum = withoutServicePrefix(text(r, codePage));
    r.dword();
    m.sectionName = text(r, codePage);
    r.skip(r.byte());
    const std::size_t length = r.word();
    m.subject = text(r, codePage);
    r.skip(4);
    if (!r.ok()) return false;
    const std::string_view rest = r.rest();
    m.text = storedBodyText(rest.substr(0, length), false, codePage);
    m.checkRegister = false;
    return true;
}

void readList(FieldReader& r, const char* codePage, const char* kind, std::vector<MailRecipient>& out) {
    const unsigned count = r.byte();
    for (unsigned i = 0; i < count && r.ok(); ++i) {
        MailRecipient entry;
        entry.name = text(r, codePage, kNameKept);
        entry.address = text(r, codePage, kAddressKept);
        entry.kind = kind;
        if (r.ok()) out.push_back(std::move(entry));
    }
}

}  // namespace

LONG threeByteDate(unsigned day, unsigned month, unsigned yearsAfter1970) {
    return dayNumber(1970 + static_cast<int>(yearsAfter1970), static_cast<int>(month), static_cast<int>(day));
}

std::vector<MailRecipient> readRecipientLists(FieldReader& r, const char* codePage) {
    static const char* const kinds[] = {"TO", "CC", "BC"};
    std::vector<MailRecipient> list;
    readList(r, codePage, "TO", list);
    for (unsigned n = 0; n < kFurtherLists && r.ok() && r.remaining() > 0; ++n) {
        const std::size_t before = r.position();
        const unsigned kind = r.byte();
        if (kind == kListEnd) break;
        if (kind < 1 || kind > 3) {
            // No list here: what follows is the text.
            r.seek(before);
            break;
        }
        readList(r, codePage, kinds[kind - 1], list);
    }
    return list;
}

std::string storedBodyText(std::string_view bytes, bool mail, const char* codePage) {
    if (bytes.size() > kMaxBodyBytes) bytes = bytes.substr(0, kMaxBodyBytes);
    if (bytes.substr(0, 2) == "@l") bytes.remove_prefix(2);
    inet::LineQueue queue;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        const bool last = end == std::string_view::npos;
        if (last) end = bytes.size();
        const std::string_view stored = bytes.substr(start, end - start);
        if (!(last && stored.empty()))
            for (const std::string& line : capture::splitStoredLine(stored)) queue.push(line);
        if (last) break;
        start = end + 2;
    }
    return capture::captureBodyText(queue, 1, queue.size(), mail, codePage);
}

MessageFileRead readMessageFile(std::string_view bytes, const char* codePage, NavigatorMessage& m) {
    if (bytes.substr(0, kSignature.size()) != kSignature) return MessageFileRead::NotMessageFile;
    FieldReader r(bytes, kHeaderLengthAt);
    const std::size_t headerLength = r.word();
    const unsigned kind = r.byte();
    if (!r.ok()) return MessageFileRead::Damaged;
    m = NavigatorMessage{};
    r.seek(kAfterKind);
    bool read = false;
    switch (kind) {
        case KindMail: read = readMail(r, codePage, m); break;
        case KindForum: read = headerLength >= 1 && readForum(r, headerLength, codePage, m); break;
        case KindForumSecond: read = headerLength >= 1 && readForumSecondLayout(r, headerLength, codePage, m); break;
        default: return MessageFileRead::UnknownKind;
    }
    return read ? MessageFileRead::Read : MessageFileRead::Damaged;
}

}  // namespace pm::navigator
