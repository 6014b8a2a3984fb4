#pragma once
// One message read from a CompuServe navigator store (message files, the
// cabinet file, the dBase tables), and how it becomes a work record: the
// database is resolved, the skip rules applied, mail is told sent from
// received, its further receivers become carbon-copy records.
#include <string>
#include <vector>

#include "common/types.h"
#include "import/capture/capture_output.h"
#include "import/driver/format_parser.h"

namespace pm::navigator {

struct MailRecipient {
    std::string name;     // up to 40 bytes are kept
    std::string address;  // up to 60 bytes are kept
    std::string kind;     // "TO", "CC" or "BC"
};

struct NavigatorMessage {
    bool mail = false;
    // Forum messages.
    std::string forum;
    unsigned long number = 0;
    unsigned long reference = 0;
    bool checkRegister = true;  // the register of imported messages is asked
    // Both.
    unsigned long section = 0;
    std::string sectionName;
    std::string subject;
    std::string senderName, senderAddress;
    std::string receiverName, receiverAddress;
    // Mail: every receiver the store lists (the first may be the receiver
    // above). With more than one, each becomes a carbon-copy record.
    std::vector<MailRecipient> recipients;
    // Mail: the store marks it as written by the owner; else the owner's
    // addresses decide.
    bool sentByOwner = false;
    LONG date = 0;
    LONG time = 0;
    BYTE status = 0;
    std::string text;  // UTF-8, lines joined with CR LF
};

// Whether the import asks for this kind of message (mail or forum messages).
bool wantsKind(const ParserCall& call, bool mail);

// Writes `message` as one work record (and its carbon copies) when the
// import wants its kind and its database accepts it; anything left out is
// counted as skipped. A forum message without a number is marked as such
// and holds one of the run's reserved identifiers (above
// FirstNumberlessForumMessage) in the work file; the store numbers it by
// its content. False only when a write failed and the run must end.
bool storeNavigatorMessage(ParserCall& call, NavigatorMessage& message, const capture::ImportRegister& imported);

// An address as CompuServe stores write it, made fit for the work record:
// a CompuServe identifier in its stored form ("12345,678"), a service
// prefix such as "INTERNET:" dropped, an Internet address in lower case;
// an Exchange name ("/O=.../CN=...") stays as it is.
std::string normalisedAddress(const std::string& address);

// A stored text made a message text: CR LF line ends, control characters
// other than tabs dropped (the soft line breaks 0x8D of dBase editors
// among them), at most 64,000 bytes (UTF-8 in, UTF-8 out).
std::string messageText(std::string_view text);

// `text` without a leading "Copy of:" and the character after it.
std::string withoutCopyPrefix(std::string text);

// `name` without a leading "CIS:" (any letter case).
std::string withoutServicePrefix(std::string name);

}  // namespace pm::navigator
