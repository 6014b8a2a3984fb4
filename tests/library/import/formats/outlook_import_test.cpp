// "Outlook Mail" through the real import run over Outlook folder files: for
// every sample folder file the mail items stored are the items the .pst
// library counts in the chosen folders; a missing, damaged or unsuitable
// file ends the run with its message.
#include <libpff/features.h>
#undef LIBPFF_HAVE_BFIO
#include <libpff.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>

#include "common/dates.h"
#include "formats_fixture.h"
#include "import/driver/format_table.h"
#include "import/driver/import_settings.h"
#include "import/outlook/outlook_folders.h"
#include "import/outlook/pff_access.h"
#include "support/block_format.h"
#include "support/corpora.h"
#include "tables/config/settings.h"

namespace pm::test {
namespace {

// Items of the folders named `names`, as the library itself counts them.
int libraryCount(libpff_item_t* folder, const std::set<std::string>& names) {
    int total = 0;
    std::size_t size = 0;
    if (libpff_folder_get_utf8_name_size(folder, &size, nullptr) == 1 && size > 0) {
        std::string name(size, '\0');
        libpff_folder_get_utf8_name(folder, reinterpret_cast<std::uint8_t*>(name.data()), size, nullptr);
        name.resize(size - 1);
        int items = 0;
        if (names.count(name) && libpff_folder_get_number_of_sub_messages(folder, &items, nullptr) == 1) total += items;
    }
    int folders = 0;
    libpff_folder_get_number_of_sub_folders(folder, &folders, nullptr);
    for (int i = 0; i < folders; ++i) {
        libpff_item_t* sub = nullptr;
        if (libpff_folder_get_sub_folder(folder, i, &sub, nullptr) != 1) continue;
        total += libraryCount(sub, names);
        libpff_item_free(&sub, nullptr);
    }
    return total;
}

// The library's own name of the folder a store shows at its top (the
// object layer names it as the store).
std::string topFolderName(libpff_file_t* file) {
    libpff_item_t* store = nullptr;
    if (libpff_file_get_message_store(file, &store, nullptr) != 1) return {};
    std::string id;
    libpff_record_set_t* records = nullptr;
    libpff_record_entry_t* entry = nullptr;
    if (libpff_item_get_record_set_by_index(store, 0, &records, nullptr) == 1 &&
        libpff_record_set_get_entry_by_type(records, 0x35E0, 0, &entry, LIBPFF_ENTRY_VALUE_FLAG_MATCH_ANY_VALUE_TYPE,
                                            nullptr) == 1) {
        id.resize(24);
        libpff_record_entry_get_data(entry, reinterpret_cast<std::uint8_t*>(id.data()), id.size(), nullptr);
        libpff_record_entry_free(&entry, nullptr);
    }
    if (records) libpff_record_set_free(&records, nullptr);
    libpff_item_free(&store, nullptr);
    if (id.size() < 24) return {};
    const auto* p = reinterpret_cast<const unsigned char*>(id.data()) + 20;
    libpff_item_t* top = nullptr;
    std::string name;
    std::size_t size = 0;
    if (libpff_file_get_item_by_identifier(file, p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24), &top, nullptr) ==
            1 &&
        libpff_folder_get_utf8_name_size(top, &size, nullptr) == 1 && size > 0) {
        name.resize(size);
        libpff_folder_get_utf8_name(top, reinterpret_cast<std::uint8_t*>(name.data()), size, nullptr);
        name.resize(size - 1);
    }
    if (top) libpff_item_free(&top, nullptr);
    return name;
}

// Items of the folders named `names` (the store's top folder by the name
// "/"), as the library itself counts them.
int libraryCount(const std::string& path, std::set<std::string> names) {
    libpff_file_t* file = nullptr;
    libpff_file_initialize(&file, nullptr);
    int total = -1;
    if (libpff_file_open(file, path.c_str(), LIBPFF_OPEN_READ, nullptr) == 1) {
        if (names.erase("/")) names.insert(topFolderName(file));
        libpff_item_t* root = nullptr;
        if (libpff_file_get_root_folder(file, &root, nullptr) == 1) {
            total = libraryCount(root, names);
            libpff_item_free(&root, nullptr);
        }
        libpff_file_close(file, nullptr);
    }
    libpff_file_free(&file, nullptr);
    return total;
}

class OutlookImport : public FormatImportTest {
protected:
    void SetUp() override {
        FormatImportTest::SetUp();
        setConfigValue(kShowCompletionTimeItem, 2);  // no completion-time box
        // Item times are shown in local time; the tests read them in UTC.
        setenv("TZ", "UTC", 1);
        tzset();
    }

    ImportCounts importFolders(const std::string& store, const std::vector<std::string>& folders) {
        ImportRequest r = requestFor("Outlook Mail", {});
        r.importPath = store;
        r.selectedFiles = folders;
        return run(r);
    }
};

TEST_F(OutlookImport, EveryMailItemOfTheChosenFoldersBecomesOneWorkRecord) {
    const auto corpora = corporaRoot();
    if (!corpora || !std::filesystem::is_directory(*corpora / "pst")) GTEST_SKIP() << "no sample folder files";
    int files = 0;
    long long total = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(*corpora / "pst")) {
        if (entry.path().extension() != ".pst") continue;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        ++files;
        std::string error;
        const auto session = outlook::Session::open(path, error);
        ASSERT_TRUE(session) << error;
        std::vector<std::string> chosen;
        std::set<std::string> names;
        for (const outlook::FolderEntry& f : outlook::mailFolders(*session)) {
            chosen.push_back(f.path);
            names.insert(f.path.find('/') == std::string::npos ? "/" : f.name);
        }
        const int items = libraryCount(path, names);
        const long long before = static_cast<long long>(contents("Inbox").messages.size());
        ui.clear();
        const ImportCounts counts = importFolders(path, chosen);
        if (chosen.empty()) {
            EXPECT_EQ(counts.outcome, ImportOutcome::Refused);
            EXPECT_TRUE(ui.sawText("Selected Outlook folders no longer exist."));
            continue;
        }
        EXPECT_EQ(counts.outcome, ImportOutcome::Completed);
        EXPECT_EQ(counts.workRecords, items);
        // Items the mail store finds twice (the same mail, time, people and
        // text) are skipped as duplicates; every other item is stored.
        EXPECT_EQ(counts.imported + counts.skipped, items);
        EXPECT_EQ(static_cast<long long>(contents("Inbox").messages.size()) - before, counts.imported);
        total += counts.imported;
    }
    EXPECT_GE(files, 5);
    EXPECT_GE(total, 5);
}

TEST_F(OutlookImport, ChosenFoldersSendersWithoutAddressAndCarbonCopies) {
    const std::string path = corpusFile("pst/iped/test_sample.pst");
    if (path.empty()) GTEST_SKIP() << "sample not present";
    const ImportCounts counts = importFolders(path, {"Caixa de Entrada", "thisisatest/Itens Enviados"});
    EXPECT_EQ(counts.outcome, ImportOutcome::Completed);
    EXPECT_EQ(counts.imported, libraryCount(path, {"Caixa de Entrada", "Itens Enviados"}));
    const DatabaseContents inbox = contents("Inbox");
    const StoredMessage* anonymous = inbox.bySubject("this is a test message");
    ASSERT_NE(anonymous, nullptr);
    EXPECT_EQ(anonymous->senderAddress, "Unknown");
    EXPECT_EQ(anonymous->text, "Hello, this is a test message.\r\n");
    const StoredMessage* github = inbox.bySubject("Re: [sepinf-inc/IPED] WIP Parsers tests (#481)");
    ASSERT_NE(github, nullptr);
    EXPECT_EQ(github->senderAddress, "notifications@github.com");
    EXPECT_EQ(github->date, dayNumber(2021, 4, 26));
}

TEST_F(OutlookImport, AMissingDamagedOrUnsuitableFolderFileEndsTheRunWithItsMessage) {
    const ImportCounts missing = importFolders(root / "absent.pst", {"Inbox"});
    EXPECT_EQ(missing.outcome, ImportOutcome::Refused);
    EXPECT_TRUE(ui.sawText("Fatal error. Outlook cannot be initialized."));

    writeTextFile(root / "text.pst", std::string(4096, 'x'));
    const ImportCounts damaged = importFolders(root / "text.pst", {"Inbox"});
    EXPECT_EQ(damaged.outcome, ImportOutcome::Refused);
    EXPECT_TRUE(ui.sawText("Outlook cannot be run\r\n"));

    const std::string sample = corpusFile("pst/pstsdk/sample1.pst");
    if (sample.empty()) GTEST_SKIP() << "sample not present";
    const ImportCounts gone = importFolders(sample, {"No such folder"});
    EXPECT_EQ(gone.outcome, ImportOutcome::Refused);
    EXPECT_TRUE(ui.sawText("Selected Outlook folders no longer exist."));
    EXPECT_TRUE(contents("Inbox").messages.empty());
}

// The reading library is loaded when the first folder file is opened: when
// it cannot be, the import and the folder choice say so (and name it), and
// once it can, the same file is read as usual.
TEST_F(OutlookImport, AReaderLibraryThatCannotBeLoadedIsNamedAndLaterLoadsWork) {
    const std::string sample = corpusFile("pst/pstsdk/sample1.pst");
    const std::string path = sample.empty() ? root / "any.pst" : sample;
    if (sample.empty()) writeTextFile(path, std::string(4096, 'x'));
    outlook::pff::setLibraryName("libpff-not-installed.so.0");
    const ImportCounts refused = importFolders(path, {"Inbox"});
    EXPECT_EQ(refused.outcome, ImportOutcome::Refused);
    EXPECT_TRUE(ui.sawText("Fatal error. Outlook cannot be initialized."));
    EXPECT_TRUE(ui.sawText("The Outlook folder file reader (libpff-not-installed.so.0) cannot be loaded"));
    std::vector<outlook::FolderChoice> choices;
    std::string detail;
    EXPECT_EQ(outlook::listMailFolders(path, choices, detail), outlook::FolderListing::NotInstalled);
    EXPECT_NE(detail.find("libpff-not-installed.so.0"), std::string::npos) << detail;
    std::string error;
    EXPECT_FALSE(outlook::Session::open(path, error));
    EXPECT_NE(error.find("cannot be loaded"), std::string::npos) << error;

    // A library without the functions the reader calls is refused as well.
    outlook::pff::setLibraryName("libz.so.1");
    EXPECT_FALSE(outlook::pff::load(error));
    EXPECT_NE(error.find("lacks the function libpff_"), std::string::npos) << error;

    outlook::pff::setLibraryName("");
    ASSERT_TRUE(outlook::pff::load(error)) << error;
    if (sample.empty()) GTEST_SKIP() << "sample not present";
    EXPECT_EQ(outlook::listMailFolders(path, choices, detail), outlook::FolderListing::Listed) << detail;
    EXPECT_FALSE(choices.empty());
    EXPECT_TRUE(contents("Inbox").messages.empty());
}

}  // namespace
}  // namespace pm::test
