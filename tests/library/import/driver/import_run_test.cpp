// Import runs end to end through the block format.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli/stderr_user_interface.h"
#include "common/fatal_error.h"
#include "common/globals.h"
#include "import_fixture.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/identifiers/import_reservation.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm::test {
namespace {

using ImportRuns = ImportTest;

TEST_F(ImportRuns, OneDatabasePerForumAcrossFilesWithTheNextDirectoryNumbers) {
    const ULONG existing = makeDatabase(TypeForum, "Existing Forum");
    makeDatabase(TypeForum, "Other Forum");
    setDirectoryNumber("Other Forum", 7);
    activateDatabase(existing);
    const ULONG counterBefore = counter();
    source("a.blk", {forumMessage("Photo Forum", 101, "Lenses"), forumMessage("Photo Forum", 102, "Lenses"),
                     forumMessage("Travel Forum", 201, "Trains"), forumMessage("Existing Forum", 301, "Old")});
    source("b.blk", {forumMessage("PHOTO forum", 103, "Tripods", "Bob Jones 70000,2"),
                     forumMessage("Photo Forum", 104, "Lenses")});

    ImportRun importRun(request({"a.blk", "b.blk"}));
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Completed);
    // The active database is the one that was active before.
    EXPECT_EQ(Mem.ForumNumber, existing);
    EXPECT_EQ(Mem.Description, "Existing Forum");

    EXPECT_EQ(catalogCount(), 4);
    EXPECT_EQ(headerCount("Photo Forum"), 4);
    EXPECT_EQ(headerCount("Travel Forum"), 1);
    EXPECT_EQ(headerCount("Existing Forum"), 1);
    EXPECT_EQ(messageCountField("Photo Forum"), 4u);
    // New databases continue after the highest directory number, in the order first named.
    EXPECT_EQ(directoryNumber("Photo Forum"), 8u);
    EXPECT_EQ(directoryNumber("Travel Forum"), 9u);
    EXPECT_TRUE(std::filesystem::is_directory(Mem.FileDir + "/F8"));
    // Their identifiers came from the reserved counter, which moved on past them.
    EXPECT_GE(databaseId("Photo Forum"), counterBefore);
    EXPECT_GT(counter(), databaseId("Travel Forum"));
    // Counts were written back: Ann sent three of the four Photo messages.
    EXPECT_EQ(sentCount("Photo Forum", "ANN SMITH"), 3u);

    const ImportProgress& p = importRun.progress();
    EXPECT_EQ(p.imported, 6);
    EXPECT_EQ(p.skipped, 0);
    EXPECT_EQ(p.workRecords, 6);
    EXPECT_EQ(p.percent, 100);
    EXPECT_EQ(p.status, "The import process has finished!");
    EXPECT_TRUE(ui.empty());
    EXPECT_FALSE(workFilesExist());
}

TEST_F(ImportRuns, SameMessageInTwoFilesIsStoredOnce) {
    source("a.blk", {forumMessage("Photo Forum", 101), forumMessage("Photo Forum", 102)});
    source("b.blk", {forumMessage("Photo Forum", 102), forumMessage("Photo Forum", 103)});
    ImportRun importRun(request({"a.blk", "b.blk"}));
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(headerCount("Photo Forum"), 3);
    EXPECT_EQ(importRun.progress().imported, 3);
    EXPECT_EQ(importRun.progress().skipped, 1);
}

TEST_F(ImportRuns, NoImportDatabaseReceivesNothing) {
    makeDatabase(TypeForum, "Closed Forum");
    setNoImport("Closed Forum", true);
    source("a.blk", {forumMessage("Closed Forum", 1), forumMessage("Open Forum", 2), forumMessage("Closed Forum", 3)});
    ImportRun importRun(request({"a.blk"}));
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(headerCount("Closed Forum"), 0);
    EXPECT_EQ(headerCount("Open Forum"), 1);
    EXPECT_EQ(importRun.progress().skipped, 2);
}

TEST_F(ImportRuns, ReRunWithoutReimportImportsNothingAndWithReimportUpdates) {
    source("a.blk", {forumMessage("Photo Forum", 101), forumMessage("Photo Forum", 102)});
    ASSERT_EQ(run(request({"a.blk"})), ImportOutcome::Completed);

    ImportRun again(request({"a.blk"}));
    EXPECT_EQ(again.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(again.progress().imported, 0);
    EXPECT_EQ(again.progress().skipped, 2);
    EXPECT_EQ(again.progress().status, "No messages to import!");
    EXPECT_EQ(headerCount("Photo Forum"), 2);

    ImportRequest reimport = request({"a.blk"});
    reimport.allowReimport = 1;
    ImportRun third(reimport);
    EXPECT_EQ(third.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(third.progress().imported, 2);
    EXPECT_EQ(headerCount("Photo Forum"), 2);
    // Updated messages are not counted a second time.
    EXPECT_EQ(sentCount("Photo Forum", "ANN SMITH"), 2u);
}

TEST_F(ImportRuns, MissingFileIsSkippedWithItsMessageAndTheOthersImport) {
    source("a.blk", {forumMessage("Photo Forum", 1)});
    source("c.blk", {forumMessage("Photo Forum", 3)});
    EXPECT_EQ(run(request({"a.blk", "gone.blk", "c.blk"})), ImportOutcome::Completed);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, " Import Error ");
    EXPECT_EQ(ui.last().text, "The file " + inDir + "/gone.blk does not exist and will be skipped!");
    EXPECT_EQ(headerCount("Photo Forum"), 2);
}

TEST_F(ImportRuns, RedirectedNewsgroupStoresIntoItsTargetButARedirectToARedirectIsIgnored) {
    const ULONG target = makeDatabase(TypeNewsgroup, "comp.target");
    const ULONG redirected = makeDatabase(TypeNewsgroup, "comp.source");
    makeDatabase(TypeNewsgroup, "comp.chain");
    setRedirect("comp.source", target);
    setRedirect("comp.chain", redirected);
    source("news.blk", {newsMessage("comp.source", "<s1@h>"), newsMessage("comp.source", "<s2@h>", "Re", "<s1@h>"),
                        newsMessage("comp.chain", "<c1@h>")});
    EXPECT_EQ(run(request({"news.blk"})), ImportOutcome::Completed);
    EXPECT_EQ(headerCount("comp.target"), 2);
    EXPECT_EQ(headerCount("comp.source"), 0);
    EXPECT_EQ(headerCount("comp.chain"), 1);
}

TEST_F(ImportRuns, FailedWriteRollsBackWithNothingHalfStored) {
    makeDatabase(TypeForum, "Broken Forum");
    // A text without its header: storing message 103 as new must fail on it.
    OP_CLOSE(OpenShared, {4});
    MsgText.clear();
    TXT.MSGNUMBER = 103;
    TXT.MsgText = "orphan";
    ASSERT_EQ(MsgText.add(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {4});
    source("a.blk", {forumMessage("Broken Forum", 101), forumMessage("Broken Forum", 102),
                     forumMessage("Broken Forum", 103, "Subject", "Zed Zulu 1,1"), forumMessage("Broken Forum", 104)});

    ImportOptions options;
    options.quota = 10;
    ImportRun importRun(request({"a.blk"}), options);
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Failed);
    EXPECT_TRUE(ui.sawText("The last transaction is rolled back."));
    // The slice was one transaction: nothing of it stays.
    EXPECT_EQ(headerCount("Broken Forum"), 0);
    EXPECT_EQ(tableRecords("Broken Forum", 4), 1);  // only the orphan text
    EXPECT_EQ(tableRecords("Broken Forum", 5), 0);  // no person
    EXPECT_EQ(tableRecords("Broken Forum", 7), 0);  // no thread
    EXPECT_FALSE(workFilesExist());
    // The counter is free again.
    ImportReservation next;
    EXPECT_TRUE(next.begin());
}

TEST_F(ImportRuns, CancelInPhaseBAsksAndNoContinues) {
    source("a.blk", {forumMessage("One", 1), forumMessage("One", 2), forumMessage("Two", 3), forumMessage("Two", 4)});
    ImportOptions options;
    options.quota = 1;
    ImportRun importRun(request({"a.blk"}), options);
    while (importRun.state() != ImportState::Store) ASSERT_EQ(importRun.step(), JobStatus::Running);
    ASSERT_EQ(importRun.step(), JobStatus::Running);
    ui.answer(ButtonNo);
    EXPECT_FALSE(importRun.requestStop(StopRequest::Ask));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, "Import process interrupted");
    EXPECT_EQ(ui.last().text,
              "Stopping at this stage will cause message counts \r\nper section, thread and person to be incorrect.\r\n"
              "If you do quit, please run the Count Messages process to correct the numbers! Are you sure you want "
              "to quit?");
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(headerCount("One") + headerCount("Two"), 4);
}

TEST_F(ImportRuns, CancelInPhaseBWithYesStopsAndKeepsWhatWasStored) {
    source("a.blk", {forumMessage("One", 1), forumMessage("One", 2), forumMessage("Two", 3), forumMessage("Two", 4)});
    ImportOptions options;
    options.quota = 1;
    ImportRun importRun(request({"a.blk"}), options);
    while (importRun.state() != ImportState::Store) ASSERT_EQ(importRun.step(), JobStatus::Running);
    ASSERT_EQ(importRun.step(), JobStatus::Running);  // message 1 stored, transaction open
    ui.answer(ButtonYes);
    EXPECT_TRUE(importRun.requestStop(StopRequest::Ask));
    EXPECT_EQ(importRun.outcome(), ImportOutcome::Cancelled);
    EXPECT_EQ(importRun.step(), JobStatus::Stopped);
    EXPECT_TRUE(hasHeader("One", 1));
    EXPECT_EQ(databaseId("Two"), 0u);
    EXPECT_FALSE(workFilesExist());
    // The register of the stopped run is keyed again: a re-run leaves message 1 out.
    ImportRun again(request({"a.blk"}));
    EXPECT_EQ(again.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(again.progress().skipped, 1);
    EXPECT_EQ(headerCount("One") + headerCount("Two"), 4);
}

TEST_F(ImportRuns, AStopInPhaseBWritesTheCountsOfWhatWasStored) {
    std::vector<BlockMessage> messages;
    for (unsigned n = 1; n <= 12; ++n)
        messages.push_back(forumMessage("Photo Forum", n, "Thread " + std::to_string(n % 3),
                                        n % 2 ? "Ann Smith 70000,1" : "Cid Lee 70000,3"));
    source("a.blk", messages);
    ImportOptions options;
    options.quota = 2;
    ImportRun importRun(request({"a.blk"}), options);
    while (importRun.progress().imported < 5) ASSERT_EQ(importRun.step(), JobStatus::Running);
    ASSERT_EQ(importRun.state(), ImportState::Store);
    // A signal never waits for the person.
    EXPECT_TRUE(importRun.requestStop(StopRequest::Now));
    EXPECT_TRUE(ui.empty());
    EXPECT_EQ(importRun.status(), JobStatus::Stopped);
    const long long stored = importRun.progress().imported;
    EXPECT_EQ(headerCount("Photo Forum"), stored);
    EXPECT_EQ(messageCountField("Photo Forum"), static_cast<ULONG>(stored));
    EXPECT_EQ(sentCount("Photo Forum", "ANN SMITH") + sentCount("Photo Forum", "CID LEE"),
              static_cast<ULONG>(stored));

    // The re-run stores the rest; the counts end as one whole run leaves them.
    ImportRun again(request({"a.blk"}));
    EXPECT_EQ(again.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(again.progress().imported, 12 - stored);
    EXPECT_EQ(again.progress().skipped, stored);
    EXPECT_EQ(headerCount("Photo Forum"), 12);
    EXPECT_EQ(messageCountField("Photo Forum"), 12u);
    EXPECT_EQ(sentCount("Photo Forum", "ANN SMITH"), 6u);
    EXPECT_EQ(sentCount("Photo Forum", "CID LEE"), 6u);
}

TEST_F(ImportRuns, CancelBeforePhaseBStopsWithoutAsking) {
    source("a.blk", {forumMessage("One", 1), forumMessage("One", 2)});
    ImportOptions options;
    options.quota = 1;
    ImportRun importRun(request({"a.blk"}), options);
    while (importRun.state() != ImportState::Parse) ASSERT_EQ(importRun.step(), JobStatus::Running);
    EXPECT_TRUE(importRun.requestStop(StopRequest::Ask));
    EXPECT_TRUE(ui.empty());
    EXPECT_EQ(importRun.outcome(), ImportOutcome::Cancelled);
    EXPECT_EQ(databaseId("One"), 0u);
    ImportReservation next;
    EXPECT_TRUE(next.begin());
}

TEST_F(ImportRuns, NoMessagesFoundCreatesNoDatabase) {
    makeDatabase(TypeForum, "Closed Forum");
    setNoImport("Closed Forum", true);
    source("a.blk", {forumMessage("Closed Forum", 1)});
    writeTextFile(inDir + "/empty.blk", "nothing here\n");
    ImportRequest r = request({"a.blk", "empty.blk"});
    r.importNewsgroup = 0;
    source("n.blk", {newsMessage("new.group", "<n1@h>")});  // not asked for
    r.selectedFiles.push_back("n.blk");
    ImportRun importRun(r);
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::NothingFound);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, "Warning!");
    EXPECT_EQ(ui.last().text, "No messages found in selected file(s)!\r\nImport unsuccessful! Importing from: " + inDir);
    EXPECT_EQ(catalogCount(), 1);
    EXPECT_EQ(importRun.progress().status, "No messages to import!");
}

// What a person watching the run reads: the phase in plain words and the
// counters under their captions, in the window and in command mode alike.
TEST_F(ImportRuns, ProgressNamesItsPhaseAndCountsTheFilesRead) {
    std::vector<BlockMessage> messages;
    for (unsigned n = 1; n <= 6; ++n) messages.push_back(forumMessage("Photo Forum", n));
    source("a.blk", messages);
    writeTextFile(inDir + "/empty.blk", "");
    ImportOptions options;
    options.quota = 2;
    ImportRun importRun(request({"a.blk", "empty.blk", "gone.blk"}), options);
    std::vector<std::string> phases;
    std::string storingLine;
    while (importRun.step() == JobStatus::Running) {
        const ProgressReport r = importRun.report();
        if (phases.empty() || phases.back() != r.phase) phases.push_back(r.phase);
        if (r.phase == "storing messages" && storingLine.empty()) storingLine = cli::progressLine(r);
    }
    EXPECT_EQ(phases, (std::vector<std::string>{"reading files", "storing messages"}));
    EXPECT_EQ(storingLine.rfind("Message import - storing messages: Messages imported ", 0), 0u) << storingLine;
    EXPECT_NE(storingLine.find(", Messages converted 6, "), std::string::npos) << storingLine;
    EXPECT_EQ(importRun.progress().filesRead, 2);
    EXPECT_EQ(importRun.progress().filesSkipped, 1);  // gone.blk
}

TEST_F(ImportRuns, CreateDatabasesOnlyMakesTheDatabasesEmpty) {
    source("a.blk", {forumMessage("Fresh Forum", 1)});
    ImportRequest r = request({"a.blk"});
    r.messageFilter = FilterCreateDatabasesOnly;
    EXPECT_EQ(run(r), ImportOutcome::Completed);
    EXPECT_NE(databaseId("Fresh Forum"), 0u);
    EXPECT_EQ(headerCount("Fresh Forum"), 0);
}

TEST_F(ImportRuns, FormatWithoutAParserIsRefused) {
    const FormatParserOverride withdrawn(6, nullptr);
    ImportRequest r = request({"a.blk"});
    ASSERT_EQ(setRequestFormat(r, 6), RequestProblem::None);
    ImportRun importRun(r);
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Refused);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().text, "The format Eudora cannot be imported by this version!\r\nImport will not proceed!");
    ImportReservation next;
    EXPECT_TRUE(next.begin());
}

TEST_F(ImportRuns, TextLineFilesAreDetectedAndUnreadableOnesSkipped) {
    source("good.sav", {forumMessage("Photo Forum", 1)});
    writeTextFile(inDir + "/other.sav", "Some letter\nnot a message file\n");
    ImportRun importRun(request({"other.sav", "good.sav"}, BlockLinesFormat));
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Completed);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().text, "Not a Forum message or mail file!\r\nMessages will not be imported!");
    EXPECT_EQ(headerCount("Photo Forum"), 1);
}

TEST_F(ImportRuns, UnreadableTextLineFileIsSkipped) {
    // In this process's installation the import cannot change user.
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root, which reads every file; the program test "
                        "HostileNames.UnreadableFilesAndFoldersAreNamedAndTheRestImported runs this case as user nobody";
    const std::string locked = source("locked.sav", {forumMessage("Photo Forum", 1)});
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    EXPECT_EQ(run(request({"locked.sav"}, BlockLinesFormat)), ImportOutcome::NothingFound);
    ASSERT_GE(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown().front().caption, "Warning!");
    EXPECT_EQ(ui.shown().front().text, locked + " cannot be opened\r\nPermission denied\r\nThis file will be skipped!");
}

TEST_F(ImportRuns, DirectoryTreeImportsMatchingFilesOfEveryLevel) {
    std::filesystem::create_directories(inDir + "/sub/deeper");
    source("top.blk", {forumMessage("Photo Forum", 1)});
    source("sub/mid.BLK", {forumMessage("Photo Forum", 2)});
    source("sub/deeper/low.blk", {forumMessage("Photo Forum", 3)});
    source("sub/skip.txt", {forumMessage("Photo Forum", 4)});
    ImportRequest r = request({});
    r.selectionMethod = SelectDirectoryTree;
    r.masks = "*.xyz; *.blk";
    EXPECT_EQ(run(r), ImportOutcome::Completed);
    EXPECT_EQ(headerCount("Photo Forum"), 3);
    EXPECT_FALSE(hasHeader("Photo Forum", 4));

    r.selectionMethod = SelectDirectory;
    r.allowReimport = 1;
    ImportRun oneLevel(r);
    EXPECT_EQ(oneLevel.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(oneLevel.progress().imported, 1);
}

TEST_F(ImportRuns, TaskModeNeverShowsABoxAndReportsTheStep) {
    source("a.blk", {forumMessage("Photo Forum", 1)});
    Mem.DoTask = TaskRunning;
    std::vector<ULONG> registered;
    int reported = 0;
    ImportOptions options;
    options.showCompletionTime = 1;
    options.registerDatabase = [&](ULONG id) { registered.push_back(id); };
    options.reportTaskStep = [&](int result, long) { reported = result; };
    ImportRun importRun(request({"gone.blk", "a.blk"}), options);
    EXPECT_EQ(importRun.progress().title, "Scheduled import");
    EXPECT_EQ(importRun.runToEnd(), ImportOutcome::Completed);
    EXPECT_TRUE(ui.empty());
    EXPECT_EQ(ui.beeps(), 0);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(registered, std::vector<ULONG>{databaseId("Photo Forum")});
    EXPECT_EQ(Mem.DoTask, TaskRunning);
}

TEST_F(ImportRuns, TaskModeRunThatDoesNotCompleteFailsTheStepSilently) {
    source("a.blk", {forumMessage("Photo Forum", 1)});
    Mem.DoTask = TaskRunning;
    int reported = 0;
    ImportOptions options;
    options.freeSpace = [](const std::string&) -> std::int64_t { return 1000; };
    options.reportTaskStep = [&](int result, long) { reported = result; };
    EXPECT_EQ(run(request({"a.blk"}), options), ImportOutcome::Cancelled);
    EXPECT_TRUE(ui.empty());
    EXPECT_EQ(reported, 0);
    EXPECT_EQ(Mem.DoTask, TaskFailed);
}

TEST_F(ImportRuns, LowTemporarySpaceAsksEveryTickUntilCancel) {
    source("a.blk", {forumMessage("Photo Forum", 1), forumMessage("Photo Forum", 2), forumMessage("Photo Forum", 3),
                     forumMessage("Photo Forum", 4), forumMessage("Photo Forum", 5)});
    ImportOptions options;
    options.quota = 1;
    options.freeSpace = [](const std::string& path) -> std::int64_t {
        return path == Mem.TempDir ? 1000000 : 1000000000000;
    };
    ui.answer(ButtonOk);
    ui.answer(ButtonOk);
    ui.answer(ButtonCancel);
    EXPECT_EQ(run(request({"a.blk"}), options), ImportOutcome::Cancelled);
    ASSERT_EQ(ui.shown().size(), 3u);
    for (const auto& box : ui.shown()) {
        EXPECT_EQ(box.caption, "Warning");
        EXPECT_EQ(box.text, "You have only     1,000,000 bytes free on disk  " + Mem.TempDir + "\r\n" +
                                "This may be too little for the temporary importfile. Running out of diskspace may "
                                "corrupt the currently accessed data file(s).Press OK if you want to continue and "
                                "Cancel if you want to abort the import!");
    }
    EXPECT_EQ(ui.beeps(), 3);
    EXPECT_EQ(databaseId("Photo Forum"), 0u);
}

TEST_F(ImportRuns, LowDatabaseSpaceInPhaseBKeepsWhatWasCommitted) {
    source("a.blk", {forumMessage("Photo Forum", 1), forumMessage("Photo Forum", 2), forumMessage("Photo Forum", 3)});
    ImportOptions options;
    options.quota = 1;
    bool low = false;
    options.freeSpace = [&](const std::string& path) -> std::int64_t {
        return low && path == Mem.FileDir ? 4000000 : 1000000000000;
    };
    ImportRun importRun(request({"a.blk"}), options);
    while (importRun.state() != ImportState::Store) ASSERT_EQ(importRun.step(), JobStatus::Running);
    low = true;
    ui.answer(ButtonOk);
    ASSERT_EQ(importRun.step(), JobStatus::Running);
    ui.answer(ButtonCancel);
    EXPECT_EQ(importRun.step(), JobStatus::Stopped);
    EXPECT_EQ(importRun.outcome(), ImportOutcome::Cancelled);
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_NE(ui.last().text.find("This may be too little to allow import."), std::string::npos);
    EXPECT_EQ(headerCount("Photo Forum"), 2);
}

TEST_F(ImportRuns, CompletionTimeBoxAfterAFinishedRun) {
    source("a.blk", {forumMessage("Photo Forum", 1)});
    ImportOptions options;
    options.showCompletionTime = 1;
    EXPECT_EQ(run(request({"a.blk"}), options), ImportOutcome::Completed);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, " Import Processing ");
    EXPECT_EQ(ui.last().text.rfind("The time for completion was: ", 0), 0u);
    EXPECT_EQ(ui.beeps(), 1);
}

TEST_F(ImportRuns, ASecondRunInTheSameProcessIsRefused) {
    source("a.blk", {forumMessage("Photo Forum", 1)});
    ImportRun first(request({"a.blk"}));
    ASSERT_EQ(first.step(), JobStatus::Running);
    ImportRun second(request({"a.blk"}));
    EXPECT_EQ(second.runToEnd(), ImportOutcome::Refused);
    EXPECT_TRUE(ui.sawText("Another import is running!"));
    EXPECT_EQ(first.runToEnd(), ImportOutcome::Completed);
    EXPECT_EQ(headerCount("Photo Forum"), 1);
}

TEST_F(ImportRuns, AFatalErrorLeavesNothingLockedOrHalfWritten) {
    makeDatabase(TypeForum, "Lost Forum");
    const std::string lost = Mem.FileDir + "/F1";
    releaseDirectory(lost);
    std::filesystem::remove_all(lost);
    source("a.blk", {forumMessage("Lost Forum", 1)});
    ImportRun importRun(request({"a.blk"}));
    EXPECT_THROW(importRun.runToEnd(), FatalError);
    EXPECT_TRUE(importRun.finished());
    EXPECT_EQ(importRun.outcome(), ImportOutcome::Failed);
    EXPECT_FALSE(inTransaction());
    EXPECT_FALSE(workFilesExist());
    ImportReservation next;
    EXPECT_TRUE(next.begin());
}

}  // namespace
}  // namespace pm::test
