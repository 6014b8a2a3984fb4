// Generates a mailbox of ordinary mail for the import benchmark, the same
// bytes for the same seed:
//
//   build/bench/mbox_corpus [--messages N] [--seed S] [--senders N] [--one-minute] OUT.mbox
//
// --one-minute dates every message in the same minute (a batch sent at once,
// or mail whose dates were lost): the case the duplicate test must keep fast.
//
// The mail is shaped like a real archive: about 2,000 senders with names and
// addresses, threads held together by Message-ID, In-Reply-To and References,
// dates running over the years, Received chains, replies quoting their
// parent, signatures, some multipart/alternative mail with an HTML part,
// quoted-printable Latin-1 text, Base64 UTF-8 text, attachments, encoded-word
// subjects, "From " lines in bodies escaped as ">From ", and a few messages
// delivered twice.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A small generator whose sequence does not depend on the library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    // 0 <= value < n
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
    // Skewed towards small values: a rough Zipf law over 0..n-1.
    unsigned skewed(unsigned n) {
        const double u = static_cast<double>(next() % 1000000) / 1000000.0;
        return static_cast<unsigned>(static_cast<double>(n) * u * u * u) % n;
    }

private:
    std::uint64_t state_;
};

const char* const kFirstNames[] = {"Anna", "Bert", "Carla", "David", "Elena", "Frank", "Greta", "Hans", "Ines", "Jonas",
                                   "Karin", "Lukas", "Maria", "Nils", "Olga", "Peter", "Quinn", "Rosa", "Stefan",
                                   "Tanja", "Uwe", "Vera", "Walter", "Xenia", "Yusuf", "Zoe", "André", "Jürgen",
                                   "Søren", "Zoë", "Mike", "Linda", "Paul", "Susan", "George", "Helen"};
const char* const kLastNames[] = {"Miller", "Schmidt", "Jones", "Novak", "Rossi", "Dubois", "Kowalski", "Jensen",
                                  "García", "Müller", "Smith", "Brown", "Taylor", "Wilson", "Meyer", "Weber", "Wagner",
                                  "Becker", "Hoffmann", "Klein", "Wolf", "Lange", "Fischer", "Baker", "Young", "King",
                                  "Wright", "Lopez", "Hill", "Scott", "Green", "Adams", "Nelson", "Carter", "Mitchell"};
const char* const kDomains[] = {"example.com", "mail.example.org", "uni-example.de", "corp.example.net",
                                "isp.example.co.uk", "lists.example.org", "example.fr", "post.example.at"};
const char* const kWords[] = {
    "the", "of", "and", "to", "a", "in", "is", "that", "for", "it", "as", "was", "with", "be", "by", "on", "not",
    "he", "this", "are", "or", "his", "from", "at", "which", "but", "have", "an", "they", "you", "were", "there",
    "one", "all", "we", "can", "her", "has", "been", "if", "more", "when", "will", "would", "who", "so", "no",
    "server", "kernel", "build", "release", "patch", "mailbox", "import", "index", "thread", "message", "database",
    "archive", "meeting", "tomorrow", "report", "budget", "project", "version", "problem", "solution", "config",
    "network", "printer", "driver", "update", "install", "compile", "error", "warning", "memory", "disk", "backup",
    "schedule", "customer", "invoice", "review", "draft", "proposal", "question", "answer", "thanks", "regards",
    "Linux", "Windows", "Debian", "Mozilla", "Apache", "Perl", "Python", "modem", "router", "firewall", "mirror",
    "weekend", "holiday", "conference", "workshop", "deadline", "coffee", "lunch", "office", "library", "station"};
const char* const kTopics[] = {"Kernel build fails on SMP", "Meeting next week", "Budget for the project",
                               "Printer driver update", "Release notes draft", "Backup schedule", "Mirror is down",
                               "Question about the config", "Conference travel", "New mailbox server",
                               "Patch for the import bug", "Holiday plans", "Invoice 2231", "Network outage",
                               "Workshop proposal", "Disk space on the archive", "Thread index is slow",
                               "Firewall rules", "Lunch on Friday", "Library opening hours"};
const char* const kLatin1Topics[] = {"=?ISO-8859-1?Q?Gr=FC=DFe_aus_M=FCnchen?=", "=?ISO-8859-1?Q?R=E9union_=E0_Paris?=",
                                     "=?iso-8859-1?Q?Caf=E9_am_Montag?="};
const char* const kUtf8Topics[] = {"=?UTF-8?B?w5xiZXIgZGllIEFyY2hpdmUtUmVnZWxu?=", "=?utf-8?B?U2Now7ZuZSBHcsO8w59l?=",
                                   "=?UTF-8?Q?Z=C3=BCrich_und_Gen=C3=A8ve?="};
const char* const kMailers[] = {"Mutt/1.2.5i", "Microsoft Outlook Express 5.50.4133.2400", "Pegasus Mail for Win32",
                                "Mozilla 4.7 [en] (WinNT; I)", "Evolution 1.0.8", "KMail [1.4.3]", "Eudora 5.1"};
const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

template <typename T, std::size_t N>
constexpr unsigned count(T (&)[N]) {
    return static_cast<unsigned>(N);
}

struct Sender {
    std::string name, address;
};

struct Sent {
    std::string messageId, references, subject, body;
    unsigned sender = 0;
};

struct Clock {
    long long seconds = 883612800;  // 1 January 1998
    void advance(Random& r) { seconds += 200 + r.below(5400); }
};

std::string twoDigits(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}

// An RFC 822 date for `seconds` since 1970 (UTC), shown in a zone.
std::string rfcDate(long long seconds, int zoneHours) {
    long long days = seconds / 86400;
    const long long rest = seconds % 86400;
    const int weekday = static_cast<int>((days + 4) % 7);
    // Civil date from days since 1970 (Howard Hinnant's algorithm).
    days += 719468;
    const long long era = days / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long year = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    if (month <= 2) ++year;
    char zone[8];
    std::snprintf(zone, sizeof zone, "%c%02d00", zoneHours < 0 ? '-' : '+', zoneHours < 0 ? -zoneHours : zoneHours);
    return std::string(kWeekdays[weekday]) + ", " + std::to_string(day) + " " + kMonths[month - 1] + " " +
           std::to_string(year) + " " + twoDigits(static_cast<int>(rest / 3600)) + ":" +
           twoDigits(static_cast<int>(rest % 3600 / 60)) + ":" + twoDigits(static_cast<int>(rest % 60)) + " " + zone;
}

std::string sentence(Random& r) {
    std::string s;
    const unsigned n = 5 + r.below(14);
    for (unsigned i = 0; i < n; ++i) {
        std::string w = kWords[r.skewed(count(kWords))];
        if (i == 0 && w[0] >= 'a' && w[0] <= 'z') w[0] = static_cast<char>(w[0] - 32);
        s += (i ? " " : "") + w;
    }
    return s + (r.chance(10) ? "?" : ".");
}

// Paragraphs wrapped at about 72 columns.
std::string paragraphs(Random& r, unsigned count) {
    std::string text;
    for (unsigned p = 0; p < count; ++p) {
        std::string line;
        const unsigned sentences = 1 + r.below(5);
        for (unsigned s = 0; s < sentences; ++s) {
            std::string words = sentence(r);
            std::size_t start = 0;
            while (start < words.size()) {
                std::size_t end = words.find(' ', start);
                if (end == std::string::npos) end = words.size();
                const std::string word = words.substr(start, end - start);
                if (!line.empty() && line.size() + word.size() + 1 > 72) {
                    text += line + "\n";
                    line.clear();
                }
                line += (line.empty() ? "" : " ") + word;
                start = end + 1;
            }
        }
        text += line + "\n";
        if (p + 1 < count) text += "\n";
    }
    return text;
}

std::string quoted(const std::string& body, unsigned maxLines) {
    std::string out;
    std::size_t start = 0;
    unsigned lines = 0;
    while (start < body.size() && lines < maxLines) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        const std::string line = body.substr(start, end - start);
        if (line == "-- ") break;
        out += (line.empty() || line[0] == '>' ? ">" : "> ") + line + "\n";
        ++lines;
        start = end + 1;
    }
    return out;
}

std::string base64(const std::string& bytes) {
    static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t column = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned b1 = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        const unsigned b2 = i + 2 < bytes.size() ? static_cast<unsigned char>(bytes[i + 2]) : 0;
        out += table[b0 >> 2];
        out += table[((b0 & 3) << 4) | (b1 >> 4)];
        out += i + 1 < bytes.size() ? table[((b1 & 15) << 2) | (b2 >> 6)] : '=';
        out += i + 2 < bytes.size() ? table[b2 & 63] : '=';
        column += 4;
        if (column >= 76) {
            out += "\n";
            column = 0;
        }
    }
    if (column) out += "\n";
    return out;
}

// Latin-1 text as quoted-printable, lines soft-broken at 76.
std::string quotedPrintable(const std::string& latin1) {
    std::string out, line;
    for (char ch : latin1) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            out += line + "\n";
            line.clear();
            continue;
        }
        std::string piece;
        if (c >= 128 || c == '=') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "=%02X", c);
            piece = hex;
        } else {
            piece = std::string(1, ch);
        }
        if (line.size() + piece.size() > 75) {
            out += line + "=\n";
            line.clear();
        }
        line += piece;
    }
    if (!line.empty()) out += line + "\n";
    return out;
}

// UTF-8 words of the text replaced by Latin-1 accents here and there.
std::string latin1Text(Random& r, unsigned paragraphsCount) {
    std::string text = paragraphs(r, paragraphsCount);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == 'e' && r.chance(8)) text[i] = static_cast<char>(0xE9);
        else if (text[i] == 'u' && r.chance(8)) text[i] = static_cast<char>(0xFC);
    // The generator writes ASCII words apart from the names: keep it Latin-1.
    return text;
}

std::string htmlOf(const std::string& text) {
    std::string html = "<html><body>\n<p>";
    for (char c : text) {
        if (c == '\n') html += "<br>\n";
        else if (c == '<') html += "&lt;";
        else if (c == '&') html += "&amp;";
        else html += c;
    }
    return html + "</p>\n</body></html>\n";
}

std::string binaryAttachment(Random& r, unsigned bytes) {
    std::string data(bytes, '\0');
    for (char& c : data) c = static_cast<char>(r.below(256));
    return data;
}

// ">From " for body lines that would read as separators.
std::string escapeFromLines(const std::string& body) {
    std::string out;
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size() - 1;
        if (body.compare(start, 5, "From ") == 0) out += ">";
        out.append(body, start, end - start + 1);
        start = end + 1;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    long messages = 100000;
    std::uint64_t seed = 1;
    unsigned senderCount = 2000;
    std::string outName;
    bool oneMinute = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--messages" && i + 1 < argc) messages = std::atol(argv[++i]);
        else if (a == "--seed" && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--senders" && i + 1 < argc) senderCount = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (a == "--one-minute") oneMinute = true;
        else outName = a;
    }
    if (outName.empty() || messages < 1 || senderCount < 2) {
        std::fprintf(stderr, "usage: mbox_corpus [--messages N] [--seed S] [--senders N] [--one-minute] OUT.mbox\n");
        return 2;
    }
    std::FILE* out = std::fopen(outName.c_str(), "wb");
    if (!out) {
        std::perror(outName.c_str());
        return 1;
    }

    Random r(seed);
    std::vector<Sender> senders;
    for (unsigned i = 0; i < senderCount; ++i) {
        const std::string first = kFirstNames[r.below(count(kFirstNames))];
        const std::string last = kLastNames[r.below(count(kLastNames))];
        std::string local;
        for (char c : first + "." + last + std::to_string(i))
            if (static_cast<unsigned char>(c) < 128) local += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        senders.push_back({first + " " + last, local + "@" + kDomains[r.below(count(kDomains))]});
    }
    const Sender owner{"Mailbox Owner", "owner@home.example.com"};

    std::vector<Sent> recent;  // the last messages, parents of replies
    Clock clock;
    std::string last;          // the previous message, for duplicates
    long long bytes = 0;
    for (long n = 0; n < messages; ++n) {
        if (!last.empty() && r.chance(1)) {  // delivered twice
            std::fwrite(last.data(), 1, last.size(), out);
            bytes += static_cast<long long>(last.size());
            continue;
        }
        clock.advance(r);
        if (oneMinute) clock = Clock{};
        Sent m;
        m.sender = r.skewed(senderCount);
        const Sender& from = r.chance(8) ? owner : senders[m.sender];
        const Sender& to = &from == &owner ? senders[r.below(senderCount)] : owner;
        const bool reply = !recent.empty() && r.chance(55);
        const Sent* parent = reply ? &recent[recent.size() - 1 - r.below(static_cast<unsigned>(recent.size()))] : nullptr;
        char id[96];
        std::snprintf(id, sizeof id, "<%ld.%08llx@%s>", n, static_cast<unsigned long long>(r.next() & 0xFFFFFFFF),
                      kDomains[m.sender % count(kDomains)]);
        m.messageId = id;
        if (parent) {
            m.subject = parent->subject.rfind("Re: ", 0) == 0 ? parent->subject : "Re: " + parent->subject;
            m.references = parent->references.empty() ? parent->messageId : parent->references + " " + parent->messageId;
            // References lists stay short, as mailers trim them.
            while (m.references.size() > 600) m.references.erase(0, m.references.find(' ', 1) + 1);
        } else {
            const unsigned kind = r.below(100);
            if (kind < 4) m.subject = kLatin1Topics[r.below(count(kLatin1Topics))];
            else if (kind < 8) m.subject = kUtf8Topics[r.below(count(kUtf8Topics))];
            else m.subject = std::string(kTopics[r.below(count(kTopics))]) + " (" + std::to_string(r.below(500)) + ")";
        }

        std::string body = paragraphs(r, 1 + r.below(4));
        if (parent) body = "On " + rfcDate(clock.seconds - 3600, 1) + ", someone wrote:\n" + quoted(parent->body, 12) +
                           "\n" + body;
        if (r.chance(3)) body += "\nFrom the notes of the last meeting:\n" + paragraphs(r, 1);
        if (r.chance(60)) body += "\n-- \n" + from.name + "\n" + kDomains[m.sender % count(kDomains)] + "\n";
        m.body = body;

        std::string header;
        header += "From " + from.address + " " + rfcDate(clock.seconds, 0).substr(0, 24) + "\n";
        header += "Return-Path: <" + from.address + ">\n";
        const unsigned hops = 1 + r.below(3);
        for (unsigned h = 0; h < hops; ++h)
            header += "Received: from mx" + std::to_string(h + 1) + "." + kDomains[(m.sender + h) % count(kDomains)] +
                      " (mx" + std::to_string(h) + ".example.net [192.0.2." + std::to_string(r.below(250)) +
                      "])\n\tby mail.home.example.com with ESMTP id " + std::to_string(r.next() % 100000000) +
                      "\n\tfor <" + to.address + ">; " + rfcDate(clock.seconds + 30 * (hops - h), 0) + "\n";
        header += "Message-ID: " + m.messageId + "\n";
        header += "Date: " + rfcDate(clock.seconds, static_cast<int>(r.below(13)) - 6) + "\n";
        header += "From: \"" + from.name + "\" <" + from.address + ">\n";
        header += "To: " + to.name + " <" + to.address + ">\n";
        if (r.chance(15)) header += "Cc: " + senders[r.below(senderCount)].address + "\n";
        header += "Subject: " + m.subject + "\n";
        if (parent) {
            header += "In-Reply-To: " + parent->messageId + "\n";
            header += "References: " + m.references + "\n";
        }
        header += "X-Mailer: " + std::string(kMailers[m.sender % count(kMailers)]) + "\n";
        header += "MIME-Version: 1.0\n";

        std::string message;
        const unsigned shape = r.below(100);
        if (shape < 62) {
            header += "Content-Type: text/plain; charset=us-ascii\nContent-Transfer-Encoding: 7bit\n";
            message = header + "\n" + escapeFromLines(body);
        } else if (shape < 74) {
            const std::string latin = latin1Text(r, 1 + r.below(3));
            m.body = latin;
            header += "Content-Type: text/plain; charset=ISO-8859-1\nContent-Transfer-Encoding: quoted-printable\n";
            message = header + "\n" + escapeFromLines(quotedPrintable(latin));
        } else if (shape < 80) {
            std::string utf8 = body + "Grüße, Jürgen — Zürich\n";
            header += "Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: base64\n";
            message = header + "\n" + base64(utf8);
        } else if (shape < 93) {
            const std::string boundary = "----=_NextPart_" + std::to_string(n);
            header += "Content-Type: multipart/alternative;\n\tboundary=\"" + boundary + "\"\n";
            message = header + "\nThis is a multi-part message in MIME format.\n\n--" + boundary +
                      "\nContent-Type: text/plain; charset=us-ascii\nContent-Transfer-Encoding: 7bit\n\n" +
                      escapeFromLines(body) + "\n--" + boundary +
                      "\nContent-Type: text/html; charset=us-ascii\nContent-Transfer-Encoding: 7bit\n\n" +
                      escapeFromLines(htmlOf(body)) + "\n--" + boundary + "--\n";
        } else {
            const std::string boundary = "------------" + std::to_string(r.next() % 1000000000000ull);
            header += "Content-Type: multipart/mixed;\n boundary=\"" + boundary + "\"\n";
            message = header + "\nThis is a multi-part message in MIME format.\n--" + boundary +
                      "\nContent-Type: text/plain; charset=us-ascii\nContent-Transfer-Encoding: 7bit\n\n" +
                      escapeFromLines(body) + "\n--" + boundary +
                      "\nContent-Type: application/octet-stream; name=\"data" + std::to_string(n) +
                      ".bin\"\nContent-Transfer-Encoding: base64\nContent-Disposition: attachment\n\n" +
                      base64(binaryAttachment(r, 1000 + r.below(6000))) + "\n--" + boundary + "--\n";
        }
        message += "\n";
        std::fwrite(message.data(), 1, message.size(), out);
        bytes += static_cast<long long>(message.size());
        last = message;
        recent.push_back(m);
        if (recent.size() > 400) recent.erase(recent.begin(), recent.begin() + 100);
    }
    std::fclose(out);
    std::fprintf(stderr, "%ld messages, %lld bytes\n", messages, bytes);
    return 0;
}
