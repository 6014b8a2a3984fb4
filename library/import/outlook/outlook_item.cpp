// Mail items of the session: their properties, recipients and replies.
#include <vector>

#include "common/fixed_text.h"
#include "common/text.h"
#include "import/internet/address_split.h"
#include "import/internet/charset.h"
#include "import/internet/html_to_text.h"
#include "import/outlook/outlook_item_handle.h"

namespace pm::outlook {

namespace {

// Bodies larger than this are not read at all (a damaged size).
constexpr std::size_t kLargestBody = 64 * 1024 * 1024;
// A stored subject may begin with a marker byte and the length of its prefix.
constexpr char kSubjectPrefixMarker = '\x01';

// The charset name of a Windows code page identifier (as messages declare
// their Internet code page); "" when it names none this reader knows.
std::string charsetOfCodePage(std::uint32_t codePage) {
    switch (codePage) {
        case 65001: return "utf-8";
        case 20127: return "us-ascii";
        case 20866: return "koi8-r";
        case 21866: return "koi8-u";
        case 932: return "shift_jis";
        case 936: return "gbk";
        case 949: return "euc-kr";
        case 950: return "big5";
        case 50220: case 50221: case 50222: return "iso-2022-jp";
        case 51932: return "euc-jp";
        default: break;
    }
    if (codePage >= 1250 && codePage <= 1258) return "windows-" + std::to_string(codePage);
    if (codePage >= 28591 && codePage <= 28606) return "iso-8859-" + std::to_string(codePage - 28590);
    return {};
}

using BodySize = int (*)(libpff_item_t*, std::size_t*, libpff_error_t**);
using BodyRead = int (*)(libpff_item_t*, std::uint8_t*, std::size_t, libpff_error_t**);

// One of the message's bodies as stored; nullopt when it has none.
std::optional<std::string> storedBody(libpff_item_t* message, BodySize sizeOf, BodyRead read) {
    pff::Error e;
    std::size_t size = 0;
    if (sizeOf(message, &size, e.out()) != 1 || size == 0 || size > kLargestBody) return std::nullopt;
    std::string body(size, '\0');
    if (read(message, reinterpret_cast<std::uint8_t*>(body.data()), size, e.out()) != 1) return std::nullopt;
    while (!body.empty() && body.back() == '\0') body.pop_back();
    return body;
}

std::optional<DateTime> messageTime(libpff_item_t* message,
                                    int (*read)(libpff_item_t*, std::uint64_t*, libpff_error_t**)) {
    if (!message) return std::nullopt;
    pff::Error e;
    std::uint64_t fileTime = 0;
    if (read(message, &fileTime, e.out()) != 1) return std::nullopt;
    return localTimeOf(fileTime);
}

// An Exchange address ("/O=.../CN=...") is no address to write to: the
// SMTP address stands for it when the item holds one.
std::optional<std::string> usableAddress(const std::optional<std::string>& type,
                                         const std::optional<std::string>& address,
                                         const std::optional<std::string>& smtp) {
    const bool exchange = (type && *type == "EX") || (address && !address->empty() && address->front() == '/');
    if (smtp && !smtp->empty() && (exchange || !address || address->empty())) return smtp;
    if (address && !address->empty()) return address;
    return std::nullopt;
}

bool present(const std::optional<std::string>& s) { return s && !s->empty(); }

// The first "From:" or "Reply-To:" line of transport headers, split.
std::optional<Recipient> headerSender(const std::string& headers) {
    std::string from, replyTo;
    std::size_t at = 0;
    while (at < headers.size()) {
        std::size_t end = headers.find('\n', at);
        if (end == std::string::npos) end = headers.size();
        std::string line = headers.substr(at, end - at);
        at = end + 1;
        while (at < headers.size() && (headers[at] == ' ' || headers[at] == '\t')) {
            end = headers.find('\n', at);
            if (end == std::string::npos) end = headers.size();
            line += headers.substr(at, end - at);
            at = end + 1;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) break;  // the end of the header
        if (replyTo.empty() && startsWithCaseless(line, "Reply-To:")) replyTo = line.substr(9);
        if (from.empty() && startsWithCaseless(line, "From:")) from = line.substr(5);
    }
    const std::string& text = replyTo.empty() ? from : replyTo;
    if (text.empty()) return std::nullopt;
    const inet::AddressParts parts = inet::splitAddress(text);
    if (parts.address.empty() && parts.name.empty()) return std::nullopt;
    return Recipient{ToRecipient, parts.address, parts.name.empty() ? parts.address : parts.name};
}

}  // namespace

MailItem::MailItem(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

MailItem::MailItem(std::vector<Recipient> replyRecipients) : replyRecipients_(std::move(replyRecipients)) {}

MailItem::~MailItem() = default;

std::optional<std::string> MailItem::subject() const {
    if (!handle_) return std::nullopt;
    std::optional<std::string> subject = pff::messageString(handle_->message.get(), pff::TagSubject);
    if (subject && subject->size() >= 2 && (*subject)[0] == kSubjectPrefixMarker) subject->erase(0, 2);
    return subject;
}

std::optional<std::string> MailItem::to() const {
    if (!handle_) return std::nullopt;
    return pff::messageString(handle_->message.get(), pff::TagDisplayTo);
}

std::optional<std::string> MailItem::senderName() const {
    if (!handle_) return std::nullopt;
    std::optional<std::string> name = pff::messageString(handle_->message.get(), pff::TagSenderName);
    if (!present(name)) name = pff::messageString(handle_->message.get(), pff::TagSentRepresentingName);
    return name;
}

std::optional<std::string> bodyText(const std::optional<std::string>& text, const std::optional<std::string>& html,
                                    std::uint32_t codePage, const std::optional<std::string>& rtf,
                                    std::size_t maxBytes) {
    std::optional<std::string> body = text;
    if (!present(body)) {
        if (html)
            body = inet::htmlToText(inet::toUtf8(*html, charsetOfCodePage(codePage)));
        else if (rtf)
            body = rtfToText(*rtf);
    }
    if (body && body->size() > maxBytes) body->resize(utf8FitLength(*body, maxBytes));
    return body;
}

std::optional<std::string> MailItem::body(std::size_t maxBytes) const {
    if (!handle_) return std::nullopt;
    libpff_item_t* message = handle_->message.get();
    const std::optional<std::string> text =
        storedBody(message, pff::api().message_get_plain_text_body_size, pff::api().message_get_plain_text_body);
    if (present(text)) return bodyText(text, std::nullopt, 0, std::nullopt, maxBytes);
    const std::optional<std::string> html =
        storedBody(message, pff::api().message_get_html_body_size, pff::api().message_get_html_body);
    const std::optional<std::string> rtf =
        html ? std::nullopt : storedBody(message, pff::api().message_get_rtf_body_size, pff::api().message_get_rtf_body);
    return bodyText(text, html, pff::itemNumber(message, 0, pff::TagInternetCodePage).value_or(0), rtf, maxBytes);
}

std::optional<DateTime> MailItem::creationTime() const {
    return handle_ ? messageTime(handle_->message.get(), pff::api().message_get_creation_time) : std::nullopt;
}

std::optional<DateTime> MailItem::sentOn() const {
    return handle_ ? messageTime(handle_->message.get(), pff::api().message_get_client_submit_time) : std::nullopt;
}

std::optional<DateTime> MailItem::receivedTime() const {
    return handle_ ? messageTime(handle_->message.get(), pff::api().message_get_delivery_time) : std::nullopt;
}

std::vector<Recipient> MailItem::recipients() const {
    if (!handle_) return replyRecipients_;
    std::vector<Recipient> list;
    pff::Error e;
    pff::Item table;
    if (pff::api().message_get_recipients(handle_->message.get(), table.out(), e.out()) != 1 || !table) return list;
    int count = 0;
    if (pff::api().item_get_number_of_record_sets(table.get(), &count, e.out()) != 1) return list;
    for (int i = 0; i < count; ++i) {
        Recipient r;
        if (std::optional<std::uint32_t> type = pff::itemNumber(table.get(), i, pff::TagRecipientType))
            r.type = static_cast<int>(*type & 0x0F);  // the high bits are flags
        r.name = pff::itemString(table.get(), i, pff::TagDisplayName);
        r.address = usableAddress(pff::itemString(table.get(), i, pff::TagAddressType),
                                  pff::itemString(table.get(), i, pff::TagEmailAddress),
                                  pff::itemString(table.get(), i, pff::TagSmtpAddress));
        list.push_back(std::move(r));
    }
    return list;
}

std::unique_ptr<MailItem> MailItem::reply() const {
    if (!handle_) return nullptr;
    libpff_item_t* m = handle_->message.get();
    std::optional<std::string> smtp = pff::messageString(m, pff::TagSentRepresentingSmtpAddress);
    if (!present(smtp)) smtp = pff::messageString(m, pff::TagSenderSmtpAddress);
    Recipient to{ToRecipient, std::nullopt, pff::messageString(m, pff::TagSentRepresentingName)};
    to.address = usableAddress(pff::messageString(m, pff::TagSentRepresentingAddressType),
                               pff::messageString(m, pff::TagSentRepresentingEmail), smtp);
    if (!present(to.name)) to.name = pff::messageString(m, pff::TagSenderName);
    if (!present(to.address))
        to.address = usableAddress(pff::messageString(m, pff::TagSenderAddressType),
                                   pff::messageString(m, pff::TagSenderEmail), smtp);
    // An Exchange sender who is among the receivers too has an Internet
    // address there.
    if (present(to.address) && to.address->front() == '/' && present(to.name))
        for (const Recipient& r : recipients())
            if (r.name == to.name && present(r.address) && r.address->front() != '/') {
                to.address = r.address;
                break;
            }
    std::vector<Recipient> recipients;
    if (present(to.name) || present(to.address)) {
        if (!present(to.name)) to.name = to.address;
        recipients.push_back(std::move(to));
    } else if (std::optional<std::string> headers = pff::messageString(m, pff::TagTransportHeaders)) {
        if (std::optional<Recipient> sender = headerSender(*headers)) recipients.push_back(std::move(*sender));
    }
    return std::unique_ptr<MailItem>(new MailItem(std::move(recipients)));
}

}  // namespace pm::outlook
