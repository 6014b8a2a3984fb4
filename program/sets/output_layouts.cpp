#include "sets/output_layouts.h"

#include <fmt/format.h>

#include "common/dates.h"
#include "common/utf8.h"

namespace pm {

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::string kDashes(64, '-');
constexpr const char* kMessageBanner = "         Message retrieved by Postmoor Message Archiver         ";
constexpr const char* kMailBanner = "         Mail retrieved by Postmoor Message Archiver            ";
constexpr const char* kCrLf = "\r\n";

std::string weekday(LONG day) {
    const int d = dayOfWeek(day);
    return d < 0 ? std::string("???") : kWeekdays[d];
}

std::string clock(LONG time, bool seconds) {
    const TimeOfDay t = timeOfDay(time);
    return seconds ? fmt::format("{:02}:{:02}:{:02}", t.hour, t.minute, t.second)
                   : fmt::format("{:02}:{:02}", t.hour, t.minute);
}

std::string joined(std::initializer_list<const std::string*> parts) {
    std::string out;
    for (const std::string* p : parts) {
        if (p->empty()) continue;
        if (!out.empty()) out += ' ';
        out += *p;
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    // A text ending in a line end has no line after it.
    if (!lines.empty() && lines.back().empty() && !text.empty() && text.back() == '\n') lines.pop_back();
    if (text.empty()) lines.clear();
    return lines;
}

// Byte offsets of the character starts of `line`, plus its end.
std::vector<std::size_t> characterStarts(const std::string& line) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < line.size(); at += decodeUtf8At(line, at).length) starts.push_back(at);
    starts.push_back(line.size());
    return starts;
}

void wrapLine(const std::string& line, std::size_t width, std::vector<std::string>& out) {
    std::string rest = line;
    for (;;) {
        const std::vector<std::size_t> starts = characterStarts(rest);
        if (starts.size() - 1 <= width) break;
        // The last blank among the first `width` characters.
        std::size_t cut = std::string::npos;
        for (std::size_t i = width; i-- > 0;)
            if (rest[starts[i]] == ' ') {
                cut = starts[i];
                break;
            }
        if (cut == std::string::npos || cut == 0) {
            out.push_back(rest.substr(0, starts[width]));
            rest = rest.substr(starts[width]);
        } else {
            out.push_back(rest.substr(0, cut));
            rest = rest.substr(cut + 1);
        }
    }
    out.push_back(rest);
}

bool mailboxLayout(OutputLayout layout) {
    return layout == OutputLayout::Eudora || layout == OutputLayout::UnixRfc822;
}

// ">From " quoting: a line of ">"s followed by "From " gets one ">" more.
std::string quotedFromLine(const std::string& line) {
    std::size_t n = 0;
    while (n < line.size() && line[n] == '>') ++n;
    return line.compare(n, 5, "From ") == 0 ? ">" + line : line;
}

std::vector<std::string> forumHeader(OutputLayout layout, const OutputMessage& m) {
    const std::string from = outputPersonText(m.sender, m.type);
    const std::string to = outputPersonText(m.receiver, m.type);
    const std::string numberLine = fmt::format("#: {} S{}/{}", m.number, m.sectionNumber, m.sectionName);
    const std::string dateLine = "    " + dashDate(m.date) + " 00:00:00 ";
    if (layout == OutputLayout::OzWin2) {
        const std::string parent = m.parent ? std::to_string(m.parent) : std::string();
        return {numberLine + "  (CIS:" + m.databaseName + ")",
                dateLine,
                "Sb: " + m.subject,
                "Fm: " + from,
                "To: " + to,
                fmt::format("Replies:      TID:           Par:{:<11}Chd:           Sib:", parent)};
    }
    const std::string subject = m.parent ? fmt::format("#{}-{}", m.parent, m.subject) : m.subject;
    return {numberLine + "  [" + m.databaseName + "]", dateLine, "Sb: " + subject, "Fm: " + from, "To: " + to};
}

// A mail person as the navigators wrote one: the name, then a CompuServe
// identifier as it stands or an Internet address after ">INTERNET:", so
// that their readers split name and address again ("Name <address>" would
// leave the brackets in the address).
std::string navigatorPersonText(const OutputPerson& p) {
    const std::string name = joined({&p.firstName, &p.lastName});
    if (p.address.empty()) return name;
    const std::string address = p.address.find('@') != std::string::npos ? ">INTERNET:" + p.address : p.address;
    return name.empty() ? address : name + " " + address;
}

std::vector<std::string> mailHeader(OutputLayout layout, const OutputMessage& m) {
    const bool navigator = layout == OutputLayout::Tapcis || layout == OutputLayout::OzWin2;
    const std::string from = navigator ? navigatorPersonText(m.sender) : outputPersonText(m.sender, m.type);
    const std::string to = navigator ? navigatorPersonText(m.receiver) : outputPersonText(m.receiver, m.type);
    switch (layout) {
        case OutputLayout::Tapcis:
            // The date in the column TAPCIS itself writes it (after four blanks).
            return {fmt::format("#: {} S0/CompuServe Mail  [MAIL]", m.number),
                    "    " + dashDate(m.date) + "  " + clock(m.time, false), "Sb: " + m.subject, "Fm: " + from,
                    "To: " + to};
        case OutputLayout::OzWin2:
            if (m.sent)
                return {"Date:  " + dashDate(m.date) + " " + clock(m.time, false) + "  MsgID: OUTBOX", "MgTo:  " + to,
                        "Subj:  " + m.subject};
            return {"Date:  " + dashDate(m.date) + " " + clock(m.time, false) + "  MsgID:             ToID: ",
                    "From:  " + from, "Subj:  " + m.subject,
                    "Chrg:          Imp:        Sens:        Receipt:       Parts:"};
        case OutputLayout::Eudora:
            return {mailboxSeparator(m.date, m.time), "To: " + to, "From: " + from, "Subject: " + m.subject};
        case OutputLayout::UnixRfc822:
            return {mailboxSeparator(m.date, m.time),
                    "Date: " + weekday(m.date) + ", " + dashDate(m.date) + " " + clock(m.time, true), "From: " + from,
                    "To: " + to, "Subject: " + m.subject};
    }
    return {};
}

std::vector<std::string> newsHeader(const OutputMessage& m) {
    std::vector<std::string> lines = {mailboxSeparator(m.date, 0),
                                      "From: " + outputPersonText(m.sender, m.type),
                                      "Newsgroups: " + m.sectionName,
                                      "Date: " + dashDate(m.date, true) + " 00:00:00",
                                      "Subject: " + m.subject,
                                      "Message-ID: " + m.messageId};
    if (m.parent != 0 && !m.parentId.empty()) lines.push_back("References: " + m.parentId);
    return lines;
}

}  // namespace

const char* outputLayoutName(OutputLayout layout) {
    switch (layout) {
        case OutputLayout::Tapcis: return "TAPCIS";
        case OutputLayout::Eudora: return "Eudora";
        case OutputLayout::UnixRfc822: return "Unix RFC822";
        case OutputLayout::OzWin2: return "OzWin II";
    }
    return "";
}

std::string dashDate(LONG day, bool fourDigitYear) {
    const CalendarDate d = calendarDate(day);
    if (d.year == 0) return fourDigitYear ? "00-?\?\?-0000" : "00-?\?\?-00";
    return fourDigitYear ? fmt::format("{:02}-{}-{:04}", d.day, kMonths[d.month - 1], d.year)
                         : fmt::format("{:02}-{}-{:02}", d.day, kMonths[d.month - 1], d.year % 100);
}

std::string mailboxSeparator(LONG day, LONG time) {
    const CalendarDate d = calendarDate(day);
    const char* month = d.year == 0 ? "???" : kMonths[d.month - 1];
    return fmt::format("From ???@??? {} {} {:02} {} {:04}", weekday(day), month, d.day, clock(time, true), d.year);
}

std::string outputPersonText(const OutputPerson& p, BYTE type) {
    if (type == TypeForum) {
        if (p.lastName.empty()) return p.address;
        return joined({&p.firstName, &p.lastName, &p.address});
    }
    const std::string name = joined({&p.firstName, &p.lastName});
    if (p.address.empty()) return name;
    return name.empty() ? "<" + p.address + ">" : name + " <" + p.address + ">";
}

std::vector<std::string> plainHeaderLines(const OutputMessage& m) {
    const std::string from = outputPersonText(m.sender, m.type);
    const std::string to = outputPersonText(m.receiver, m.type);
    if (m.type == TypeMail)
        return {"From: " + from, "Date: " + weekday(m.date) + ", " + dashDate(m.date) + " " + clock(m.time, true),
                "Subject: " + m.subject, "To: " + to};
    if (m.type == TypeNewsgroup) {
        std::vector<std::string> lines = {" From: " + from, " Newsgroups: " + m.sectionName,
                                          " Date: " + dashDate(m.date, true) + " 00:00:00", " Subject: " + m.subject,
                                          " Message-ID: " + m.messageId};
        if (m.parent != 0 && !m.parentId.empty()) lines.push_back(" References: " + m.parentId);
        return lines;
    }
    std::string number = "MsgNo: " + std::to_string(m.number);
    if (m.parent != 0) number += " (reply to " + std::to_string(m.parent) + ")";
    return {"Subject: " + m.subject, "From: " + from, "To: " + to, "Date: " + dashDate(m.date),
            "Forum: " + m.databaseName, number};
}

std::vector<std::string> layoutHeaderLines(OutputLayout layout, const OutputMessage& m) {
    if (m.type == TypeNewsgroup) return newsHeader(m);
    if (m.type == TypeMail) return mailHeader(layout, m);
    return forumHeader(layout, m);
}

std::vector<std::string> outputTextLines(const std::string& text, const OutputStyle& style) {
    std::vector<std::string> lines = splitLines(text);
    if (!style.rewrap) return lines;
    const std::size_t width = style.lineWidth > 0 ? static_cast<std::size_t>(style.lineWidth) : 78;
    std::vector<std::string> out;
    for (const std::string& line : lines) wrapLine(line, width, out);
    return out;
}

std::string plainCopy(const OutputMessage& m, const OutputStyle& style) {
    std::string out;
    auto line = [&](const std::string& text) { out += text + kCrLf; };
    line(kDashes);
    line(m.type == TypeMail ? kMailBanner : kMessageBanner);
    line(kDashes);
    for (const std::string& h : plainHeaderLines(m)) line(h);
    line(kDashes);
    for (const std::string& t : outputTextLines(m.text, style)) line(t);
    line(kDashes);
    line(std::string(26, ' ') + "End Of Quote" + std::string(26, ' '));
    line("");
    return out;
}

OutputCodePage layoutCodePage(OutputLayout layout) {
    switch (layout) {
        case OutputLayout::Tapcis: return OutputCodePage::Cp850;
        case OutputLayout::OzWin2: return OutputCodePage::Windows1252;
        default: return OutputCodePage::Utf8;
    }
}

std::string layoutBlock(OutputLayout layout, const OutputMessage& m, const OutputStyle& style) {
    std::string out;
    for (const std::string& h : layoutHeaderLines(layout, m)) out += h + kCrLf;
    out += kCrLf;
    const bool quote = mailboxLayout(layout) || m.type == TypeNewsgroup;
    for (const std::string& t : outputTextLines(m.text, style)) out += (quote ? quotedFromLine(t) : t) + kCrLf;
    out += kCrLf;
    return encodeOutput(out, layoutCodePage(layout));
}

}  // namespace pm
