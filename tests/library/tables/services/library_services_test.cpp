// The service dispatcher, the frame event channel and the busy counter.
#include <gtest/gtest.h>

#include <vector>

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/catalog_list.h"
#include "tables/records/all_tables.h"
#include "tables/services/library_services.h"
#include "support/installation_fixture.h"

namespace pm {
namespace {

using LibraryServices = test::InstallationTest;

TEST_F(LibraryServices, UnservedCodesReturnZeroAndHandlersWin) {
    for (int code : {0, 22, 201, 206, 213, 214, 216, 220, 999}) EXPECT_EQ(SemaFore(code), 0) << code;
    int calls = 0;
    registerService(ServiceImportWizard, [&] { ++calls; return 7; });
    EXPECT_TRUE(serviceRegistered(ServiceImportWizard));
    EXPECT_EQ(SemaFore(ServiceImportWizard), 7);
    registerService(ServiceImportWizard, {});
    EXPECT_FALSE(serviceRegistered(ServiceImportWizard));
    EXPECT_EQ(SemaFore(ServiceImportWizard), 0);
    EXPECT_EQ(calls, 1);
}

TEST_F(LibraryServices, RemovesTheActiveDatabaseAndActivatesTheProcedureDatabase) {
    const ULONG first = makeDatabase(TypeForum, "First");
    const ULONG second = makeDatabase(TypeForum, "Second");
    BAT.DATABASE = first;
    EXPECT_EQ(SemaFore(ServiceActivateProcedureDatabase), 1);
    EXPECT_EQ(Mem.ForumNumber, first);
    BAT.DATABASE = 4711;
    EXPECT_EQ(SemaFore(ServiceActivateProcedureDatabase), 0);
    EXPECT_EQ(Mem.ForumNumber, first);

    EXPECT_EQ(SemaFore(ServiceRemoveActiveDatabase), 1);
    CatalogEntry e;
    EXPECT_FALSE(readCatalogEntry(first, e));
    EXPECT_TRUE(readCatalogEntry(second, e));
}

TEST_F(LibraryServices, TransactionCheckReportsAMissingTransaction) {
    EXPECT_EQ(SemaFore(ServiceTransactionCheck), 1);
    EXPECT_TRUE(ui.sawText("Transaction Frame Error!"));
    ui.clear();
    OP_CLOSE(OpenShared, {2});
    ASSERT_EQ(beginTransaction({&Forums}), StorageStatus::Ok);
    EXPECT_EQ(SemaFore(ServiceTransactionCheck), 0);
    EXPECT_TRUE(inTransaction());
    rollbackTransaction();
    OP_CLOSE(ReleaseTable, {2});
    EXPECT_TRUE(ui.empty());
}

TEST(FrameEvents, PostedToTheSinkOnlyWhileOneListens) {
    std::vector<int> seen;
    EXPECT_FALSE(postFrameEvent(EventRefreshActiveDatabase));
    setFrameEventSink([&](int code) { seen.push_back(code); });
    EXPECT_TRUE(postFrameEvent(EventRefreshActiveDatabase));
    EXPECT_TRUE(postFrameEvent(EventOpenTaskCountdown));
    setFrameEventSink({});
    EXPECT_FALSE(postFrameEvent(EventTasksEnded));
    EXPECT_EQ(seen, (std::vector<int>{EventRefreshActiveDatabase, EventOpenTaskCountdown}));
}

TEST(BusyCounter, NeverFallsBelowZero) {
    resetBusyCounter();
    lowerBusyCounter();
    EXPECT_EQ(busyCounter(), 0);
    raiseBusyCounter();
    raiseBusyCounter();
    lowerBusyCounter();
    EXPECT_EQ(busyCounter(), 1);
    resetBusyCounter();
    EXPECT_EQ(busyCounter(), 0);
}

}  // namespace
}  // namespace pm
