#include "import/addresses/cis_address.h"

#include <vector>

#include "common/fixed_text.h"

namespace pm {
namespace {

constexpr std::string_view BoxChar = "\xE2\x94\x82";  // U+2502
constexpr unsigned char OldBoxByte = 0xB3;             // code page 850/437

// Length of the well-formed UTF-8 sequence starting at text[i], or 0 when the
// byte there starts none.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (len == 0 || i + len > text.size()) return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    return len;
}

// For every byte of `text`: the length of the separator (blank or box
// character) that starts there, else 0. Walking whole characters keeps the
// 0xB3 inside a letter such as "ó" (C3 B3) from counting as a box character.
std::vector<unsigned char> markSeparators(std::string_view text) {
    std::vector<unsigned char> sep(text.size(), 0);
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = sequenceLength(text, i);
        if (len == 0) {
            if (static_cast<unsigned char>(text[i]) == OldBoxByte) sep[i] = 1;
            ++i;
            continue;
        }
        if (text[i] == ' ') sep[i] = 1;
        else if (text.substr(i, BoxChar.size()) == BoxChar) sep[i] = static_cast<unsigned char>(len);
        i += len;
    }
    return sep;
}

// Start of the last separator that begins at index `from` or later and ends
// before `end`, or npos.
std::size_t lastSeparator(const std::vector<unsigned char>& sep, std::size_t from, std::size_t end) {
    for (std::size_t i = end; i > from; --i)
        if (sep[i - 1] != 0) return i - 1;
    return std::string_view::npos;
}

bool isDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// A name without the trailing ">", blanks and box characters that stood
// between it and the address.
std::string_view trimNameTail(std::string_view name) {
    const std::vector<unsigned char> sep = markSeparators(name);
    std::size_t end = name.size();
    while (end > 0) {
        if (name[end - 1] == '>' || sep[end - 1] == 1) --end;
        else if (end >= BoxChar.size() && sep[end - BoxChar.size()] == BoxChar.size()) end -= BoxChar.size();
        else break;
    }
    return name.substr(0, end);
}

std::string_view trimLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    return text.substr(i);
}

void setOutputs(std::string& address, std::string& name, std::string_view a, std::string_view n) {
    a = trimRight(a);
    n = trimRight(n);
    address.assign(a.substr(0, utf8FitLength(a, CisTextWidth)));
    name.assign(n.substr(0, utf8FitLength(n, CisTextWidth)));
}

// "Name CSINET:address": a CompuServe address given in Internet form. An
// Internet domain behind the identifier is dropped.
void splitCsinet(std::string_view s, std::size_t at, std::string& address, std::string& name) {
    std::string_view rest = s.substr(at + 6);
    if (!rest.empty() && rest.front() == ':') rest.remove_prefix(1);
    rest = trimRight(trimLeft(rest));
    const std::size_t mark = rest.find('@');
    if (rest.size() >= 5 && mark != std::string_view::npos && mark >= 1) rest = rest.substr(0, mark);
    setOutputs(address, name, rest, s.substr(0, at));
}

// Mail text without an identifier: the last word is the address, behind an
// optional service prefix ("INTERNET:", "MCI:" ...).
void splitMailWord(std::string_view s, std::string& address, std::string& name) {
    const std::vector<unsigned char> sep = markSeparators(s);
    std::string_view addr = s;
    std::string_view nm;
    const std::size_t b = lastSeparator(sep, 1, s.size());
    if (b != std::string_view::npos) {
        std::string_view after = s.substr(b + sep[b]);
        if (!after.empty()) addr = after;
        nm = trimNameTail(s.substr(0, b));
    }
    const std::size_t colon = addr.find(':');
    if (colon != std::string_view::npos && colon + 1 < addr.size()) addr = addr.substr(colon + 1);
    setOutputs(address, name, addr, nm);
}

// Tries to read a CompuServe identifier at the end of `s`. Returns false and
// leaves the outputs alone when there is none.
bool splitIdentifier(std::string_view s, std::string& address, std::string& name) {
    const std::size_t n = s.size();
    if (n <= 3) return false;
    // The identifier's separator: the last "," or "." that has text after it
    // and is not the first character.
    std::size_t p = std::string_view::npos;
    for (std::size_t i = n - 1; i-- > 1;) {
        if (s[i] == ',' || s[i] == '.') {
            p = i;
            break;
        }
    }
    if (p == std::string_view::npos) return false;

    const bool bracketed = s[n - 1] == ']';
    std::size_t e = bracketed ? n - 1 : n;  // end of the identifier's digits
    if (p + 1 >= e) return false;
    std::string_view tail = s.substr(p + 1, e - p - 1);
    const std::size_t blanks = tail.size() - trimLeft(tail).size();
    if (!isDigits(tail.substr(blanks))) return false;

    // The stored form: "," as separator and no blank after it ("12345. 678").
    std::string work(s);
    work[p] = ',';
    work.erase(p + 1, blanks);
    e -= blanks;

    const std::vector<unsigned char> sep = markSeparators(work);
    const std::size_t b = lastSeparator(sep, 0, p);
    std::size_t start = b == std::string_view::npos ? 0 : b + sep[b];
    if (bracketed && work[start] == '[') ++start;
    if (!isDigits(std::string_view(work).substr(start, p - start))) return false;

    std::string_view id = std::string_view(work).substr(start, e - start);
    std::string_view before = b == std::string_view::npos ? std::string_view()
                                                          : trimNameTail(std::string_view(work).substr(0, b));
    setOutputs(address, name, id, before);
    return true;
}

}  // namespace

void FindCISAdress(int mode, std::string_view text, std::string& address, std::string& name) {
    const std::string_view s = trimRight(text);
    if (mode == CisMailText) {
        const std::size_t at = s.find("CSINET");
        if (at != std::string_view::npos) {
            splitCsinet(s, at, address, name);
            return;
        }
    }
    if (splitIdentifier(s, address, name)) return;
    // No identifier: the fallback works on the text as given, so a rejected
    // candidate leaves no trace (no "." turned into ",", no blank dropped).
    if (mode == CisMailText) splitMailWord(s, address, name);
    else setOutputs(address, name, {}, s);
}

}  // namespace pm
