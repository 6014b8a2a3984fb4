#pragma once
// Imports of sample files through the real run, and what they left in the
// databases.
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/types.h"
#include "import/driver/import_request.h"
#include "import/driver/import_run.h"
#include "support/corpora.h"
#include "support/installation_fixture.h"

namespace pm::test {

// One stored message as the tests compare it.
struct StoredMessage {
    ULONG number = 0, ref = 0, thread = 0;
    std::string subject;
    ULONG senderId = 0, receiverId = 0;
    std::string senderName, senderAddress;      // last name and address of the person
    std::string receiverName, receiverAddress;
    LONG date = 0, time = 0;
    std::string text;
};

// The messages of one database, oldest first.
struct DatabaseContents {
    bool found = false;
    std::vector<StoredMessage> messages;
    long long threads = 0;  // Threads records (forum, newsgroup)

    std::size_t senders() const;             // distinct senders
    std::size_t dated() const;               // messages with a date
    std::set<std::string> subjects() const;  // distinct subjects
    // The message with this subject (the first one); nullptr when none.
    const StoredMessage* bySubject(const std::string& subject) const;
};

// A sample of tests/data.
std::string sampleFile(const std::string& relative);

struct ImportCounts {
    ImportOutcome outcome = ImportOutcome::Failed;
    long long imported = 0, skipped = 0, workRecords = 0;
};

class FormatImportTest : public InstallationTest {
protected:
    // An installation with the mail database "Inbox" owned by
    // me@home.example (alternative address me@work.example).
    void SetUp() override;

    // The request of import() below.
    ImportRequest requestFor(const std::string& format, const std::vector<std::string>& files,
                             bool allowReimport = false);

    // Imports `files` with the format named `format`: mail into "Inbox"
    // (when the format holds mail), forum messages and news articles as the
    // format holds them. `quota` 0 takes the speed setting.
    ImportCounts import(const std::string& format, const std::vector<std::string>& files, int quota = 0,
                        bool allowReimport = false);
    // Runs `request` to its end (`quota` as above).
    ImportCounts run(const ImportRequest& request, int quota = 0);

    // The messages a database holds (by catalog name).
    DatabaseContents contents(const std::string& database);
    // The catalog names, sorted.
    std::vector<std::string> databases();
    // The run's diagnostic log.
    std::string logText();

    ULONG mailbox = 0;
};

}  // namespace pm::test
