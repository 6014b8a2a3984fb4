#include "import/outlook/outlook_import.h"

#include <algorithm>
#include <filesystem>

#include "import/driver/import_request.h"
#include "import/internet/text_assembly.h"
#include "import/internet/text_case.h"
#include "import/navigator/navigator_message.h"
#include "import/navigator/run_log.h"
#include "import/outlook/pff_access.h"

namespace pm::outlook {

namespace {

constexpr int kItemsPerCall = 10;
constexpr const char* kUnknown = "Unknown";

const char* recipientKind(int type) {
    switch (type) {
        case CcRecipient: return "CC";
        case BccRecipient: return "BC";
        default: return "TO";
    }
}

// Internet addresses are kept in lower case, as every mail importer keeps
// them; other addresses (an Exchange name) stay as they are.
std::string mailAddress(const std::optional<std::string>& address) {
    const std::string a = address.value_or("");
    return a.find('@') != std::string::npos ? inet::lowerCase(a) : a;
}

// One mail item as the import reads it from the object model.
navigator::NavigatorMessage readItem(const MailItem& item) {
    navigator::NavigatorMessage m;
    m.mail = true;
    m.subject = item.subject().value_or("");
    const std::string senderName = item.senderName().value_or("");
    m.text = navigator::messageText(item.body(inet::MaxMessageText).value_or(""));
    // The time the mail was sent says when it was written; the store's
    // creation time is only when it came into this folder file.
    std::optional<DateTime> when = item.sentOn();
    if (!when) when = item.receivedTime();
    if (!when) when = item.creationTime();
    if (when) {
        m.date = when->date;
        m.time = when->time;
    }
    bool haveReceiver = false;
    for (const Recipient& r : item.recipients()) {
        const int type = r.type.value_or(-1);
        if (type == Originator && m.senderAddress.empty() && m.senderName.empty()) {
            m.senderAddress = mailAddress(r.address);
            m.senderName = r.name.value_or("");
        } else if (type >= ToRecipient && type <= BccRecipient) {
            if (type == ToRecipient && !haveReceiver) {
                m.receiverAddress = mailAddress(r.address);
                m.receiverName = r.name.value_or("");
                haveReceiver = true;
            }
            m.recipients.push_back({r.name.value_or(""), r.address.value_or(""), recipientKind(type)});
        }
    }
    if (m.senderAddress.empty() && m.senderName.empty()) {
        // Outlook names the sender of a reply's first recipient; the reply
        // is never saved.
        if (const std::unique_ptr<MailItem> reply = item.reply()) {
            const std::vector<Recipient> to = reply->recipients();
            if (!to.empty()) {
                m.senderAddress = mailAddress(to.front().address);
                m.senderName = to.front().name.value_or("");
            }
        }
    }
    if (m.senderAddress.empty()) {
        if (!m.senderName.empty()) {
            m.senderAddress = m.senderName;
            m.senderName = kUnknown;
        } else {
            m.senderAddress = kUnknown;
            m.senderName = senderName.empty() ? kUnknown : senderName;
        }
    }
    return m;
}

class OutlookParser final : public FormatParser {
public:
    bool parse(ParserCall& call) override {
        if (call.step == FirstCall) {
            call.step = ContinueParsing;
            connection_ = dynamic_cast<OutlookConnection*>(call.automation);
            const FolderEntry* entry = connection_ ? connection_->folder(call.fileName) : nullptr;
            if (!entry) return true;
            count_ = entry->itemCount;
        }
        FolderEntry* entry = connection_ ? connection_->folder(call.fileName) : nullptr;
        if (!entry) return true;
        for (int n = 0; n < std::min(kItemsPerCall, call.quota) && next_ <= count_; ++n) {
            const std::unique_ptr<MailItem> item = entry->folder->item(next_++);
            call.progress += 1;
            if (!item) {
                navigator::logLine(call, "Outlook folder " + call.fileName + ": item " + std::to_string(next_ - 1) +
                                             " cannot be read");
                capture::countSkipped(call);
                continue;
            }
            navigator::NavigatorMessage m = readItem(*item);
            if (!navigator::storeNavigatorMessage(call, m, register_)) return true;
        }
        if (next_ <= count_) return false;
        connection_->release(call.fileName);
        return true;
    }

private:
    OutlookConnection* connection_ = nullptr;
    int next_ = 1;
    int count_ = 0;
    capture::ImportRegister register_;  // mail is never looked up in it
};

}  // namespace

OutlookConnection::OutlookConnection(std::unique_ptr<Session> session, std::vector<FolderEntry> folders)
    : session_(std::move(session)), folders_(std::move(folders)) {}

OutlookConnection::~OutlookConnection() {
    // Folders hold the session's handles: they go first.
    folders_.clear();
}

std::vector<SourceFile> OutlookConnection::folders() const {
    std::vector<SourceFile> list;
    for (const FolderEntry& f : folders_) list.push_back({f.path, f.itemCount});
    return list;
}

FolderEntry* OutlookConnection::folder(const std::string& name) {
    for (FolderEntry& f : folders_)
        if (f.path == name && f.folder) return &f;
    return nullptr;
}

void OutlookConnection::release(const std::string& name) {
    for (FolderEntry& f : folders_)
        if (f.path == name) f.folder.reset();
}

AutomationResult startOutlook(const ImportRequest& request) {
    AutomationResult result;
    std::error_code ec;
    if (request.importPath.empty() || !std::filesystem::is_regular_file(request.importPath, ec)) {
        result.start = AutomationStart::NotInstalled;
        result.detail = request.importPath.empty()
                            ? "No Outlook folder file is named."
                            : "The Outlook folder file " + request.importPath + " does not exist.";
        return result;
    }
    // Without its reading library no Outlook folder file can be read at all.
    if (!pff::load(result.detail)) {
        result.start = AutomationStart::NotInstalled;
        return result;
    }
    std::unique_ptr<Session> session = Session::open(request.importPath, result.detail);
    if (!session) {
        result.start = AutomationStart::CannotRun;
        return result;
    }
    std::vector<FolderEntry> folders = mailFolders(*session);
    keepSelectedFolders(folders, request.selectedFiles);
    if (folders.empty()) {
        result.start = AutomationStart::NoFolders;
        return result;
    }
    result.start = AutomationStart::Ready;
    result.session = std::make_unique<OutlookConnection>(std::move(session), std::move(folders));
    return result;
}

std::unique_ptr<FormatParser> makeOutlookParser() { return std::make_unique<OutlookParser>(); }

}  // namespace pm::outlook
