#include "capture_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "common/dates.h"
#include "import/driver/format_table.h"
#include "import/driver/import_request.h"
#include "import/driver/import_settings.h"
#include "support/catalog_inspection.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/mail_database.h"
#include "tables/config/settings.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm::test {

namespace {

std::string isoDate(LONG day) {
    const CalendarDate d = calendarDate(day);
    if (d.year == 0) return "no-date";
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

std::string clock(LONG time) {
    const TimeOfDay t = timeOfDay(time);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

// "First Last <address>" of a person; Person must be open.
std::string personText(ULONG id) {
    Person.clear();
    PER.PERSONID = id;
    if (Person.get(PER_PersonKey) != StorageStatus::Ok) return "?" + std::to_string(id);
    std::string name = PER.FIRSTNAME.str();
    if (!name.empty() && !PER.LASTNAME.empty()) name += ' ';
    name += PER.LASTNAME.str();
    return name + " <" + PER.ADDRESS.str() + ">";
}

bool activate(ULONG id) { return id != 0 && activateDatabase(id); }

}  // namespace

std::string captureSample(const std::string& relative) { return std::string(POSTMOOR_TEST_DATA) + "/capture/" + relative; }

std::string compuserveCorpus() {
    const char* env = std::getenv("POSTMOOR_CORPORA");
    const std::string folder = std::string(env && *env ? env : POSTMOOR_CORPORA) + "/compuserve";
    return std::filesystem::is_directory(folder) ? folder : std::string();
}

void CaptureImportTest::SetUp() {
    InstallationTest::SetUp();
    setConfigValue(kShowCompletionTimeItem, 2);  // no completion-time box
}

CaptureRun CaptureImportTest::importFiles(const std::string& formatName, const std::vector<std::string>& files,
                                          const CaptureImport& how) {
    const FormatEntry* format = formatByName(formatName);
    EXPECT_NE(format, nullptr) << formatName;
    if (!format) return {ImportOutcome::Refused, 0, 0};
    ImportRequest r;
    r.selectionMethod = SelectFiles;
    r.importPath = std::filesystem::path(files.front()).parent_path().string();
    for (const std::string& f : files) r.selectedFiles += (r.selectedFiles.empty() ? "" : ";") + f;
    r.importForum = how.forum ? 1 : 0;
    r.importMail = how.mailbox.empty() ? 0 : 1;
    r.allowReimport = how.reimport ? 1 : 0;
    r.messageFilter = how.createDatabasesOnly ? FilterCreateDatabasesOnly : 0;
    if (!how.mailbox.empty()) r.mailbox = static_cast<LONG>(databaseId(how.mailbox));
    if (!how.target.empty()) r.targetDatabase = static_cast<LONG>(databaseId(how.target));
    EXPECT_EQ(setRequestFormat(r, format->number), RequestProblem::None);
    EXPECT_EQ(completeImportRequest(r), RequestProblem::None);
    ImportOptions options;
    options.quota = how.quota;
    ImportRun run(r, options);
    CaptureRun result;
    result.outcome = run.runToEnd();
    result.imported = run.progress().imported;
    result.skipped = run.progress().skipped;
    result.workRecords = run.progress().workRecords;
    return result;
}

ULONG CaptureImportTest::makeMailbox(const std::string& name, const std::string& address,
                                     const std::vector<std::string>& alts) {
    const ULONG id = createMailDatabase(name, address, alts);
    EXPECT_NE(id, 0u) << name;
    return id;
}

ULONG CaptureImportTest::databaseId(const std::string& name) { return catalogEntry(name).id; }

std::vector<std::string> CaptureImportTest::databaseNames() { return catalogNames(); }

std::vector<std::string> CaptureImportTest::forumMessages(const std::string& database) {
    std::vector<std::string> lines;
    if (!activate(databaseId(database))) return {"no database " + database};
    OP_CLOSE(OpenShared, {3, 5, 6, 7});
    std::vector<MsgNmbrRecord> headers;
    MsgNmbr.setPhysical();
    while (MsgNmbr.next() == StorageStatus::Ok) headers.push_back(MSG);
    std::sort(headers.begin(), headers.end(), [](auto& a, auto& b) { return a.MSGNUMBER < b.MSGNUMBER; });
    std::map<ULONG, ULONG> threadStart;
    for (const MsgNmbrRecord& m : headers) threadStart.emplace(m.THREADNUMBER, m.MSGNUMBER);
    for (const MsgNmbrRecord& m : headers) {
        Sections.clear();
        SEC.SECSYSID = m.SECSYSID;
        std::string section = "?";
        if (Sections.get(SEC_SysIdKey) == StorageStatus::Ok)
            section = std::to_string(SEC.SECTIONNUMBER) + "/" + SEC.DESCRIPTION.str();
        Threads.clear();
        THR.THREADNUMBER = m.THREADNUMBER;
        const std::string heading = Threads.get(THR_ThreadKey) == StorageStatus::Ok ? THR.HEADING.str() : "?";
        lines.push_back(std::to_string(m.MSGNUMBER) + " ref " + std::to_string(m.REFNUMBER) + " thread " +
                        std::to_string(threadStart[m.THREADNUMBER]) + " '" + heading + "' " + section + " " +
                        personText(m.FROMID) + " -> " + personText(m.TOID) + " " + isoDate(m.DATE));
    }
    OP_CLOSE(ReleaseTable, {3, 5, 6, 7});
    return lines;
}

std::vector<std::string> CaptureImportTest::mailMessages(const std::string& database) {
    std::vector<std::string> lines;
    if (!activate(databaseId(database))) return {"no database " + database};
    OP_CLOSE(OpenShared, {5, 13});
    std::vector<MailRecord> mails;
    Mail.setPhysical();
    while (Mail.next() == StorageStatus::Ok) mails.push_back(MAI);
    std::stable_sort(mails.begin(), mails.end(), [](auto& a, auto& b) {
        return a.DATE != b.DATE ? a.DATE < b.DATE : a.TIME < b.TIME;
    });
    for (const MailRecord& m : mails)
        lines.push_back(isoDate(m.DATE) + " " + clock(m.TIME) + " '" + m.SUBJECT.str() + "' " + personText(m.FROMID) +
                        " -> " + personText(m.TOID));
    OP_CLOSE(ReleaseTable, {5, 13});
    return lines;
}

std::vector<ULONG> CaptureImportTest::mailIds(const std::string& database) {
    std::vector<ULONG> ids;
    if (!activate(databaseId(database))) return ids;
    OP_CLOSE(OpenShared, {13});
    std::vector<std::pair<std::pair<LONG, LONG>, ULONG>> mails;
    Mail.setPhysical();
    while (Mail.next() == StorageStatus::Ok) mails.push_back({{MAI.DATE, MAI.TIME}, MAI.MAILID});
    OP_CLOSE(ReleaseTable, {13});
    std::stable_sort(mails.begin(), mails.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (auto& m : mails) ids.push_back(m.second);
    return ids;
}

std::string CaptureImportTest::messageText(const std::string& database, ULONG number) {
    if (!activate(databaseId(database))) return "<none>";
    OP_CLOSE(OpenShared, {4});
    MsgText.clear();
    TXT.MSGNUMBER = number;
    const std::string text = MsgText.get(TXT_IdKey) == StorageStatus::Ok ? TXT.MsgText : "<none>";
    OP_CLOSE(ReleaseTable, {4});
    return text;
}

}  // namespace pm::test
