#pragma once
// What the header analyses of Internet mail and news produce, and the
// services they need from the import driver.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_text.h"
#include "common/types.h"
#include "import/internet/body_format.h"

namespace pm::inet {

// A message identifier and the provisional number it stands for (a TempID
// record: TID.IDSTRING, TID.MSGNUMBER).
struct MessageIdPair {
    FixedText<60> idString;
    ULONG number = 0;
};

// What the news header analysis found a header block to be.
enum class NewsBlockKind : BYTE {
    None = 0,
    ForumMessage = 1,  // its first line is "Subject:" (and it names no newsgroups)
    Mail = 2,          // any other block without newsgroups
    Article = 3,       // it names newsgroups
};

// The work-record fields a header analysis fills (the NewHR fields of the
// same names), plus the analysis results the splitters need.
struct ParsedHeader {
    ParsedHeader() { clear(); }

    ULONG msgNumber;                // NHR.MSGNUMBER (news: from the Message-ID)
    ULONG refNumber;                // NHR.REFNUMBER (news: from References)
    FixedText<100> forDescription;  // NHR.FOR_DESCRIPTION: the chosen newsgroup
    FixedText<100> heading;         // NHR.HEADING: the subject
    FixedText<60> senderAddress;    // NHR.S_CISADRESS
    FixedText<60> senderName;       // NHR.S_NAME
    FixedText<60> receiverAddress;  // NHR.R_CISADRESS
    FixedText<60> receiverName;     // NHR.R_NAME
    LONG date;                      // NHR.DATE, day number, 0 = none
    LONG time;                      // NHR.TIME, hundredths of a second
    BYTE mailType;                  // NHR.MAILTYPE (a MailType)

    BodyFormat body;            // content kind, charset, transfer encoding
    std::size_t firstBodyLine;  // queue position; past the end when no body
    NewsBlockKind newsKind;     // the news analysis's finding
    LONG lineCount;             // the "Lines:" count, -1 when not given
    // TempID records to append, in order.
    std::vector<MessageIdPair> messageIds;

    ContentKind contentKind() const { return body.kind; }

    // Every field blank or 0, lineCount -1, no identifiers.
    void clear();
};

// The import driver's services for the header analyses.
struct HeaderContext {
    virtual ~HeaderContext() = default;

    // True when a database of this name exists. Look-up only: nothing is
    // created and nothing is recorded as used.
    virtual bool databaseExists(std::string_view name) = 0;

    // True when `address` (lower case) is one of the mailbox owner's
    // addresses (the default or an alternative one).
    virtual bool isOwnerAddress(std::string_view address) = 0;

    std::string ownerName;     // the mailbox's name (40)
    std::string ownerAddress;  // the mailbox's default address (60, lower case)

    // The CompuServe address rule for the news formats that use it (mail
    // text): fills address and name from a sender/receiver text. When empty
    // the Internet address split is used instead.
    std::function<void(std::string_view text, std::string& address, std::string& name)> cisSplit;
};

}  // namespace pm::inet
