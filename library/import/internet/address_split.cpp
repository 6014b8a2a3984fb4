#include "import/internet/address_split.h"

#include <vector>

#include "import/internet/charset.h"
#include "import/internet/encoded_words.h"
#include "import/internet/line_queue.h"
#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

// The entries of a comma-separated address list; commas inside quotes,
// angle brackets or parentheses do not separate.
std::vector<std::string_view> listEntries(std::string_view text) {
    std::vector<std::string_view> entries;
    bool quoted = false;
    int angle = 0, paren = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && quoted) {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == '<') ++angle;
            else if (c == '>' && angle > 0) --angle;
            else if (c == '(') ++paren;
            else if (c == ')' && paren > 0) --paren;
            else if (c == ',' && angle == 0 && paren == 0) {
                entries.push_back(trim(text.substr(start, i - start)));
                start = i + 1;
            }
        }
    }
    entries.push_back(trim(text.substr(start)));
    return entries;
}

// The entry to split: the first with an "@" when two or more hold one.
std::string_view chooseEntry(std::string_view text) {
    std::vector<std::string_view> entries = listEntries(text);
    std::string_view first;
    int withAt = 0;
    for (std::string_view e : entries) {
        if (e.find('@') == std::string_view::npos) continue;
        if (withAt++ == 0) first = e;
    }
    return withAt >= 2 ? first : text;
}

std::string cut(std::string text, std::size_t width) {
    text.resize(utf8CutLength(text, width));
    return text;
}

}  // namespace

std::string_view unwrapName(std::string_view name) {
    name = trim(name);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = trim(name.substr(1, name.size() - 2));
    if (name.size() >= 2 && name.front() == '(' && name.back() == ')') name = trim(name.substr(1, name.size() - 2));
    return name;
}

AddressParts splitAddress(std::string_view raw) {
    std::string utf8 = toUtf8Fallback(raw);
    std::string_view text = chooseEntry(trim(utf8));

    std::string_view address, name;
    std::size_t at = text.find('@');
    if (at == std::string_view::npos) {
        address = text;
    } else if (text.back() == '>') {
        std::size_t lt = text.rfind('<');
        if (lt == std::string_view::npos) {
            address = text;
        } else {
            address = text.substr(lt + 1, text.size() - lt - 2);
            name = text.substr(0, lt);
        }
    } else {
        std::size_t before = text.find_last_of(" \t", at);
        std::size_t wordStart = before == std::string_view::npos ? 0 : before + 1;
        std::size_t after = text.find_first_of(" \t", at);
        if (after != std::string_view::npos) {
            address = text.substr(wordStart, after - wordStart);
            name = text.substr(after + 1);
        } else {
            address = text.substr(wordStart);
            if (before != std::string_view::npos) name = text.substr(0, before);
        }
    }

    AddressParts parts;
    parts.address = cut(lowerCase(trim(address)), AddressWidth);
    parts.name = cut(decodeHeaderText(unwrapName(name)), NameWidth);
    std::string_view trimmedName = trim(parts.name);
    if (trimmedName.size() != parts.name.size()) parts.name = std::string(trimmedName);
    return parts;
}

}  // namespace pm::inet
