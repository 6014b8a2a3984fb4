#pragma once
// What every capture parser does with a parsed header: resolve the target
// database, apply the skip rules, fill in the mailbox owner, assemble the
// text and append the work record.
#include <cstddef>
#include <string>
#include <string_view>

#include "common/types.h"
#include "import/driver/format_parser.h"
#include "import/internet/line_queue.h"
#include "tables/access/open_close.h"
#include "tables/records/scratch_tables.h"

namespace pm::capture {

// Message numbers of forum messages lie in 1 .. MaxMessageNumber - 1.
inline constexpr unsigned long MaxMessageNumber = 9'000'000;

// The register of imported forum messages (IMP), open while a parser lives,
// for the duplicate check.
// The register is released when the object ends.
class ImportRegister {
public:
    // Opens the register (shared); a table that cannot be opened ends the
    // program (open service).
    void open();
    // True when message `number` of database `database` was imported before.
    bool holds(ULONG database, ULONG number) const;

private:
    TableScope table_;
};

// Counts one message left out.
void countSkipped(ParserCall& call);

// The forum name given with the import (the target database's name); ""
// when none was given.
std::string enteredForumName(const ParserCall& call);

// The name of the mail database mail goes to; "" when none was chosen.
std::string mailboxNameOf(const ParserCall& call);

// Forum message whose header is in `record` (FOR_DESCRIPTION and MSGNUMBER
// set): resolves the forum as a database (created when new) and sets
// record.INTERNAL. False - the message is to be skipped - when the forum
// cannot be resolved, is no forum database, allows no import, the import
// only creates databases, or (without "Allow reimport") the register
// already holds the message.
bool acceptForumMessage(ParserCall& call, WorkRecord& record, const ImportRegister& imported);

// Mail whose header is in `record`: FOR_DESCRIPTION becomes the mailbox
// name and is resolved (it must be an existing mail database that allows
// import, and the import must write messages); then INTERNAL is set, the
// mail takes the next running number as MSGNUMBER and REFNUMBER, and
// RECIPTYPE is "TO". False when the mail is to be skipped.
bool acceptMail(ParserCall& call, WorkRecord& record);

// True when `address` is the mailbox owner's default or an alternative
// address (letter case ignored).
bool isOwnerAddress(const ParserCall& call, std::string_view address);

// Mail sent by the owner: the sender of `record` is the owner (mailbox
// name, default address), MAILTYPE 2.
void setOwnerAsSender(const ParserCall& call, WorkRecord& record);
// Mail the owner received: the receiver is the owner, MAILTYPE 1.
void setOwnerAsReceiver(const ParserCall& call, WorkRecord& record);

// The message text of body entries `first`..`last` of a file written in
// `codePage`: blank lines at the end (the gap before the next message) are
// left out; a mail body that starts with Internet header lines is read as
// an Internet message (its header block tells the content type, charset
// and encoding, and is not part of the text); the rest is assembled (at
// most 64,000 characters of UTF-8). Lines of the queue may be marked removed.
std::string captureBodyText(inet::LineQueue& queue, std::size_t first, std::size_t last, bool mail,
                            const char* codePage);

// Appends `record` with `text` to the work file. False when the write
// failed and the run must end; a message the run already holds is not
// written again (the driver counts it).
bool appendCaptured(ParserCall& call, WorkRecord& record, std::string text);

}  // namespace pm::capture
