#include "import/driver/import_request.h"

#include <optional>

#include "common/fixed_text.h"
#include "common/globals.h"
#include "common/text.h"
#include "import/driver/format_table.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

std::string cut(std::string_view text, std::size_t width) { return std::string(text.substr(0, utf8FitLength(text, width))); }

// The catalog record of `id` in the FOR buffer; Forums must be open.
bool readCatalogRecord(ULONG id) {
    Forums.clear();
    FOR.ID = id;
    return Forums.get(FOR_ForumKey) == StorageStatus::Ok;
}

std::string joinList(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) {
        if (item.empty()) continue;
        if (!joined.empty()) joined += ';';
        joined += item;
    }
    return joined;
}

}  // namespace

std::string describeRequestProblem(RequestProblem problem) {
    switch (problem) {
        case RequestProblem::None: return "ready";
        case RequestProblem::NoSuchDefinition: return "the import definition does not exist";
        case RequestProblem::UnknownFormat: return "the format is unknown";
        case RequestProblem::NoFileEntries: return "no file or mask is listed";
        case RequestProblem::MailboxMissing: return "the mailbox does not exist";
        case RequestProblem::TargetMissing: return "the target database does not exist";
    }
    return "unknown";
}

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string item(trim(std::string_view(list).substr(start, end - start)));
        if (!item.empty()) items.push_back(std::move(item));
        start = end + 1;
    }
    return items;
}

RequestProblem setRequestFormat(ImportRequest& request, int format) {
    const FormatEntry* entry = formatByNumber(format);
    if (!entry) return RequestProblem::UnknownFormat;
    request.format = entry->number;
    request.formatName = cut(entry->name, FormatNameWidth);
    if (trim(request.masks).empty()) request.masks = entry->masks;
    return RequestProblem::None;
}

RequestProblem completeImportRequest(ImportRequest& request) {
    const FormatEntry* entry = formatByNumber(request.format);
    if (!entry) return RequestProblem::UnknownFormat;
    const bool mailOnly = entry->kinds == KindMail;
    if (holdsForumAndMail(request.format)) request.variant = request.importMail ? 2 : 1;

    RequestProblem problem = RequestProblem::None;
    std::optional<MailboxOwner> owner;
    std::string mailboxName, targetName;
    TableScope catalog({&Forums});
    const bool mailWanted = request.importMail && (entry->kinds & KindMail);
    if (request.mailbox != 0 || mailWanted) {
        if (request.mailbox != 0 && readCatalogRecord(static_cast<ULONG>(request.mailbox))) {
            MailboxOwner o;
            o.mailboxName = FOR.DESCRIPTION.str();
            o.mailAddress = FOR.MAILADDRESS.str();
            for (std::size_t i = 0; i < AltAddressCount; ++i) o.altAddresses[i] = FOR.ALTADDRESS[i].str();
            o.personId = FOR.PERSONID;
            mailboxName = o.mailboxName;
            owner = o;
        } else {
            problem = RequestProblem::MailboxMissing;
        }
    }
    if (problem == RequestProblem::None && request.targetDatabase != 0) {
        if (readCatalogRecord(static_cast<ULONG>(request.targetDatabase))) targetName = FOR.DESCRIPTION.str();
        else problem = RequestProblem::TargetMissing;
    }
    catalog.release();
    if (problem != RequestProblem::None) return problem;

    // The owner is only published (Mem.PersonID) when mail is imported.
    if (owner && mailWanted) {
        request.mailboxOwner.set(owner->mailboxName, owner->mailAddress, owner->altAddresses, owner->personId);
    } else {
        request.mailboxOwner.clear();
    }
    request.targetName = cut(request.variant == 2 || mailOnly ? mailboxName : targetName, TargetNameWidth);
    return RequestProblem::None;
}

RequestProblem importRequestFromDefinition(const BATRecord& definition, const std::vector<std::string>& fileEntries,
                                           ImportRequest& request) {
    request = ImportRequest{};
    request.importPath = cut(definition.IMPPATH.view(), ImportPathWidth);
    request.selectionMethod = definition.SELMETHOD;
    const std::string joined = joinList(fileEntries);
    if (joined.empty()) return RequestProblem::NoFileEntries;
    if (request.selectionMethod == SelectFiles) {
        for (const std::string& entry : fileEntries)
            if (!entry.empty()) request.selectedFiles.push_back(entry);
    } else {
        request.masks = cut(joined, MasksWidth);
    }
    request.importMail = definition.MAILMSG;
    request.importForum = definition.FORUMMSG;
    request.importNewsgroup = definition.NEWSGROUPMSG;
    request.messageFilter = definition.MSGFILTER;
    request.allowReimport = definition.ALLOWREIMP;
    request.mailTopic = static_cast<LONG>(definition.MAILTOPIC);
    request.mailbox = static_cast<LONG>(definition.MAILBOX);
    request.targetDatabase = static_cast<LONG>(definition.DATABASE);
    if (RequestProblem p = setRequestFormat(request, definition.FILETYPE); p != RequestProblem::None) return p;
    return completeImportRequest(request);
}

RequestProblem loadImportDefinition(ULONG id, ImportRequest& request) {
    RequestProblem problem = RequestProblem::None;
    TableScope definitions({&BATFile, &FLIFile});
    BATFile.clear();
    BAT.ID = id;
    std::optional<BATRecord> definition;
    if (BATFile.get(BAT_IDKEY) == StorageStatus::Ok) definition = BAT;
    std::vector<std::string> fileEntries;
    if (definition) {
        FLIFile.clear();
        FLI.ID = id;
        FLIFile.setAt(FLI_IDKEY);
        while (FLIFile.next() == StorageStatus::Ok && FLI.ID == id) fileEntries.push_back(FLI.FILESPEC.str());
    }
    definitions.release();
    if (!definition) problem = RequestProblem::NoSuchDefinition;
    else problem = importRequestFromDefinition(*definition, fileEntries, request);
    if (problem != RequestProblem::None && Mem.DoTask == TaskRunning) Mem.DoTask = TaskFailed;
    return problem;
}

}  // namespace pm
