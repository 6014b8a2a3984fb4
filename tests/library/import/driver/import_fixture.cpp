#include "import/driver/import_settings.h"
#include "tables/config/settings.h"
#include "import_fixture.h"

#include <filesystem>

#include "common/globals.h"
#include "tables/access/file_functions.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/registry.h"
#include "support/catalog_inspection.h"

namespace pm::test {

namespace {

bool readCatalog(const std::string& name) {
    Forums.clear();
    FOR.DESCRIPTION = name;
    return Forums.get(FOR_AlphaKey) == StorageStatus::Ok;
}

// Runs `body` with the catalog open and record `name` in the FOR buffer,
// writing it back when `write` is set.
template <typename F>
void withCatalogRecord(const std::string& name, bool write, F body) {
    OP_CLOSE(OpenShared, {2});
    const bool found = readCatalog(name);
    EXPECT_TRUE(found) << name;
    if (found) {
        body();
        if (write) {
            EXPECT_EQ(Forums.put(), StorageStatus::Ok);
        }
    }
    OP_CLOSE(ReleaseTable, {2});
}

}  // namespace

void ImportTest::SetUp() {
    InstallationTest::SetUp();
    setConfigValue(kShowCompletionTimeItem, 2);  // no completion-time box unless a test asks for it
    inDir = root / "in";
    std::filesystem::create_directories(inDir);
}

std::string ImportTest::source(const std::string& name, const std::vector<BlockMessage>& messages) {
    const std::string path = inDir + "/" + name;
    writeTextFile(path, blockText(messages));
    return path;
}

ImportRequest ImportTest::request(const std::vector<std::string>& files, int format) {
    ImportRequest r;
    r.importPath = inDir;
    r.selectionMethod = SelectFiles;
    for (const std::string& f : files) r.selectedFiles.push_back(f);
    r.importForum = 1;
    r.importNewsgroup = 1;
    EXPECT_EQ(setRequestFormat(r, format), RequestProblem::None);
    EXPECT_EQ(completeImportRequest(r), RequestProblem::None);
    return r;
}

ImportOutcome ImportTest::run(const ImportRequest& r, ImportOptions options) {
    ImportRun importRun(r, std::move(options));
    return importRun.runToEnd();
}

ULONG ImportTest::databaseId(const std::string& name) { return catalogEntry(name).id; }

ULONG ImportTest::directoryNumber(const std::string& name) {
    OP_CLOSE(OpenShared, {2});
    const ULONG dir = readCatalog(name) ? FOR.DIRNUMBER : 0;
    OP_CLOSE(ReleaseTable, {2});
    return dir;
}

long long ImportTest::catalogCount() {
    OP_CLOSE(OpenShared, {2});
    const long long n = Forums.records();
    OP_CLOSE(ReleaseTable, {2});
    return n;
}

ULONG ImportTest::messageCountField(const std::string& name) {
    ULONG count = 0;
    withCatalogRecord(name, false, [&] { count = FOR.MSGCOUNT; });
    return count;
}

long long ImportTest::tableRecords(const std::string& name, int table) {
    const ULONG id = databaseId(name);
    if (id == 0 || !activateDatabase(id)) return -1;
    OP_CLOSE(OpenShared, {table});
    const long long n = tableByNumber(table)->records();
    OP_CLOSE(ReleaseTable, {table});
    return n;
}

long long ImportTest::headerCount(const std::string& name) { return tableRecords(name, 3); }

bool ImportTest::hasHeader(const std::string& name, ULONG number) {
    const ULONG id = databaseId(name);
    if (id == 0 || !activateDatabase(id)) return false;
    OP_CLOSE(OpenShared, {3});
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    const bool found = MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
    OP_CLOSE(ReleaseTable, {3});
    return found;
}

ULONG ImportTest::sentCount(const std::string& database, const std::string& who) {
    const ULONG id = databaseId(database);
    if (id == 0 || !activateDatabase(id)) return 0;
    OP_CLOSE(OpenShared, {5});
    ULONG sent = 0;
    Person.setPhysical();
    while (Person.next() == StorageStatus::Ok)
        if (PER.PERSONSTRING.str().rfind(who, 0) == 0) sent = PER.FROMCOUNT;
    OP_CLOSE(ReleaseTable, {5});
    return sent;
}

ULONG ImportTest::counter() {
    OP_CLOSE(OpenShared, {8});
    Control.clear();
    CTL.ID = 1;
    const ULONG n = Control.get(CTL_IdKey) == StorageStatus::Ok ? CTL.NEXTNUMBER : 0;
    OP_CLOSE(ReleaseTable, {8});
    return n;
}

void ImportTest::setNoImport(const std::string& name, bool noImport) {
    withCatalogRecord(name, true, [&] { FOR.NOIMPORT = noImport ? 1 : 0; });
}

void ImportTest::setRedirect(const std::string& name, ULONG target) {
    withCatalogRecord(name, true, [&] { FOR.REDIRNOW = target; });
}

void ImportTest::setDirectoryNumber(const std::string& name, ULONG dir) {
    withCatalogRecord(name, true, [&] { FOR.DIRNUMBER = dir; });
}

bool ImportTest::workFilesExist() {
    return DOSFunc(FileExists, Mem.TempDir + "/IDX010.TPS") || DOSFunc(FileExists, Mem.TempDir + "/IDX019.TPS") ||
           DOSFunc(FileExists, Mem.TempDir + "/IDX024.TPS");
}

}  // namespace pm::test
