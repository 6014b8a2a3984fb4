#pragma once
// Classification of Internet message header lines. Splitters use it to find
// where a header block starts; the header analyses to tell fields apart.
#include <string_view>

namespace pm::inet {

enum HeaderField : int {
    NotHeaderLine = 0,
    FieldFrom = 1,        // "From:"
    FieldDate = 2,        // "Date:"
    FieldTo = 3,          // "To:"
    FieldSubject = 4,     // "Subject:"
    FieldNewsgroups = 5,  // "Newsgroups:"
    FieldMessageId = 6,   // "Message-ID:"
    OtherKnownField = 99,
};

// The code of `line` by the field name it begins with, ignoring case:
// 1-6 for the fields above; 99 for the other known fields ("Comments:",
// "Content-MD5:", "Content-Type:", "Content-Length:",
// "Content-Transfer-Encoding:", "In-Reply-To:", "MIME-Version:", "Path:",
// "Received:", "Reply-To:", "Return-Path:", "Sender:", "Status:", "URL:"),
// for an "X-" line with ": " within its first 48 characters, and for the
// mailbox separator "From " followed by an "@" within 44 characters or by
// " - "; 0 for anything else.
HeaderField classifyHeaderLine(std::string_view line);

}  // namespace pm::inet
