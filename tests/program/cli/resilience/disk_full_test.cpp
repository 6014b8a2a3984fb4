// A full disk in every phase of an import and of an indexing run: the disk
// is let run full after more and more bytes (a test hook makes every write
// fail as on a full disk once the process has written that many), and, where
// the machine lets a test mount one, on a small real file system. Whatever
// phase it hits, the run says so, what it prints is what is stored, the
// stores stay whole with counts that match, and a run with room again
// completes as if nothing had happened.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "installation_content.h"
#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm {
namespace {

namespace fs = std::filesystem;
using test::CommandResult;

constexpr int kDiskFullMails = 150;
constexpr long kStep = 20000;  // bytes between two runs of a sweep

class DiskFull : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        test::writeMailbox(work / "in.mbox", kDiskFullMails, "m", true);
        const std::string root = work / "template";
        ASSERT_EQ(test::runProgram(root, "init").code, 0);
        ASSERT_EQ(test::runProgram(root, "db create mail Box --address me@home.example").code, 0);
        copy(root, work / "reference");
        ASSERT_EQ(test::runProgram(work / "reference", import()).code, 0);
        copy(work / "reference", work / "imported");
        ASSERT_EQ(test::runProgram(work / "reference", "index Box").code, 0);
    }

    static void copy(const std::string& from, const std::string& to) {
        fs::remove_all(to);
        fs::copy(from, to, fs::copy_options::recursive);
    }
    std::string import() const {
        return "import --format 'generic mail type 2' --mailbox Box '" + (work / "in.mbox") + "'";
    }

    // What a run that met the full disk left: true to what it said.
    static void expectTruthful(const std::string& root, const CommandResult& r) {
        EXPECT_NE(r.code, 0) << r.out;
        EXPECT_NE(r.err.find("disk is full"), std::string::npos) << r.err;
        test::expectStoresWhole(root);
        const std::string box = test::storeOf(root, "F1");
        const std::string stored = test::storeValue(box, "SELECT count(*) FROM Mail");
        const int count = stored.empty() ? 0 : std::stoi(stored);
        const int printed = test::printedCount(r.out, "imported");
        if (printed >= 0) {
            EXPECT_EQ(printed, count) << r.out;
        }
        EXPECT_EQ(test::storeValue(test::storeOf(root, "CFG"), "SELECT MSGCOUNT FROM Forums"), std::to_string(count));
        if (count > 0) {
            EXPECT_EQ(test::storeValue(box, "SELECT sum(FROMCOUNT) + sum(TOCOUNT) FROM Person"),
                      std::to_string(2 * count));
        }
    }

    // Runs `arguments` on copies of `start` with the disk full after 0,
    // kStep, 2 kStep ... bytes until one run has room enough; each time
    // checks the run and that `arguments` run again with room ends like
    // the reference, as `view` sees it.
    template <class Check, class View>
    void sweep(const std::string& start, const std::string& arguments, Check check, View view) {
        const std::string expected = view(work / "reference");
        int full = 0;
        for (long limit = 0;; limit += kStep) {
            SCOPED_TRACE("disk full after " + std::to_string(limit) + " bytes");
            const std::string root = work / "swept";
            copy(start, root);
            const CommandResult r = test::runProgram(
                root, arguments, "POSTMOOR_TEST_NO_SYNC=1 POSTMOOR_TEST_WRITE_LIMIT=" + std::to_string(limit));
            if (r.code == 0) break;
            ++full;
            check(root, r);
            const CommandResult again = test::runProgram(root, arguments, "POSTMOOR_TEST_NO_SYNC=1");
            ASSERT_EQ(again.code, 0) << again.err;
            EXPECT_EQ(view(root), expected);
            if (HasFailure()) break;
        }
        EXPECT_GT(full, 5);
    }

    test::TempDir work;
};

TEST_F(DiskFull, ImportInEveryPhaseTellsTheTruthAndARunWithRoomCompletes) {
    sweep(work / "template", import(), expectTruthful, test::importedContent);
}

TEST_F(DiskFull, IndexingInEveryPhaseKeepsTheIndexWholeAndARunWithRoomCompletes) {
    sweep(work / "imported", "index Box",
          [](const std::string& root, const CommandResult& r) {
              EXPECT_NE(r.code, 0);
              EXPECT_NE(r.err.find("disk is full"), std::string::npos) << r.err;
              test::expectStoresWhole(root);
              // The checkpoint counts what the index holds.
              const std::string box = test::storeOf(root, "F1");
              const std::string held = test::storeValue(box, "SELECT count(*) FROM MasIdx");
              EXPECT_EQ(test::storeValue(test::storeOf(root, "CFG"), "SELECT RECSLASTTIME FROM Forums"),
                        held.empty() ? "0" : held);
          },
          test::wordIndexContent);
}

// Small file systems of their own that run full for real. They need a
// private mount namespace (root, or a container that allows it); the tests
// skip elsewhere.
class SmallDisk : public DiskFull {
protected:
    void SetUp() override {
        DiskFull::SetUp();
        if (IsSkipped()) return;
        if (std::system("unshare -m --propagation private true >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no private mount namespace here";
    }

    enum class Outcome { Ran, TooSmall, NoMount };

    // Copies `start` to `root`, puts `mounted` (root or a folder of it) on a
    // file system of `kilobytes`, and runs the import there; what the small
    // disk held afterwards is copied back to `root`, the run's result to `r`.
    Outcome importOnSmallDisk(const std::string& start, const std::string& root, const std::string& mounted,
                              long kilobytes, CommandResult& r) {
        copy(start, root);
        const std::string saved = work / "saved", after = work / "after";
        copy(mounted, saved);
        fs::remove_all(after);
        const std::string program = std::string(POSTMOOR_BIN_DIR) + "/pmoor32";
        // The run happens inside the namespace; the disk's content is copied
        // out before the namespace (and the mount) go.
        const std::string script = "mount -t tmpfs -o size=" + std::to_string(kilobytes) + "k tmpfs '" + mounted +
                                   "' || exit 77; cp -a '" + saved + "/.' '" + mounted + "/' || exit 78; '" + program +
                                   "' --root '" + root + "' " + import() + " >'" + (work / "out") + "' 2>'" +
                                   (work / "err") + "'; echo \\$? >'" + (work / "code") + "'; cp -a '" + mounted +
                                   "' '" + after + "'";
        const int status = std::system(("unshare -m --propagation private sh -c \"" + script + "\"").c_str());
        if (WEXITSTATUS(status) == 77) return Outcome::NoMount;
        if (WEXITSTATUS(status) == 78) return Outcome::TooSmall;
        r = {std::stoi(test::readFile(work / "code")), test::readFile(work / "out"), test::readFile(work / "err")};
        fs::remove_all(mounted);
        fs::copy(after, mounted, fs::copy_options::recursive);
        return Outcome::Ran;
    }
};

TEST_F(SmallDisk, AFullDatabaseFolderStopsTheImportWithWhatItSaid) {
    const std::string root = work / "small";
    CommandResult r;
    const Outcome outcome = importOnSmallDisk(work / "template", root, root + "/F1", 200, r);
    if (outcome == Outcome::NoMount) GTEST_SKIP() << "cannot mount a file system here";
    ASSERT_EQ(outcome, Outcome::Ran);
    expectTruthful(root, r);
    EXPECT_LT(std::stoi(test::storeValue(test::storeOf(root, "F1"), "SELECT count(*) FROM Mail")), kDiskFullMails);
}

// The whole installation (work files, catalog, database) on disks of
// growing size: the disk runs full in one phase after another; each run
// tells the truth, and run again with room it ends like the reference.
TEST_F(SmallDisk, AFullInstallationInEveryPhaseTellsTheTruthAndARunWithRoomCompletes) {
    const std::string expected = test::importedContent(work / "reference");
    long kilobytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(work / "template"))
        if (entry.is_regular_file()) kilobytes += static_cast<long>((entry.file_size() + 4095) / 4096 * 4);
    int full = 0;
    for (;; kilobytes += 16) {
        SCOPED_TRACE("a disk of " + std::to_string(kilobytes) + " KiB");
        const std::string root = work / "small";
        CommandResult r;
        const Outcome outcome = importOnSmallDisk(work / "template", root, root, kilobytes, r);
        if (outcome == Outcome::NoMount) GTEST_SKIP() << "cannot mount a file system here";
        if (outcome == Outcome::TooSmall) continue;
        if (r.code == 0) break;
        ++full;
        if (r.err.find("This may be too little for the temporary importfile") != std::string::npos) {
            // Refused before it began, since the disk has too little room.
            EXPECT_EQ(test::printedCount(r.out, "imported"), 0) << r.out;
            test::expectStoresWhole(root);
        } else {
            expectTruthful(root, r);
        }
        const CommandResult again = test::runProgram(root, import(), "POSTMOOR_TEST_NO_SYNC=1");
        ASSERT_EQ(again.code, 0) << again.err;
        EXPECT_EQ(test::importedContent(root), expected);
        if (HasFailure() || full > 40) break;
    }
    EXPECT_GT(full, 3);
}

}  // namespace
}  // namespace pm
