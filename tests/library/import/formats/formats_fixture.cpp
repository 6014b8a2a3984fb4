#include "formats_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/globals.h"
#include "import/driver/format_table.h"
#include "import/driver/import_request.h"
#include "support/catalog_inspection.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/mail_database.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm::test {

namespace {

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ULONG catalogId(const std::string& name, BYTE& type) {
    const CatalogEntry entry = catalogEntry(name);
    type = entry.type;
    return entry.id;
}

void readPerson(ULONG id, std::string& name, std::string& address) {
    Person.clear();
    PER.PERSONID = id;
    if (id != 0 && Person.get(PER_PersonKey) == StorageStatus::Ok) {
        name = PER.LASTNAME.str();
        address = PER.ADDRESS.str();
    }
}

std::string textOf(ULONG number) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    return MsgText.get(TXT_IdKey) == StorageStatus::Ok ? TXT.MsgText : std::string();
}

}  // namespace

std::size_t DatabaseContents::senders() const {
    std::set<ULONG> ids;
    for (const StoredMessage& m : messages) ids.insert(m.senderId);
    return ids.size();
}

std::size_t DatabaseContents::dated() const {
    return static_cast<std::size_t>(
        std::count_if(messages.begin(), messages.end(), [](const StoredMessage& m) { return m.date != 0; }));
}

std::set<std::string> DatabaseContents::subjects() const {
    std::set<std::string> all;
    for (const StoredMessage& m : messages) all.insert(m.subject);
    return all;
}

const StoredMessage* DatabaseContents::bySubject(const std::string& subject) const {
    for (const StoredMessage& m : messages)
        if (m.subject == subject) return &m;
    return nullptr;
}

std::string sampleFile(const std::string& relative) { return std::string(POSTMOOR_TEST_DATA) + "/" + relative; }

void FormatImportTest::SetUp() {
    InstallationTest::SetUp();
    mailbox = createMailDatabase("Inbox", "me@home.example", {"me@work.example"});
    ASSERT_NE(mailbox, 0u);
}

ImportRequest FormatImportTest::requestFor(const std::string& format, const std::vector<std::string>& files,
                                           bool allowReimport) {
    ImportRequest r;
    const FormatEntry* entry = formatByName(format);
    EXPECT_NE(entry, nullptr) << format;
    if (!entry) return r;
    r.selectionMethod = SelectFiles;
    r.importPath = root.path();
    for (const std::string& f : files) r.selectedFiles += (r.selectedFiles.empty() ? "" : ";") + f;
    r.importForum = (entry->kinds & KindForum) ? 1 : 0;
    r.importNewsgroup = (entry->kinds & KindNews) ? 1 : 0;
    r.importMail = (entry->kinds & KindMail) ? 1 : 0;
    r.mailbox = r.importMail ? static_cast<LONG>(mailbox) : 0;
    r.allowReimport = allowReimport ? 1 : 0;
    EXPECT_EQ(setRequestFormat(r, entry->number), RequestProblem::None);
    EXPECT_EQ(completeImportRequest(r), RequestProblem::None);
    return r;
}

ImportCounts FormatImportTest::import(const std::string& format, const std::vector<std::string>& files, int quota,
                                      bool allowReimport) {
    if (!formatByName(format)) {
        ADD_FAILURE() << format;
        return {};
    }
    return run(requestFor(format, files, allowReimport), quota);
}

ImportCounts FormatImportTest::run(const ImportRequest& request, int quota) {
    ImportOptions options;
    options.quota = quota;
    ImportRun importRun(request, options);
    ImportCounts counts;
    counts.outcome = importRun.runToEnd();
    counts.imported = importRun.progress().imported;
    counts.skipped = importRun.progress().skipped;
    counts.workRecords = importRun.progress().workRecords;
    return counts;
}

DatabaseContents FormatImportTest::contents(const std::string& database) {
    DatabaseContents out;
    BYTE type = 0;
    const ULONG id = catalogId(database, type);
    if (id == 0 || !activateDatabase(id)) return out;
    out.found = true;
    if (type == TypeMail) {
        OP_CLOSE(OpenShared, {13, 4, 5});
        Mail.setPhysical();
        while (Mail.next() == StorageStatus::Ok) {
            StoredMessage m;
            m.number = MAI.MAILID;
            m.subject = MAI.SUBJECT.str();
            m.senderId = MAI.FROMID;
            m.receiverId = MAI.TOID;
            m.date = MAI.DATE;
            m.time = MAI.TIME;
            out.messages.push_back(m);
        }
        OP_CLOSE(ReleaseTable, {13});
    } else {
        OP_CLOSE(OpenShared, {3, 4, 5, 7});
        MsgNmbr.setPhysical();
        while (MsgNmbr.next() == StorageStatus::Ok) {
            StoredMessage m;
            m.number = MSG.MSGNUMBER;
            m.ref = MSG.REFNUMBER;
            m.thread = MSG.THREADNUMBER;
            m.senderId = MSG.FROMID;
            m.receiverId = MSG.TOID;
            m.date = MSG.DATE;
            out.messages.push_back(m);
        }
        out.threads = Threads.records();
        for (StoredMessage& m : out.messages) {
            Threads.clear();
            THR.THREADNUMBER = m.thread;
            if (Threads.get(THR_ThreadKey) == StorageStatus::Ok) m.subject = THR.HEADING.str();
        }
        OP_CLOSE(ReleaseTable, {3, 7});
    }
    for (StoredMessage& m : out.messages) {
        readPerson(m.senderId, m.senderName, m.senderAddress);
        readPerson(m.receiverId, m.receiverName, m.receiverAddress);
        m.text = textOf(m.number);
    }
    OP_CLOSE(ReleaseTable, {4, 5});
    std::stable_sort(out.messages.begin(), out.messages.end(), [](const StoredMessage& a, const StoredMessage& b) {
        return a.date != b.date ? a.date < b.date : a.time != b.time ? a.time < b.time : a.number < b.number;
    });
    return out;
}

std::vector<std::string> FormatImportTest::databases() { return catalogNames(); }

std::string FormatImportTest::logText() { return readWhole(Mem.TempDir + "/Log.txt"); }

}  // namespace pm::test
