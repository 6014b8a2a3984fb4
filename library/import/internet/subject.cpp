#include "import/internet/subject.h"

#include "import/internet/text_case.h"

namespace pm::inet {

std::string stripReplyPrefix(std::string_view subject) {
    std::string_view s = trimLeft(subject);
    if (startsWithNoCase(s, "RE:")) s = trimLeft(s.substr(3));
    return std::string(s);
}

}  // namespace pm::inet
