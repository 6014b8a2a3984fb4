// Purging and counting on the sample databases: what a purge removes and
// what it must keep, and that the counts it leaves equal a fresh count.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "browse/status_marking.h"
#include "common/globals.h"
#include "fresh_counts.h"
#include "maintenance_fixture.h"
#include "maintenance/maintenance_tables.h"
#include "maintenance/purge_run.h"
#include "support/installation_fixture.h"
#include "support/sample_databases.h"
#include "tables/records/all_tables.h"

namespace pm {
namespace {

class PurgeTest : public test::MaintenanceTest {
protected:
    ProgressReport run(PurgeOptions options) {
        PurgeRun job(options);
        EXPECT_EQ(runToEnd(job), JobStatus::Done);
        return job.report();
    }
    static bool stored(ULONG number) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = number;
        return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
    }
    static bool threadStored(ULONG thread, ULONG* count = nullptr) {
        Threads.clear();
        THR.THREADNUMBER = thread;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) return false;
        if (count) *count = THR.MSGCOUNT;
        return true;
    }
    static bool personStored(ULONG id) {
        Person.clear();
        PER.PERSONID = id;
        return Person.get(PER_PersonKey) == StorageStatus::Ok;
    }
};

TEST_F(PurgeTest, ThreadWhoseFirstMessageIsPurgedKeepsItsRepliesAndCounts) {
    open(TypeForum);
    const ULONG thread = test::threadOf(100);
    ASSERT_TRUE(markStatus(StatusTarget::Message, 100, StatusDelete));
    const ProgressReport r = run({});
    EXPECT_EQ(reportCounter(r, purge_counter::Deleted), 1);
    EXPECT_EQ(reportCounter(r, purge_counter::MessagesAfter), reportCounter(r, purge_counter::MessagesBefore) - 1);
    EXPECT_FALSE(stored(100));
    for (ULONG m : {101u, 102u, 103u}) EXPECT_TRUE(stored(m)) << m;
    EXPECT_TRUE(threadStored(thread));
    EXPECT_EQ(test::countDifferences(), "");
}

TEST_F(PurgeTest, SectionEmptiedByThePurgeGoesAndAReceiverOnlyPersonStays) {
    open(TypeForum);
    const ULONG smith = test::personNamed("Smith"), all = test::personNamed("All");
    const ULONG section2 = test::sectionOf(110), thread110 = test::threadOf(110);
    ASSERT_NE(smith, 0u);
    ASSERT_TRUE(markStatus(StatusTarget::Section, section2, StatusDelete));
    // Every message John Smith sent goes; he still receives 101.
    for (ULONG m : {100u, 103u, 105u}) ASSERT_TRUE(markStatus(StatusTarget::Message, m, StatusDelete));
    const ProgressReport r = run({});
    EXPECT_EQ(reportCounter(r, purge_counter::Deleted), 6);
    EXPECT_FALSE(stored(110));
    EXPECT_FALSE(stored(120));
    EXPECT_FALSE(threadStored(thread110));
    Sections.clear();
    SEC.SECSYSID = section2;
    EXPECT_NE(Sections.get(SEC_SysIdKey), StorageStatus::Ok);
    ASSERT_TRUE(personStored(smith));
    EXPECT_EQ(PER.FROMCOUNT, 0u);
    EXPECT_EQ(PER.TOCOUNT, 1u);
    if (all != 0) {
        EXPECT_FALSE(personStored(all));  // received only purged messages
    }
    EXPECT_GE(reportCounter(r, purge_counter::SectionsDeleted), 1);
    EXPECT_EQ(test::countDifferences(), "");
}

TEST_F(PurgeTest, AgedThreadWithAKeepMessageKeepsThatMessageAndItsThread) {
    open(TypeForum);
    const ULONG hello = test::threadOf(100), power = test::threadOf(120), longOne = test::threadOf(110);
    ASSERT_TRUE(markStatus(StatusTarget::Message, 102, StatusKeep));
    PurgeOptions options;
    options.agedWeeks = 1;
    options.today = 73010;  // cut-off 73003: the thread of 110 (73005, 73006) is younger
    run(options);
    EXPECT_TRUE(stored(102));
    ULONG count = 0;
    EXPECT_TRUE(threadStored(hello, &count));
    EXPECT_EQ(count, 1u);
    for (ULONG m : {100u, 101u, 103u, 120u}) EXPECT_FALSE(stored(m)) << m;
    EXPECT_FALSE(threadStored(power));
    EXPECT_TRUE(threadStored(longOne));
    EXPECT_TRUE(stored(110));
    EXPECT_TRUE(stored(111));
    EXPECT_EQ(test::countDifferences(), "");
}

TEST_F(PurgeTest, CountingRepairsWrongCountsAndChangesNoMessage) {
    open(TypeForum);
    // Counts as an interrupted run would leave them.
    Threads.clear();
    THR.THREADNUMBER = test::threadOf(100);
    ASSERT_EQ(Threads.get(THR_ThreadKey), StorageStatus::Ok);
    THR.MSGCOUNT = 99;
    ASSERT_EQ(Threads.put(), StorageStatus::Ok);
    Person.clear();
    PER.PERSONID = test::personNamed("Adams");
    ASSERT_EQ(Person.get(PER_PersonKey), StorageStatus::Ok);
    PER.FROMCOUNT = 0;
    PER.TOCOUNT = 7;
    ASSERT_EQ(Person.put(), StorageStatus::Ok);
    EXPECT_NE(test::countDifferences(), "");
    const std::int64_t before = MsgNmbr.records();

    PurgeOptions count;
    count.work = PurgeWork::Count;
    const ProgressReport r = run(count);
    EXPECT_EQ(test::countDifferences(), "");
    EXPECT_EQ(MsgNmbr.records(), before);
    EXPECT_EQ(reportCounter(r, purge_counter::Messages), before);
    EXPECT_EQ(reportCounter(r, purge_counter::Threads), Threads.records());
    EXPECT_EQ(reportCounter(r, purge_counter::Persons), Person.records());
}

TEST_F(PurgeTest, NewsgroupRepliesAreAddressedToTheSenderOfTheirParent) {
    open(TypeNewsgroup);
    // 13 answers 12 (Ana Núñez); point it elsewhere as an import that met
    // the reply before its parent leaves it.
    MsgNmbr.clear();
    MSG.MSGNUMBER = 13;
    ASSERT_EQ(MsgNmbr.get(MSG_IdKey), StorageStatus::Ok);
    const ULONG parentSender = [] {
        MsgNmbr.clear();
        MSG.MSGNUMBER = 12;
        return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok ? MSG.FROMID : 0;
    }();
    MsgNmbr.clear();
    MSG.MSGNUMBER = 13;
    ASSERT_EQ(MsgNmbr.get(MSG_IdKey), StorageStatus::Ok);
    MSG.TOID = 0;
    MSG.TOALPHA = "";
    ASSERT_EQ(MsgNmbr.put(), StorageStatus::Ok);
    PurgeOptions count;
    count.work = PurgeWork::Count;
    run(count);
    ASSERT_TRUE(stored(13));
    EXPECT_EQ(MSG.TOID, parentSender);
    EXPECT_EQ(test::countDifferences(), "");
}

TEST_F(PurgeTest, MailPartnerMarkedDeleteGoesUnlessAKeepMailRemainsAndTheOwnerStays) {
    open(TypeMail);
    const ULONG fred = test::personNamed("Foreign"), zola = test::personNamed("Zola");
    ASSERT_NE(fred, 0u);
    ASSERT_TRUE(markStatus(StatusTarget::Partner, fred, StatusDelete));
    ASSERT_TRUE(markStatus(StatusTarget::Partner, zola, StatusDelete));
    ASSERT_TRUE(markStatus(StatusTarget::Mail, 1003, StatusKeep));
    // The owner's own person, marked too, is never purged.
    ASSERT_TRUE(personStored(Mem.PersonID));
    PER.DUMMY = StatusDelete;
    ASSERT_EQ(Person.put(), StorageStatus::Ok);
    const ProgressReport r = run({});
    EXPECT_EQ(reportCounter(r, purge_counter::Deleted), 2);  // 1001 and 1002
    EXPECT_FALSE(personStored(fred));
    EXPECT_TRUE(personStored(zola));
    EXPECT_TRUE(personStored(Mem.PersonID));
    Mail.clear();
    MAI.MAILID = 1003;
    EXPECT_EQ(Mail.get(MAI_IdKey), StorageStatus::Ok);
    EXPECT_EQ(test::countDifferences(), "");
}

// What a purge of the sample forum leaves, without the generated ids.
std::string forumDump() {
    std::string out;
    MsgNmbr.setPhysical();
    std::map<ULONG, std::string> messages;
    while (MsgNmbr.next() == StorageStatus::Ok) {
        const MsgNmbrRecord m = MSG;
        Threads.clear();
        THR.THREADNUMBER = m.THREADNUMBER;
        const bool thread = Threads.get(THR_ThreadKey) == StorageStatus::Ok;
        messages[m.MSGNUMBER] = std::string(thread ? THR.ALPHA.view() : "?") + "/" + std::to_string(thread ? THR.MSGCOUNT : 0);
    }
    for (const auto& [n, thread] : messages) out += std::to_string(n) + ":" + thread + " ";
    std::map<std::string, std::string> persons;
    Person.setPhysical();
    while (Person.next() == StorageStatus::Ok)
        persons[std::string(PER.PERSONSTRING.view())] = std::to_string(PER.FROMCOUNT) + "/" + std::to_string(PER.TOCOUNT);
    for (const auto& [name, counts] : persons) out += name + "=" + counts + " ";
    std::map<std::string, ULONG> sections;
    Sections.setPhysical();
    while (Sections.next() == StorageStatus::Ok) sections[std::string(SEC.DESCRIPTION.view())] = SEC.MSGCOUNT;
    for (const auto& [name, count] : sections) out += name + "#" + std::to_string(count) + " ";
    return out + std::to_string(Threads.records());
}

TEST_F(PurgeTest, PurgeBrokenOffAfterAnyStepAndRunAgainEndsAsOneRun) {
    // Marks that reach every phase: a thread, a message, a section, aged threads.
    auto prepare = [&](const std::string& name) {
        tables.reset();
        test::makeSampleForum(name);
        tables = std::make_unique<MaintenanceTables>(TypeForum);
        EXPECT_TRUE(markStatus(StatusTarget::Thread, test::threadOf(100), StatusDelete));
        EXPECT_TRUE(markStatus(StatusTarget::Message, 102, StatusKeep));
        EXPECT_TRUE(markStatus(StatusTarget::Message, 111, StatusDelete));
        EXPECT_TRUE(markStatus(StatusTarget::Section, test::sectionOf(120), StatusDelete));
    };
    PurgeOptions options;
    options.agedWeeks = 1;
    options.today = 73012;
    prepare("Reference");
    run(options);
    const std::string expected = forumDump();
    int steps = 0;
    {
        prepare("Counted");
        PurgeRun job(options);
        while (job.step() == JobStatus::Running) ++steps;
    }
    for (int k = 1; k <= steps; ++k) {
        prepare("Broken " + std::to_string(k));
        {
            PurgeRun broken(options);
            for (int i = 0; i < k; ++i) broken.step();
        }  // abandoned as a killed process leaves it: whole slices only
        run(options);
        EXPECT_EQ(forumDump(), expected) << "after step " << k;
    }
}

TEST_F(PurgeTest, DatabaseMarkedForDeletionAsksAndCancelStops) {
    open(TypeForum);
    ASSERT_TRUE(markStatus(StatusTarget::Database, 0, StatusDelete));
    ui.answer(ButtonCancel);
    PurgeRun job({});
    EXPECT_EQ(runToEnd(job), JobStatus::Stopped);
    EXPECT_TRUE(ui.sawCaption(" Database marked for deletion!"));
    EXPECT_TRUE(stored(100));
}

}  // namespace
}  // namespace pm
