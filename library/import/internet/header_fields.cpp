#include "import/internet/header_fields.h"

#include <array>

#include "import/internet/text_case.h"

namespace pm::inet {

namespace {

constexpr std::array<std::string_view, 14> kOtherFields = {
    "COMMENTS:", "CONTENT-MD5:", "CONTENT-TYPE:", "CONTENT-LENGTH:", "CONTENT-TRANSFER-ENCODING:",
    "IN-REPLY-TO:", "MIME-VERSION:", "PATH:", "RECEIVED:", "REPLY-TO:", "RETURN-PATH:",
    "SENDER:", "STATUS:", "URL:"};

}  // namespace

HeaderField classifyHeaderLine(std::string_view line) {
    if (line.empty()) return NotHeaderLine;
    if (startsWithNoCase(line, "FROM:")) return FieldFrom;
    if (startsWithNoCase(line, "DATE:")) return FieldDate;
    if (startsWithNoCase(line, "TO:")) return FieldTo;
    if (startsWithNoCase(line, "SUBJECT:")) return FieldSubject;
    if (startsWithNoCase(line, "NEWSGROUPS:")) return FieldNewsgroups;
    if (startsWithNoCase(line, "MESSAGE-ID:")) return FieldMessageId;
    for (std::string_view name : kOtherFields)
        if (startsWithNoCase(line, name)) return OtherKnownField;
    if (startsWithNoCase(line, "X-") && line.substr(0, 48).find(": ") != std::string_view::npos)
        return OtherKnownField;
    if (startsWithNoCase(line, "FROM ")) {
        if (line.substr(5, 44).find('@') != std::string_view::npos) return OtherKnownField;
        if (line.substr(4, 3) == " - ") return OtherKnownField;
    }
    return NotHeaderLine;
}

}  // namespace pm::inet
