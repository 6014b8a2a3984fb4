#pragma once
// An installation with the block format registered, source files in
// root/in, and look-ups of what an import left in the databases.
#include <string>
#include <vector>

#include "import/driver/import_request.h"
#include "import/driver/import_run.h"
#include "support/block_format.h"
#include "support/installation_fixture.h"

namespace pm::test {

class ImportTest : public InstallationTest {
protected:
    void SetUp() override;

    // Writes a source file in root/in; returns its full name.
    std::string source(const std::string& name, const std::vector<BlockMessage>& messages);
    // A request for the block format over the named files (method 2),
    // forum and newsgroup messages wanted.
    ImportRequest request(const std::vector<std::string>& files, int format = BlockStreamFormat);
    // Runs a request to its end.
    ImportOutcome run(const ImportRequest& request, ImportOptions options = {});

    // Catalog look-ups (0 / false when absent).
    ULONG databaseId(const std::string& name);
    ULONG directoryNumber(const std::string& name);
    long long catalogCount();
    ULONG messageCountField(const std::string& name);
    // Header records in the database's MsgNmbr, and whether one holds `number`.
    long long headerCount(const std::string& name);
    bool hasHeader(const std::string& name, ULONG number);
    // Records of a table of the database (by registry number).
    long long tableRecords(const std::string& name, int table);
    // The sender count of the person whose person string begins with `who`.
    ULONG sentCount(const std::string& database, const std::string& who);
    // The counter in Control record 1.
    ULONG counter();
    // Sets catalog fields of a database.
    void setNoImport(const std::string& name, bool noImport);
    void setRedirect(const std::string& name, ULONG target);
    void setDirectoryNumber(const std::string& name, ULONG dir);
    // Whether the work files are still in the temporary directory.
    bool workFilesExist();

    std::string inDir;
    BlockFormatScope formats;
};

}  // namespace pm::test
