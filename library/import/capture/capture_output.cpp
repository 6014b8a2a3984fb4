#include "import/capture/capture_output.h"

#include "common/text.h"
#include "import/capture/capture_fields.h"
#include "import/capture/capture_format.h"
#include "import/driver/database_resolver.h"
#include "import/driver/import_request.h"
#include "import/driver/work_files.h"
#include "import/internet/embedded_message.h"
#include "import/internet/header_support.h"
#include "import/internet/text_assembly.h"
#include "tables/records/config_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm::capture {

namespace {

// The catalog name of database `id` as the run knows it; "" when unknown.
std::string databaseName(const ParserCall& call, LONG id) {
    if (id == 0 || !call.databases) return {};
    const DatabaseEntry* entry = call.databases->entry(static_cast<ULONG>(id));
    return entry ? entry->name : std::string();
}

bool writesMessages(const ParserCall& call) { return call.request->messageFilter != FilterCreateDatabasesOnly; }

std::string ownerName(const ParserCall& call) {
    std::string_view name = call.request->mailboxOwner.mailboxName();
    if (!name.empty()) return std::string(name);
    FixedText<MailboxNameWidth> cut;
    cut = mailboxNameOf(call);
    return cut.str();
}

}  // namespace

void ImportRegister::open() {
    if (!table_.holds()) table_.open({&IMPFile});
}

bool ImportRegister::holds(ULONG database, ULONG number) const {
    if (!table_.holds()) return false;
    IMP.FORUMNUMBER = database;
    IMP.MSGNUMBER = number;
    return IMPFile.get(IMP_IDKEY) == StorageStatus::Ok;
}

void countSkipped(ParserCall& call) {
    if (call.skipped) ++*call.skipped;
}

std::string enteredForumName(const ParserCall& call) {
    if (std::string name = databaseName(call, call.request->targetDatabase); !name.empty()) return name;
    // A request that carries no target database names the forum directly.
    return call.request->variant == 2 ? std::string() : call.request->targetName;
}

std::string mailboxNameOf(const ParserCall& call) {
    if (std::string name = databaseName(call, call.request->mailbox); !name.empty()) return name;
    if (call.request->variant == 2) return call.request->targetName;
    return std::string(call.request->mailboxOwner.mailboxName());
}

bool acceptForumMessage(ParserCall& call, WorkRecord& record, const ImportRegister& imported) {
    const Resolution db = call.databases->resolve(record.FOR_DESCRIPTION.str(), ResolveForum, &record);
    if (!db.found() || !db.importAllowed || db.type != TypeForum || !writesMessages(call)) return false;
    if (!call.request->allowReimport && imported.holds(db.id, record.MSGNUMBER)) return false;
    record.INTERNAL = db.id;
    return true;
}

bool acceptMail(ParserCall& call, WorkRecord& record) {
    record.FOR_DESCRIPTION = mailboxNameOf(call);
    const Resolution db = call.databases->resolve(record.FOR_DESCRIPTION.str(), ResolveMail, &record);
    if (!db.found() || !db.importAllowed || db.type != TypeMail || !writesMessages(call)) return false;
    record.INTERNAL = db.id;
    record.MSGNUMBER = static_cast<ULONG>((*call.runningId)++);
    record.REFNUMBER = record.MSGNUMBER;
    record.RECIPTYPE = "TO";
    return true;
}

bool isOwnerAddress(const ParserCall& call, std::string_view address) {
    return !trimmed(address).empty() && call.request->mailboxOwner.isForeign(trimmed(address)) == 0;
}

void setOwnerAsSender(const ParserCall& call, WorkRecord& record) {
    record.S_NAME = ownerName(call);
    record.S_CISADRESS = call.request->mailboxOwner.defaultAddress();
    record.MAILTYPE = MailSent;
}

void setOwnerAsReceiver(const ParserCall& call, WorkRecord& record) {
    record.R_NAME = ownerName(call);
    record.R_CISADRESS = call.request->mailboxOwner.defaultAddress();
    record.MAILTYPE = MailReceived;
}

std::string captureBodyText(inet::LineQueue& queue, std::size_t first, std::size_t last, bool mail,
                            const char* codePage) {
    if (last > queue.size()) last = queue.size();
    while (last >= first && last >= 1 && queue.text(last).empty() && !queue.isRemoved(last)) --last;
    if (first < 1 || first > last) return {};
    inet::BodyFormat body;
    body.charset = codePage;
    if (mail) {
        const std::size_t start = inet::skipBlankLines(queue, first, last);
        if (start <= last && inet::startsEmbeddedHeader(queue.text(start))) {
            inet::EmbeddedBody embedded = inet::analyseEmbeddedHeader(queue, start, last);
            first = embedded.firstTextLine;
            body = embedded.body;
            // Without a declared charset the text is in the file's code page.
            if (body.charset.empty()) body.charset = codePage;
        }
    }
    if (body.charset == codePage) {
        std::string line;
        for (std::size_t pos = first; pos <= last; ++pos) {
            if (queue.isRemoved(pos)) continue;
            line.assign(queue.text(pos));
            if (applyCaptureMapping(line, codePage)) queue.setText(pos, line);
        }
    }
    return inet::assembleText(queue, first, last, body);
}

bool appendCaptured(ParserCall& call, WorkRecord& record, std::string text) {
    record.MSGTEXT = std::move(text);
    return call.work->appendMessage(record) != WorkWrite::Failed;
}

}  // namespace pm::capture
