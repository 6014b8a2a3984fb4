// The import reservation of the identifier counter, the work files and
// the source list.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <filesystem>
#include <optional>

#include "common/globals.h"
#include "import/driver/disk_space.h"
#include "import/driver/source_list.h"
#include "import/driver/work_files.h"
#include "import_fixture.h"
#include "support/unprivileged.h"
#include "tables/access/open_close.h"
#include "tables/identifiers/import_reservation.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/config_tables.h"
#include "tables/records/scratch_tables.h"
#include "wordindex/search_tables.h"

namespace pm::test {
namespace {

using Reservation = ImportTest;

void setCounter(ULONG value) {
    OP_CLOSE(OpenShared, {8});
    Control.clear();
    CTL.ID = 1;
    ASSERT_EQ(Control.get(CTL_IdKey), StorageStatus::Ok);
    CTL.NEXTNUMBER = value;
    ASSERT_EQ(Control.put(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {8});
}

TEST_F(Reservation, HoldsTheCounterInMemoryAndWritesItBack) {
    const ULONG start = counter();
    ImportReservation reservation;
    ASSERT_TRUE(reservation.begin());
    EXPECT_TRUE(reservation.locked());
    EXPECT_EQ(static_cast<ULONG>(reservation.counter()), start);
    reservation.counter() += 25;
    EXPECT_EQ(counter(), start);  // the file is stale meanwhile
    ASSERT_TRUE(reservation.end());
    EXPECT_FALSE(reservation.locked());
    EXPECT_EQ(counter(), start + 25);
}

TEST_F(Reservation, NeverLowersACounterThatMovedOn) {
    ImportReservation reservation;
    ASSERT_TRUE(reservation.begin());
    const ULONG mine = static_cast<ULONG>(reservation.counter()) + 1;
    reservation.counter() += 1;
    setCounter(mine + 100);  // another process ignored the lock
    ASSERT_TRUE(reservation.end());
    EXPECT_EQ(counter(), mine + 100);
}

// While the parsers number, whatever else of this process takes an
// identifier (a task saved in the desktop meanwhile) takes it after their
// numbers, and record 1 follows at once, inside a transaction or not.
TEST_F(Reservation, IdentifiersTakenWhileTheParsersNumberComeAfterTheirsAndRaiseRecordOne) {
    ImportReservation reservation;
    ASSERT_TRUE(reservation.begin());
    const ULONG start = static_cast<ULONG>(reservation.counter());
    reservation.counter() += 10;  // numbers the parsers took
    OP_CLOSE(OpenShared, {8});
    EXPECT_EQ(NextNr(), start + 10);
    EXPECT_EQ(counter(), start + 11);

    ASSERT_EQ(beginTransaction({&Control}, 5), StorageStatus::Ok);
    EXPECT_EQ(NextNr(), start + 11);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    EXPECT_EQ(counter(), start + 12);  // committed without the run writing back

    reservation.counter() += 1;  // the parsers go on after it
    ASSERT_TRUE(reservation.end());
    EXPECT_EQ(counter(), start + 13);
    OP_CLOSE(ReleaseTable, {8});
}

// While a run stores as its parsers number, new identifiers come from the
// same counter: inside a transaction record 1 catches up when the run writes
// it back, outside one at once; the loan ends with the reservation.
TEST_F(Reservation, ALentCounterHandsOutTheParsersNumbersAndRecordOneFollows) {
    ImportReservation reservation;
    ASSERT_TRUE(reservation.begin());
    const ULONG start = static_cast<ULONG>(reservation.counter());
    reservation.counter() += 10;  // numbers the parsers took
    reservation.lend();
    OP_CLOSE(OpenShared, {8});
    EXPECT_EQ(NextNr(), start + 10);
    EXPECT_EQ(counter(), start + 11);

    ASSERT_EQ(beginTransaction({&Control}, 5), StorageStatus::Ok);
    EXPECT_EQ(NextNr(), start + 11);
    EXPECT_EQ(NextNr(), start + 12);
    EXPECT_EQ(counter(), start + 11);  // left to the run's write-back
    ASSERT_TRUE(reservation.writeBack());
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    EXPECT_EQ(counter(), start + 13);

    ASSERT_TRUE(reservation.end());
    EXPECT_EQ(NextNr(), start + 13);  // from record 1 again
    EXPECT_EQ(counter(), start + 14);
    OP_CLOSE(ReleaseTable, {8});
}

TEST_F(Reservation, ZeroCounterRefusesTheImportWithTheWarning) {
    setCounter(0);
    ImportReservation reservation;
    EXPECT_FALSE(reservation.begin());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, "Warning!");
    EXPECT_EQ(ui.last().text, "No access to Control File!\r\nImport will not proceed!\r\n");

    ui.clear();
    Mem.DoTask = TaskRunning;
    ImportReservation unattended;
    EXPECT_FALSE(unattended.begin());
    EXPECT_TRUE(ui.empty());
}

TEST_F(Reservation, MissingRecordRefusesTheRun) {
    OP_CLOSE(OpenShared, {8});
    Control.clear();
    CTL.ID = 1;
    ASSERT_EQ(Control.get(CTL_IdKey), StorageStatus::Ok);
    ASSERT_EQ(Control.erase(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {8});
    source("a.blk", {forumMessage("Photo Forum", 1)});
    EXPECT_EQ(run(request({"a.blk"})), ImportOutcome::Refused);
    EXPECT_TRUE(ui.sawText("No access to Control File!"));
}

using Work = ImportTest;

TEST_F(Work, MessagesReadTwiceAreWrittenOnceAndKeysBuild) {
    WorkFiles work;
    ASSERT_TRUE(work.create(71000, 1234));
    work.beginBatch();
    for (ULONG n : {5u, 6u, 5u}) {
        WorkRecord record;
        record.INTERNAL = 9;
        record.MSGNUMBER = n;
        work.appendMessage(record);
    }
    EXPECT_EQ(work.appendMessageId("<x@y>", 77), WorkWrite::Written);
    EXPECT_EQ(work.appendMessageId("<x@y>", 77), WorkWrite::Duplicate);
    ASSERT_TRUE(work.endBatch());
    EXPECT_EQ(work.messages(), 2);
    EXPECT_EQ(work.duplicates(), 1);
    ASSERT_TRUE(work.buildKeys());
    NewHR.clear();
    NHR.INTERNAL = 9;
    NHR.MSGNUMBER = 6;
    ASSERT_EQ(NewHR.get(NHR_MSGKEY), StorageStatus::Ok);
    EXPECT_EQ(NHR.IMPDATE, 71000);
    EXPECT_EQ(NHR.IMPTIME, 1234);
    work.remove();
    EXPECT_FALSE(workFilesExist());
}

// The doubles are told by the whole key: one number in two databases is two
// messages, a receiver is doubled only within its own mail, and a new run
// forgets what the last one held.
TEST_F(Work, DoublesAreToldByDatabaseAndNumberAndReceiversByMail) {
    WorkFiles work;
    ASSERT_TRUE(work.create(71000, 1234));
    work.beginBatch();
    auto append = [&work](ULONG database, ULONG number) {
        WorkRecord record;
        record.INTERNAL = database;
        record.MSGNUMBER = number;
        return work.appendMessage(record);
    };
    for (ULONG n = 1; n <= 3000; ++n) ASSERT_EQ(append(n % 3 + 1, n), WorkWrite::Written) << n;
    EXPECT_EQ(append(1, 3), WorkWrite::Duplicate);
    EXPECT_EQ(append(2, 3), WorkWrite::Written);
    auto receiver = [&work](ULONG mail, const char* address) {
        CCTRecord copy{};
        copy.MAILID = mail;
        copy.R_CISADRESS = address;
        copy.R_NAME = "Ann";
        copy.RECIPTYPE = "CC";
        return work.appendCarbonCopy(copy);
    };
    EXPECT_EQ(receiver(10, "ann@a.org"), WorkWrite::Written);
    EXPECT_EQ(receiver(10, "bob@a.org"), WorkWrite::Written);
    EXPECT_EQ(receiver(10, "ann@a.org"), WorkWrite::Duplicate);
    EXPECT_EQ(receiver(11, "ann@a.org"), WorkWrite::Written);
    EXPECT_EQ(receiver(11, "ann@a.org"), WorkWrite::Duplicate);
    ASSERT_TRUE(work.endBatch());
    EXPECT_EQ(work.messages(), 3001);
    EXPECT_EQ(work.duplicates(), 1);
    EXPECT_EQ(work.carbonCopies(), 3);

    ASSERT_TRUE(work.create(71000, 1235));
    work.beginBatch();
    EXPECT_EQ(append(1, 3), WorkWrite::Written);
    EXPECT_EQ(receiver(10, "ann@a.org"), WorkWrite::Written);
    ASSERT_TRUE(work.endBatch());
    work.remove();
}

// The work files hold every message text of a run: once they are removed
// the temporary directory gives that room back, whether its store goes
// (nothing else in it) or stays for a search result kept there.
TEST_F(Work, RemovedWorkFilesLeaveNoRoomTakenInTheTemporaryDirectory) {
    const std::string store = storeFilePath(Mem.TempDir);
    const auto fillAndRemove = [](ULONG first) {
        WorkFiles work;
        ASSERT_TRUE(work.create(71000, 1234));
        work.beginBatch();
        WorkRecord record;
        record.INTERNAL = 9;
        record.MSGTEXT.assign(8000, 'x');
        for (ULONG n = first; n < first + 600; ++n) {
            record.MSGNUMBER = n;
            ASSERT_EQ(work.appendMessage(record), WorkWrite::Written);
        }
        ASSERT_TRUE(work.endBatch());
        EXPECT_GT(work.sizeOnDisk(), 4u << 20);
        work.remove();
    };
    fillAndRemove(1);
    EXPECT_FALSE(std::filesystem::exists(store));

    ASSERT_TRUE(storeSearchResult({3, 4, 5}));
    fillAndRemove(1000);
    ASSERT_TRUE(std::filesystem::exists(store));
    EXPECT_LT(std::filesystem::file_size(store), 1u << 20);
    OP_CLOSE(OpenShared, {&Search});
    EXPECT_EQ(Search.records(), 3);
    OP_CLOSE(ReleaseTable, {&Search});
}

TEST(SourceListing, MasksMatchCaseBlindAndTreesRunBreadthFirst) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir / "b/deep");
    fs::create_directories(dir / "a");
    for (const char* f : {"x.MSG", "y.old", "z.txt", "a/in.msg", "b/deep/low.msg", "b/mid.Old"})
        writeTextFile(dir / f, "12345");
    std::vector<std::string> names;
    for (const SourceFile& f : filesMatching(dir.path(), {"*.msg", "*.OLD", "*.msg"})) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{dir / "x.MSG", dir / "y.old"}));
    EXPECT_EQ(directoryTree(dir.path()), (std::vector<std::string>{dir.path(), dir / "a", dir / "b", dir / "b/deep"}));
    EXPECT_TRUE(directoryTree(dir / "missing").empty());

    ImportRequest r;
    r.selectionMethod = SelectDirectoryTree;
    r.importPath = dir.path();
    r.masks = "*.msg;*.old";
    SourceList list;
    list.build(r, false);
    std::vector<std::string> order;
    SourceFile f;
    std::vector<std::string> problems;
    while (list.nextDirectory(problems))
        while (list.nextFile(f)) order.push_back(f.name);
    EXPECT_EQ(order, (std::vector<std::string>{dir / "x.MSG", dir / "y.old", dir / "a/in.msg", dir / "b/mid.Old",
                                               dir / "b/deep/low.msg"}));
    EXPECT_EQ(list.listedBytes(), 25);

    r.selectionMethod = SelectFiles;
    r.selectedFiles = {"x.MSG", "/elsewhere/abs.msg", "gone.msg"};
    list.build(r, false);
    ASSERT_TRUE(list.nextFile(f));
    EXPECT_EQ(f.name, dir / "x.MSG");
    EXPECT_EQ(f.size, 5);
    ASSERT_TRUE(list.nextFile(f));
    EXPECT_EQ(f.name, "/elsewhere/abs.msg");
    ASSERT_TRUE(list.nextFile(f));
    EXPECT_EQ(f.size, 0);
    EXPECT_FALSE(list.nextFile(f));
}

TEST(SourceListing, NamesWhatADirectoryListingCannotUse) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir / "sub.msg");  // a directory under a matching name is no problem
    writeTextFile(dir / "good.msg", "1");
    ASSERT_EQ(mkfifo((dir / "pipe.msg").c_str(), 0600), 0);
    fs::create_symlink(dir / "loop.msg", dir / "loop.msg");
    fs::create_symlink(dir / "nowhere", dir / "dangling.msg");
    writeTextFile(dir / "other.txt", "1");
    std::vector<std::string> problems;
    std::vector<std::string> names;
    for (const SourceFile& f : filesMatching(dir.path(), {"*.msg"}, &problems)) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{dir / "good.msg"}));
    std::sort(problems.begin(), problems.end());
    EXPECT_EQ(problems, (std::vector<std::string>{
                            dir / "loop.msg" + " is a loop of symbolic links and will be skipped!",
                            dir / "pipe.msg" + " is not a regular file (a pipe, device or socket) and will be skipped!",
                            "The file " + (dir / "dangling.msg") + " does not exist and will be skipped!"}));

    problems.clear();
    EXPECT_TRUE(filesMatching(dir / "good.msg", {"*"}, &problems).empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("The directory " + (dir / "good.msg") + " cannot be read (", 0), 0u) << problems[0];

    // The superuser reads every directory: the listing runs as another user.
    fs::create_directories(dir / "closed");
    writeTextFile(dir / "closed/inside.msg", "1");
    handToUnprivileged(dir.path());
    fs::permissions(dir / "closed", fs::perms::none);
    std::string why;
    const std::optional<std::string> listed = runUnprivileged(
        [&] {
            std::vector<std::string> found;
            std::string text = std::to_string(filesMatching(dir / "closed", {"*"}, &found).size()) + " files";
            for (const std::string& problem : found) text += "\n" + problem;
            return text;
        },
        why);
    fs::permissions(dir / "closed", fs::perms::owner_all);
    if (!listed) GTEST_SKIP() << why;
    EXPECT_EQ(*listed, "0 files\nThe directory " + (dir / "closed") + " cannot be read (Permission denied) and will be skipped!");
}

TEST(DiskSpace, WarningTextAndVerdicts) {
    RecorderScope rec;
    const FreeSpaceFunction plenty = [](const std::string&) -> std::int64_t { return 9000000; };
    const FreeSpaceFunction unknown = [](const std::string&) -> std::int64_t { return -1; };
    EXPECT_EQ(checkFreeSpace(plenty, "/db", 5000000, SpaceNeed::Import), SpaceVerdict::Enough);
    EXPECT_EQ(checkFreeSpace(unknown, "/db", 5000000, SpaceNeed::Import), SpaceVerdict::Enough);
    rec.ui.answer(ButtonCancel);
    EXPECT_EQ(checkFreeSpace(plenty, "/db", 9000001, SpaceNeed::Process), SpaceVerdict::Stop);
    rec.ui.answer(ButtonOk);
    EXPECT_EQ(checkFreeSpace(plenty, "/db", 9000001, SpaceNeed::Process), SpaceVerdict::Continue);
    EXPECT_EQ(rec.ui.shown().size(), 2u);
    EXPECT_EQ(rec.ui.last().defaultButton, ButtonCancel);
    EXPECT_EQ(lowSpaceText(1234567890123, "/db", SpaceNeed::Process),
              "You have only 1,234,567,890,123 bytes free on disk  /db\r\nThis may be too little for this process. "
              "Running out of diskspace may corrupt the currently accessed data file(s).Press OK if you want to "
              "continue and Cancel if you want to abort this process!");
}

}  // namespace
}  // namespace pm::test
