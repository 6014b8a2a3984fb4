// A read-only installation (a read-only mount, as a workgroup may share an
// archive on a CD or a write-protected share): reading commands work and
// print what they print on a writable one; writing commands say that the
// installation is read-only, and the work that writes refuses to start in
// the engine too, so the windows say it as well.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/globals.h"
#include "import/driver/import_run.h"
#include "support/command_runner.h"
#include "support/installation_fixture.h"
#include "support/mailbox_file.h"
#include "support/test_root.h"
#include "tables/access/open_close.h"
#include "tables/catalog/database_creation.h"
#include "tables/identifiers/next_id_check.h"
#include "wordindex/index_run.h"

namespace pm {
namespace {

namespace fs = std::filesystem;
using test::CommandResult;

class ReadOnlyInstallation : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        if (std::system("unshare -m --propagation private true >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no private mount namespace here";
        test::writeMailbox(work / "in.mbox", 40);
        ASSERT_EQ(test::runProgram(root(), "init").code, 0);
        ASSERT_EQ(test::runProgram(root(), "db create mail Box --address me@home.example").code, 0);
        ASSERT_EQ(test::runProgram(root(), import()).code, 0);
        ASSERT_EQ(test::runProgram(root(), "index Box").code, 0);
        fs::create_directory(work / "tmp");
    }
    std::string root() const { return work / "root"; }
    std::string import() const {
        return "import --format 'generic mail type 2' --mailbox Box '" + (work / "in.mbox") + "'";
    }

    // Runs each command on the installation mounted read-only (in a mount
    // namespace of its own, gone afterwards).
    std::vector<CommandResult> readOnly(const std::vector<std::string>& commands) {
        std::string script = "mount --bind '" + root() + "' '" + root() + "' && mount -o remount,ro,bind '" + root() +
                             "' '" + root() + "' || exit 77; ";
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const std::string out = work / ("r" + std::to_string(i));
            script += "TMPDIR='" + (work / "tmp") + "' " + std::string(POSTMOOR_BIN_DIR) + "/pmoor32 --root '" +
                      root() + "' " + commands[i] + " >'" + out + ".out' 2>'" + out + ".err'; echo \\$? >'" + out +
                      ".code'; ";
        }
        const int status = std::system(("unshare -m --propagation private sh -c \"" + script + "\"").c_str());
        std::vector<CommandResult> results;
        if (WEXITSTATUS(status) == 77) return results;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const std::string out = work / ("r" + std::to_string(i));
            results.push_back({std::stoi(test::readFile(out + ".code")), test::readFile(out + ".out"),
                               test::readFile(out + ".err")});
        }
        return results;
    }

    test::TempDir work;
};

TEST_F(ReadOnlyInstallation, ReadingCommandsWorkAndWritingCommandsSaySo) {
    const std::vector<std::string> reading = {"db list", "search Box lantern --all", "show Box 250010",
                                              "words Box --top 3", "config get 30"};
    std::vector<CommandResult> writable;
    for (const std::string& c : reading) writable.push_back(test::runProgram(root(), c));
    const std::vector<std::string> writing = {import(), "index Box --full", "db create forum Other",
                                              "db create mail Other --address x@example.com", "config set 30 5",
                                              "nextid-check"};
    std::vector<std::string> all = reading;
    all.insert(all.end(), writing.begin(), writing.end());
    const std::vector<CommandResult> results = readOnly(all);
    if (results.empty()) GTEST_SKIP() << "cannot mount read-only here";

    for (std::size_t i = 0; i < reading.size(); ++i) {
        SCOPED_TRACE(reading[i]);
        EXPECT_EQ(results[i].code, 0) << results[i].err;
        EXPECT_EQ(results[i].out, writable[i].out);
    }
    for (std::size_t i = 0; i < writing.size(); ++i) {
        const CommandResult& r = results[reading.size() + i];
        SCOPED_TRACE(writing[i]);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "pmoor32: the installation at " + root() +
                             " is read-only: it can be read (db list, search, show ...), not changed\n");
    }
    // The work data of the readers went to directories of their own, and
    // went with them.
    EXPECT_TRUE(fs::is_empty(work / "tmp"));
    EXPECT_EQ(test::runProgram(root(), "db list").out, writable[0].out);
}

// The engine's own refusals: what the windows show on such an installation.
class ReadOnlyEngine : public test::InstallationTest {};

TEST_F(ReadOnlyEngine, WorkThatWritesRefusesToStart) {
    const ULONG id = makeDatabase(TypeForum, "Forum");
    closeAllTables();
    Mem.ReadOnly = true;
    const std::string refused = "The installation at " + Mem.Net + " is read-only!\r\n";

    ImportRequest request;
    request.format = 26;
    request.formatName = "Generic Mail Type 1";
    ImportRun run(request);
    EXPECT_EQ(run.runToEnd(), ImportOutcome::Refused);
    EXPECT_TRUE(ui.sawText(refused + "Import will not proceed!"));

    IndexRun index(id, TypeForum);
    EXPECT_EQ(runToEnd(index), JobStatus::Failed);
    EXPECT_TRUE(ui.sawText(refused + "Indexing will not proceed!"));

    NextIdCheck check;
    EXPECT_EQ(runToEnd(check), JobStatus::Failed);
    EXPECT_TRUE(ui.sawText(refused + "The Next ID check will not proceed!"));

    OP_CLOSE(OpenShared, {2, 8});
    EXPECT_EQ(createDatabase(TypeForum, "Other"), 0u);
    EXPECT_TRUE(ui.sawText(refused + "The new database will not proceed!"));
    OP_CLOSE(ReleaseTable, {2, 8});
    Mem.ReadOnly = false;
}

}  // namespace
}  // namespace pm
