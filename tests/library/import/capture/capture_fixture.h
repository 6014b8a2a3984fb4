#pragma once
// An installation for capture-file imports: runs an import of sample files
// through the whole driver and renders what the databases then hold as
// short canonical lines.
#include <string>
#include <vector>

#include "import/driver/import_run.h"
#include "support/installation_fixture.h"

namespace pm::test {

// The sample files written for these tests (tests/data/capture/...).
std::string captureSample(const std::string& relative);

// The folder of real capture files: POSTMOOR_CORPORA (environment) or the
// compiled-in corpora folder, then "compuserve"; "" when it is absent.
std::string compuserveCorpus();

struct CaptureImport {
    std::string target;   // forum database for formats that do not name the forum ("" = none)
    std::string mailbox;  // mail database; mail is imported when set
    bool forum = true;    // import forum messages
    bool reimport = false;
    bool createDatabasesOnly = false;
    int quota = 0;        // 0: the speed setting
};

struct CaptureRun {
    ImportOutcome outcome = ImportOutcome::Completed;
    long long imported = 0;
    long long skipped = 0;
    long long workRecords = 0;  // messages the parsers wrote
};

class CaptureImportTest : public InstallationTest {
protected:
    void SetUp() override;

    // Imports `files` (full paths) as format `formatName`.
    CaptureRun importFiles(const std::string& formatName, const std::vector<std::string>& files,
                           const CaptureImport& how = {});

    // A mail database owned by `address` (with alternative addresses).
    ULONG makeMailbox(const std::string& name, const std::string& address, const std::vector<std::string>& alts = {});

    // FOR:ID of a catalog database; 0 when there is none.
    ULONG databaseId(const std::string& name);
    // Names of the catalog's databases, sorted.
    std::vector<std::string> databaseNames();

    // The forum messages of a database in number order, one line each:
    //   "NUMBER ref REF thread FIRST 'HEADING' SECNO/SECTION FROM -> TO YYYY-MM-DD"
    // where FIRST is the lowest message number of the thread and FROM / TO
    // are "First Last <address>".
    std::vector<std::string> forumMessages(const std::string& database);
    // The mail of a mail database in date order, one line each:
    //   "YYYY-MM-DD HH:MM:SS 'SUBJECT' FROM -> TO"
    std::vector<std::string> mailMessages(const std::string& database);
    // The stored text of a message or mail; "<none>" when there is none.
    std::string messageText(const std::string& database, ULONG number);
    // The mail identifiers of a mail database in date order.
    std::vector<ULONG> mailIds(const std::string& database);
};

}  // namespace pm::test
