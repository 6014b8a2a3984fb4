// The text of RTF bodies (Outlook keeps many bodies only as RTF).
#include <cctype>
#include <cstdlib>
#include <vector>

#include "import/internet/charset.h"
#include "import/internet/html_to_text.h"
#include "import/outlook/outlook_session.h"

namespace pm::outlook {

namespace {

// Destinations whose content is no text of the message.
constexpr std::string_view kSkippedDestinations[] = {
    "fonttbl",  "colortbl", "stylesheet", "info",      "pict",       "object",    "header",   "footer",
    "headerl",  "headerr",  "headerf",    "footerl",   "footerr",    "footerf",   "listtable", "listoverridetable",
    "rsidtbl",  "generator", "xmlnstbl",  "themedata", "colorschememapping", "datastore", "latentstyles",
    "filetbl",  "revtbl",   "pgdsctbl",   "fldinst",   "bkmkstart",  "bkmkend",   "mhtmltag",
};

struct GroupState {
    bool skip = false;     // inside a destination without text
    bool htmlrtf = false;  // RTF-only text of a body that wraps HTML
    int unicodeSkip = 1;   // fallback characters after \uN
};

class RtfReader {
public:
    explicit RtfReader(std::string_view rtf) : rtf_(rtf) {}

    std::string text() {
        std::vector<GroupState> groups{GroupState{}};
        int pendingFallback = 0;
        bool destinationMark = false;
        while (at_ < rtf_.size()) {
            const char c = rtf_[at_++];
            GroupState& g = groups.back();
            if (c == '{') {
                flushBytes();
                groups.push_back(g);
                destinationMark = false;
                continue;
            }
            if (c == '}') {
                flushBytes();
                if (groups.size() > 1) groups.pop_back();
                continue;
            }
            if (c == '\r' || c == '\n') continue;
            if (c != '\\') {
                if (pendingFallback > 0) {
                    --pendingFallback;
                    continue;
                }
                emitChar(g, c);
                continue;
            }
            if (at_ >= rtf_.size()) break;
            const char n = rtf_[at_];
            if (n == '\'') {
                at_++;
                const int byte = hexByte();
                if (pendingFallback > 0) {
                    --pendingFallback;
                } else if (byte >= 0 && visible(g)) {
                    bytes_.push_back(static_cast<char>(byte));
                }
                continue;
            }
            if (!std::isalpha(static_cast<unsigned char>(n))) {
                at_++;
                switch (n) {
                    case '*': destinationMark = true; break;
                    case '~': emitText(g, "\u00A0"); break;
                    case '_': emitChar(g, '-'); break;
                    case '\r': case '\n': emitText(g, "\r\n"); break;
                    case '-': break;  // optional hyphen
                    default: emitChar(g, n); break;  // \\ \{ \} and the like
                }
                continue;
            }
            std::string word;
            while (at_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[at_]))) word += rtf_[at_++];
            bool hasParam = false;
            long param = 0;
            if (at_ < rtf_.size() && (rtf_[at_] == '-' || std::isdigit(static_cast<unsigned char>(rtf_[at_])))) {
                const std::size_t start = at_++;
                while (at_ < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[at_]))) ++at_;
                param = std::strtol(std::string(rtf_.substr(start, at_ - start)).c_str(), nullptr, 10);
                hasParam = true;
            }
            if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;
            if (destinationMark) {
                destinationMark = false;
                // In a body that wraps HTML, the HTML tags are text; any other
                // marked destination is skipped.
                if (fromHtml_ && word == "htmltag")
                    g.htmlrtf = false;
                else
                    g.skip = true;
                continue;
            }
            control(g, word, hasParam, param, pendingFallback);
        }
        flushBytes();
        return fromHtml_ ? inet::htmlToText(out_) : out_;
    }

private:
    bool visible(const GroupState& g) const { return !g.skip && !(fromHtml_ && g.htmlrtf); }

    void emitChar(const GroupState& g, char c) {
        if (!visible(g)) return;
        flushBytes();
        out_ += c;
    }

    void emitText(const GroupState& g, std::string_view text) {
        if (!visible(g)) return;
        flushBytes();
        out_ += text;
    }

    void flushBytes() {
        if (bytes_.empty()) return;
        out_ += inet::toUtf8(bytes_, "windows-" + std::to_string(codePage_));
        bytes_.clear();
    }

    int hexByte() {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            if (at_ >= rtf_.size() || !std::isxdigit(static_cast<unsigned char>(rtf_[at_]))) return -1;
            const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(rtf_[at_++])));
            value = value * 16 + (h <= '9' ? h - '0' : h - 'a' + 10);
        }
        return value;
    }

    void control(GroupState& g, const std::string& word, bool hasParam, long param, int& pendingFallback) {
        for (std::string_view skipped : kSkippedDestinations)
            if (word == skipped) {
                g.skip = true;
                return;
            }
        if (word == "par" || word == "line" || word == "row") emitText(g, "\r\n");
        else if (word == "tab") emitText(g, "\t");
        else if (word == "cell") emitText(g, " ");
        else if (word == "ansicpg" && hasParam && param > 0) codePage_ = static_cast<int>(param);
        else if (word == "fromhtml") fromHtml_ = true;
        else if (word == "htmlrtf") g.htmlrtf = !hasParam || param != 0;
        else if (word == "uc" && hasParam) g.unicodeSkip = static_cast<int>(param);
        else if (word == "u" && hasParam) {
            auto cp = static_cast<char32_t>(param < 0 ? param + 65536 : param);
            pendingFallback = g.unicodeSkip;
            // Characters beyond the first plane come as two halves.
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                highSurrogate_ = cp;
                return;
            }
            if (cp >= 0xDC00 && cp <= 0xDFFF && highSurrogate_)
                cp = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
            highSurrogate_ = 0;
            if (visible(g)) {
                flushBytes();
                inet::appendUtf8(out_, cp);
            }
        }
    }

    std::string_view rtf_;
    std::size_t at_ = 0;
    std::string out_;
    std::string bytes_;  // \'hh bytes waiting for conversion
    int codePage_ = 1252;
    bool fromHtml_ = false;
    char32_t highSurrogate_ = 0;
};

}  // namespace

std::string rtfToText(std::string_view rtf) { return RtfReader(rtf).text(); }

}  // namespace pm::outlook
