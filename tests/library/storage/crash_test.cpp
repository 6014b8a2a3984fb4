// A process killed in the middle of its work leaves every store sound and
// every transaction whole: in all its stores or in none, committed ones
// kept, rolled-back ones gone. Two stores sync (NORMAL), the third is the
// scratch store (synchronous OFF), where only the order of the writes
// protects its journal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "common/types.h"
#include "storage/sql_catalog.h"
#include "storage/sql_connection.h"
#include "storage/table.h"
#include "support/test_root.h"

namespace pm {
namespace {

#pragma pack(push, 1)
struct EntryRecord {
    ULONG ID;      // transaction * 1000 + record in it
    LONG COUNT;    // records the transaction wrote to each store
};
#pragma pack(pop)

const TableDef& entryDef() {
    static const TableDef def =
        makeTableDef(0, "Entry", "ENT", Location::Db, StorageClass::Keyed, sizeof(EntryRecord), true,
                     {PM_FIELD(EntryRecord, ID, ULong), PM_FIELD(EntryRecord, COUNT, Long)}, {{"Text", 64000}},
                     {{"IdKey", Primary, {asc("ID")}}, {"TextKey", Dup, {asc("COUNT"), asc("ID")}}});
    return def;
}

struct Report {
    int transaction;
    int committed;    // 1 committed, 0 rolled back
    int scratchOnly;  // 1 when it wrote the scratch store alone
};

struct Store {
    EntryRecord ENT{};
    std::string text;
    Table table{entryDef(), &ENT, {&text}};
};

// The child: transactions of random size over the stores until killed,
// each reported once it committed or was rolled back.
[[noreturn]] void workUntilKilled(Store* stores, int firstTransaction, int reportFd, unsigned seed) {
    for (int i = 0; i < 3; ++i)
        if (stores[i].table.open() != StorageStatus::Ok) _exit(2);
    std::mt19937 random(seed);
    for (int t = firstTransaction;; ++t) {
        if (beginTransaction({&stores[0].table, &stores[1].table, &stores[2].table}) != StorageStatus::Ok) _exit(3);
        const int count = 1 + static_cast<int>(random() % 400);
        // A third of them the scratch store commits alone, without syncs.
        const bool scratchOnly = random() % 3 == 0;
        for (int j = 0; j < count; ++j) {
            for (int i = scratchOnly ? 2 : 0; i < 3; ++i) {
                Store* s = &stores[i];
                s->table.clear();
                s->ENT.ID = static_cast<ULONG>(t * 1000 + j);
                s->ENT.COUNT = count;
                s->text.assign(random() % 2000, static_cast<char>('a' + j % 26));
                if (s->table.add() != StorageStatus::Ok) _exit(4);
            }
        }
        Report report{t, random() % 4 != 0, scratchOnly};
        if (report.committed) {
            if (commitTransaction() != StorageStatus::Ok) _exit(5);
        } else {
            rollbackTransaction();
        }
        if (write(reportFd, &report, sizeof report) != sizeof report) _exit(6);
    }
}

// Transaction -> records found for it, checking that each is whole.
std::map<int, int> transactionsIn(Store& s, std::string& problems) {
    std::map<int, int> found;
    std::map<int, int> declared;
    s.table.setPhysical();
    while (s.table.next() == StorageStatus::Ok) {
        const int t = static_cast<int>(s.ENT.ID / 1000);
        ++found[t];
        declared[t] = s.ENT.COUNT;
    }
    for (const auto& [t, n] : found)
        if (n != declared[t]) problems += "transaction " + std::to_string(t) + " is not whole\n";
    return found;
}

TEST(Crash, KilledWritersLeaveWholeTransactionsInEveryStore) {
    test::TempDir root;
    const std::string dirs[3] = {root / "CFG", root / "F1", root / "TEMP"};
    Store stores[3];
    setScratchDirectory(dirs[2]);
    for (int i = 0; i < 3; ++i) {
        std::filesystem::create_directory(dirs[i]);
        stores[i].table.setFileName(dirs[i] + "/ENTRY.TPS");
        ASSERT_EQ(stores[i].table.create(), StorageStatus::Ok);
    }

    std::mt19937 random(20240601);
    // Transactions killed before they were reported may have committed.
    std::set<int> committed, rolledBack, scratchOnly, unreported;
    int next = 0;
    for (int round = 0; round < 16; ++round) {
        closeStorage();  // the child starts its own connection
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            alarm(30);
            workUntilKilled(stores, next, fds[1], static_cast<unsigned>(random()));
        }
        ::close(fds[1]);
        Report report{};
        const auto take = [&] {
            (report.committed ? committed : rolledBack).insert(report.transaction);
            if (report.scratchOnly) scratchOnly.insert(report.transaction);
            // The one in flight may or may not have committed: skip its number.
            next = report.transaction + 2;
        };
        // Let it get going, then kill it anywhere.
        ASSERT_EQ(read(fds[0], &report, sizeof report), static_cast<ssize_t>(sizeof report));
        take();
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 120));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself: " << WEXITSTATUS(status);
        while (read(fds[0], &report, sizeof report) == static_cast<ssize_t>(sizeof report)) take();
        ::close(fds[0]);
        unreported.insert(next - 1);

        std::map<int, int> found[3];
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(stores[i].table.open(), StorageStatus::Ok) << stores[i].table.lastError().text;
            std::string problems;
            sql::Store* store = sql::Connection::instance().find(sql::canonicalDirectory(dirs[i]));
            ASSERT_NE(store, nullptr);
            ASSERT_EQ(sql::integrityCheck(store->schema, problems), SQLITE_OK);
            found[i] = transactionsIn(stores[i], problems);
            EXPECT_EQ(problems, "") << dirs[i] << " after round " << round;
        }
        EXPECT_EQ(found[0], found[1]) << "round " << round;
        for (const auto& [t, n] : found[0])
            EXPECT_TRUE(found[2].count(t) && found[2].at(t) == n) << "transaction " << t << " missing in the scratch store";
        for (const auto& [t, n] : found[2]) {
            // Apart from those the scratch store held alone, only ones in flight.
            EXPECT_TRUE(found[0].count(t) || scratchOnly.count(t) || unreported.count(t))
                << "transaction " << t << " only in the scratch store";
        }
        for (int t : committed) EXPECT_TRUE(found[2].count(t)) << "committed transaction " << t << " lost";
        for (int t : rolledBack) EXPECT_FALSE(found[2].count(t)) << "rolled-back transaction " << t << " kept";
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace pm
