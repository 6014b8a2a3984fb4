#include "import/internet/html_to_text.h"

#include <algorithm>

#include "import/internet/html_entities.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

bool opensTag(char c) { return isAsciiLetter(c) || c == '/' || c == '!' || c == '?'; }

// A tag longer than this is broken markup: it ends at its first ">".
constexpr std::size_t kMaxTagLength = 1024;

// Position of the ">" that closes the tag whose name starts at `from`;
// quoted attribute values may hold ">". npos only when no ">" follows at
// all. The quote-aware scan is bounded so that broken markup stays linear.
std::size_t findTagEnd(std::string_view html, std::size_t from) {
    char lastNonBlank = '\0';
    std::size_t limit = std::min(html.size(), from + kMaxTagLength);
    for (std::size_t i = from; i < limit; ++i) {
        char c = html[i];
        if (c == '>') return i;
        if ((c == '"' || c == '\'') && lastNonBlank == '=') {
            std::size_t close = html.substr(0, limit).find(c, i + 1);
            if (close == std::string_view::npos) break;
            i = close;
            lastNonBlank = c;
            continue;
        }
        if (!isBlankOrTab(c) && c != '\r' && c != '\n') lastNonBlank = c;
    }
    return html.find('>', from);
}

// The value of attribute HREF in the tag text, entities decoded.
std::string hrefValue(std::string_view tag) {
    std::size_t pos = 0;
    while ((pos = findNoCase(tag, "HREF", pos)) != std::string_view::npos) {
        bool wordStart = pos == 0 || isBlankOrTab(tag[pos - 1]) || tag[pos - 1] == '\r' || tag[pos - 1] == '\n';
        std::size_t i = pos + 4;
        pos = i;
        if (!wordStart) continue;
        while (i < tag.size() && isBlankOrTab(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && isBlankOrTab(tag[i])) ++i;
        std::string_view value;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            std::size_t close = tag.find(tag[i], i + 1);
            value = tag.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
        } else {
            std::size_t end = i;
            while (end < tag.size() && !isBlankOrTab(tag[end]) && tag[end] != '\r' && tag[end] != '\n') ++end;
            value = tag.substr(i, end - i);
        }
        std::string decoded;
        value = trim(value);
        for (std::size_t k = 0; k < value.size(); ++k) {
            std::size_t len = value[k] == '&' ? decodeHtmlEntity(value, k, decoded) : 0;
            if (len) k += len - 1;
            else decoded.push_back(value[k]);
        }
        return decoded;
    }
    return {};
}

// A link target without scheme and trailing "/", for "says the same".
std::string_view linkCore(std::string_view s) {
    s = trim(s);
    for (std::string_view scheme : {"HTTP://", "HTTPS://", "MAILTO:", "FTP://"})
        if (startsWithNoCase(s, scheme)) {
            s.remove_prefix(scheme.size());
            break;
        }
    while (!s.empty() && s.back() == '/') s.remove_suffix(1);
    return s;
}

class Converter {
public:
    explicit Converter(std::string_view html) : html_(html) { out_.reserve(html.size()); }

    std::string run();

private:
    void tag(std::string_view text, std::size_t& resume);
    void visible(std::string_view text);
    void blank() {
        if (!out_.empty() && out_.back() != ' ' && !atLineStart()) out_.push_back(' ');
    }
    void lineBreak() {
        dropTrailingBlanks();
        out_ += "\r\n";
    }
    void paragraphBreak() {
        dropTrailingBlanks();
        if (out_.empty()) return;
        int breaks = trailingBreaks();
        for (; breaks < 2; ++breaks) out_ += "\r\n";
    }
    bool atLineStart() const { return out_.empty() || out_.ends_with("\r\n"); }
    void dropTrailingBlanks() {
        while (!out_.empty() && out_.back() == ' ') out_.pop_back();
    }
    int trailingBreaks() const {
        int n = 0;
        for (std::size_t end = out_.size(); end >= 2 && out_.compare(end - 2, 2, "\r\n") == 0; end -= 2) ++n;
        return n;
    }
    void closeLink();

    std::string_view html_;
    std::string out_;
    bool pre_ = false;
    bool title_ = false;
    int listDepth_ = 0;
    bool bullet_ = false;
    int definitionListDepth_ = 0;
    bool definition_ = false;
    bool linkOpen_ = false;
    std::string href_;
    std::size_t linkStart_ = 0;
    // No ">" follows this position: a "<" from here on is text.
    std::size_t noTagEndFrom_ = std::string_view::npos;
};

void Converter::visible(std::string_view text) {
    if (bullet_) {
        if (!atLineStart()) lineBreak();
        out_ += "* ";
        bullet_ = false;
    }
    if (definitionListDepth_ > 0 && definition_ && atLineStart()) out_ += "   ";
    out_ += text;
}

void Converter::closeLink() {
    if (!linkOpen_) return;
    linkOpen_ = false;
    if (linkStart_ > out_.size()) linkStart_ = out_.size();
    std::string_view linkText = trim(std::string_view(out_).substr(linkStart_));
    if (href_.empty() || href_.front() == '#' || startsWithNoCase(href_, "JAVASCRIPT:")) return;
    if (linkCore(href_) == linkCore(linkText)) return;
    if (!linkText.empty()) blank();
    visible("<" + href_ + ">");
}

void Converter::tag(std::string_view text, std::size_t& resume) {
    if (text.empty() || text[0] == '!' || text[0] == '?') return;
    bool closing = text[0] == '/';
    std::size_t i = closing ? 1 : 0;
    std::size_t start = i;
    while (i < text.size() && (isAsciiLetter(text[i]) || isAsciiDigit(text[i]) || text[i] == '-' || text[i] == ':'))
        ++i;
    std::string name = asciiUpper(text.substr(start, i - start));

    if (name == "BR") {
        lineBreak();
    } else if (name == "B" || name == "I" || name == "U") {
        blank();
    } else if (name == "P") {
        paragraphBreak();
    } else if (name == "PRE" || name == "PLAINTEXT") {
        // A block: its lines never run into the text around it.
        if (!atLineStart()) lineBreak();
        pre_ = !closing;
    } else if (name == "DIV") {
        if (closing) lineBreak();
    } else if (name.size() == 2 && name[0] == 'H' && name[1] >= '1' && name[1] <= '6') {
        if (closing) paragraphBreak();
    } else if (name == "TITLE") {
        title_ = !closing;
    } else if (name == "STYLE" || name == "SCRIPT") {
        // Style sheets and scripts are not text; skip to their end tag.
        if (!closing) {
            std::size_t end = findNoCase(html_, "</" + name, resume);
            resume = end == std::string_view::npos ? html_.size() : end;
        }
    } else if (name == "TR" || name == "TD" || name == "TH") {
        if (closing) paragraphBreak();
    } else if (name == "OL" || name == "UL") {
        if (!closing) {
            ++listDepth_;
        } else {
            if (listDepth_ > 0) --listDepth_;
            bullet_ = false;
            paragraphBreak();
        }
    } else if (name == "LI") {
        if (!closing && listDepth_ > 0) {
            paragraphBreak();
            bullet_ = true;
        }
    } else if (name == "DL") {
        if (!closing) {
            ++definitionListDepth_;
        } else if (definitionListDepth_ > 0) {
            --definitionListDepth_;
            definition_ = false;
            if (!atLineStart()) lineBreak();
        }
    } else if (name == "DT" || name == "DD") {
        if (definitionListDepth_ > 0) {
            if (!atLineStart()) lineBreak();
            if (!closing) definition_ = name == "DD";
        }
    } else if (name == "A") {
        if (closing) {
            closeLink();
        } else {
            closeLink();
            href_ = hrefValue(text.substr(i));
            if (!href_.empty()) {
                linkOpen_ = true;
                linkStart_ = out_.size();
            }
        }
    }
}

std::string Converter::run() {
    const std::size_t n = html_.size();
    std::size_t i = 0;
    std::string entity;
    while (i < n) {
        char c = html_[i];
        if (c == '<' && i + 1 < n && opensTag(html_[i + 1])) {
            if (html_.compare(i, 4, "<!--") == 0) {
                std::size_t end = html_.find("-->", i + 4);
                i = end == std::string_view::npos ? n : end + 3;
                continue;
            }
            std::size_t end = i < noTagEndFrom_ ? findTagEnd(html_, i + 1) : std::string_view::npos;
            if (end == std::string_view::npos) noTagEndFrom_ = i;
            if (end != std::string_view::npos) {
                std::size_t resume = end + 1;
                tag(html_.substr(i + 1, end - i - 1), resume);
                i = resume;
                continue;
            }
        }
        if (title_) {
            ++i;
            continue;
        }
        if (c == '&') {
            entity.clear();
            std::size_t len = decodeHtmlEntity(html_, i, entity);
            if (len > 0) {
                visible(entity);
                i += len;
                continue;
            }
        }
        if (pre_) {
            if (c == '\r' || c == '\n') {
                out_ += "\r\n";
                if (c == '\r' && i + 1 < n && html_[i + 1] == '\n') ++i;
            } else {
                visible(std::string_view(&html_[i], 1));
            }
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
            blank();
        } else {
            // A run of ordinary characters at once.
            std::size_t end = i + 1;
            while (end < n && html_[end] != '<' && html_[end] != '&' && html_[end] != ' ' &&
                   html_[end] != '\t' && html_[end] != '\r' && html_[end] != '\n' && html_[end] != '\f')
                ++end;
            visible(html_.substr(i, end - i));
            i = end;
            continue;
        }
        ++i;
    }
    closeLink();

    // Drop leading lines that hold only blanks (keeping the indentation of
    // the first real line) and trailing white space.
    std::size_t first = 0;
    while (first < out_.size()) {
        std::size_t eol = out_.find("\r\n", first);
        std::size_t end = eol == std::string::npos ? out_.size() : eol;
        if (out_.find_first_not_of(' ', first) < end) break;
        first = eol == std::string::npos ? out_.size() : eol + 2;
    }
    std::size_t last = out_.find_last_not_of(" \r\n");
    if (first >= out_.size() || last == std::string::npos) return {};
    std::string result = out_.substr(first, last - first + 1);
    result += "\r\n";
    return result;
}

}  // namespace

std::string htmlToText(std::string_view html) { return Converter(html).run(); }

}  // namespace pm::inet
