#include "import/capture/capture_parties.h"

#include "import/addresses/cis_address.h"
#include "import/capture/capture_fields.h"
#include "import/internet/address_split.h"
#include "import/internet/text_case.h"

namespace pm::capture {

namespace {

constexpr std::string_view kBar = "\xE2\x94\x82";          // U+2502, code page 850 byte 0xB3
constexpr std::string_view kSuperscriptThree = "\xC2\xB3";  // what byte 0xB3 is in Windows-1252

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Trailing blanks, ">", "[" and bars removed.
std::string_view withoutTrailingSeparators(std::string_view text) {
    for (;;) {
        text = trimmed(text);
        if (text.ends_with(kBar)) text.remove_suffix(kBar.size());
        else if (!text.empty() && (text.back() == '>' || text.back() == '[')) text.remove_suffix(1);
        else return text;
    }
}

std::string_view withoutEnclosingQuotes(std::string_view text) {
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = trimmed(text.substr(1, text.size() - 2));
    return text;
}

}  // namespace

std::string partyText(std::string_view raw, const char* codePage) {
    std::string text = fieldText(raw, codePage);
    if (std::string_view(codePage) == "windows-1252") replaceAll(text, kSuperscriptThree, kBar);
    return text;
}

void splitForumParty(std::string_view text, std::string& address, std::string& name) {
    FindCISAdress(CisForumText, withoutTrailing(text, "(X)"), address, name);
}

void splitMailParty(std::string_view text, std::string& address, std::string& name) {
    text = trimmed(text);
    const std::size_t at = text.find("INTERNET");
    if (at != std::string_view::npos) {
        std::size_t start = at + 8;
        if (start < text.size() && text[start] == ':') ++start;
        std::string_view rest = trimmed(text.substr(start));
        std::string_view before = text.substr(0, at);
        // "[INTERNET:addr]": the closing bracket belongs to the layout.
        if (trimmed(before).ends_with('[') && rest.ends_with(']')) rest = trimmed(rest.substr(0, rest.size() - 1));
        address.assign(rest);
        name.assign(withoutEnclosingQuotes(withoutTrailingSeparators(before)));
    } else {
        FindCISAdress(CisMailText, text, address, name);
    }
    if (trimmed(name).empty() && address.find('@') != std::string::npos) {
        inet::AddressParts parts = inet::splitAddress(address);
        address = parts.address;
        name = parts.name;
    }
    // Internet addresses are kept in lower case, as every mail importer keeps them.
    if (address.find('@') != std::string::npos) address = inet::lowerCase(address);
}

}  // namespace pm::capture
