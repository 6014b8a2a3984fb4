// The export, print, classify and recode run on a set of messages related
// to the current one: which messages a set holds, the date range, slices
// and abort, the checks before anything is written, and the question before
// the whole database is marked Delete.
#include <gtest/gtest.h>

#include "browse/topics.h"
#include "browse_fixture.h"
#include "common/globals.h"
#include "sets/set_operation.h"
#include "tables/records/all_tables.h"

namespace pm::test {

namespace {

BYTE statusOf(ULONG number) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    EXPECT_EQ(MsgNmbr.get(MSG_IdKey), StorageStatus::Ok) << number;
    return MSG.DUMMY;
}

// Records what a print run hands over.
class RecordingPrinter final : public MessagePrinter {
public:
    bool begin(const std::string& t, const std::string& database) override {
        title = t + " / " + database;
        return true;
    }
    bool print(const OutputMessage& m, const std::vector<std::string>& header,
               const std::vector<std::string>&) override {
        printed.push_back(m.number);
        headers.push_back(header.empty() ? "" : header.front());
        return true;
    }
    bool end() override {
        ended = true;
        return true;
    }
    std::string error() const override { return {}; }

    std::string title;
    std::vector<ULONG> printed;
    std::vector<std::string> headers;
    bool ended = false;
};

JobStatus run(SetRequest request) {
    SetOperationJob job(std::move(request));
    return runToEnd(job);
}

}  // namespace

class SetOperations : public BrowseTest {};

TEST_F(SetOperations, RecodeKeepsExactlyTheThreadInsideTheDateRange) {
    openSample(TypeForum);
    SetRequest r;
    r.operation = SetOperation::StatusKeep;
    r.scope = SetScope::Thread;
    r.origin.current = 102;
    r.dates = {true, 73001, 73002};
    r.slice = 2;
    SetOperationJob job(r);
    EXPECT_EQ(runToEnd(job), JobStatus::Done);
    EXPECT_EQ(job.report().lines.back(), "Message status recoded!");
    for (ULONG n : {101u, 102u, 103u}) EXPECT_EQ(statusOf(n), StatusKeep) << n;
    // 100 lies before the range; the others are in other threads.
    for (ULONG n : {100u, 105u, 110u, 111u, 120u}) EXPECT_EQ(statusOf(n), StatusNormal) << n;
    EXPECT_EQ(job.handled(), 3);
    EXPECT_GE(job.passedOver(), 1);
}

TEST_F(SetOperations, AttachingTwiceAddsNothingAndRemovingEmptiesTheTopicsOwnSet) {
    openSample(TypeForum);
    const ULONG topic = addTopic("Power");
    ASSERT_NE(topic, 0u);
    SetRequest r;
    r.operation = SetOperation::AttachTopic;
    r.scope = SetScope::Sender;  // John Smith: 100, 103, 105, 120
    r.origin.current = 100;
    r.topic = topic;
    r.slice = 3;
    EXPECT_EQ(run(r), JobStatus::Done);
    EXPECT_EQ(run(r), JobStatus::Done);
    Topic t;
    ASSERT_TRUE(findTopic(topic, t));
    EXPECT_EQ(t.count, 4u);
    for (ULONG n : {100u, 103u, 105u, 120u}) EXPECT_TRUE(topicAttached(topic, n)) << n;
    EXPECT_FALSE(topicAttached(topic, 101));
    // Removing the topic from the messages of that very topic: the set
    // shrinks under the run and every message is still reached.
    r.operation = SetOperation::RemoveTopic;
    r.scope = SetScope::Topic;
    r.origin.topic = topic;
    r.slice = 1;
    EXPECT_EQ(run(r), JobStatus::Done);
    ASSERT_TRUE(findTopic(topic, t));
    EXPECT_EQ(t.count, 0u);
    for (ULONG n : {100u, 103u, 105u, 120u}) EXPECT_FALSE(topicAttached(topic, n)) << n;
}

TEST_F(SetOperations, ChecksComeBeforeAnyWrite) {
    openSample(TypeForum);
    SetRequest r;
    r.operation = SetOperation::AttachTopic;
    r.origin.current = 100;
    EXPECT_EQ(run(r), JobStatus::Failed);
    EXPECT_TRUE(ui.sawText("No topic selected!"));
    r.operation = SetOperation::StatusDelete;
    for (DateRange d : {DateRange{true, 0, 73000}, DateRange{true, 73000, 0}, DateRange{true, 73002, 73001}}) {
        ui.clear();
        r.dates = d;
        EXPECT_EQ(run(r), JobStatus::Failed);
        EXPECT_TRUE(ui.sawCaption("Date range filter error"));
    }
    EXPECT_EQ(statusOf(100), StatusNormal);
    // A file name with a directory part is refused before a file is made.
    ui.clear();
    r = {};
    r.operation = SetOperation::ExportNew;
    r.origin.current = 100;
    r.directory = root.path();
    r.files.first = "sub/out.txt";
    EXPECT_EQ(run(r), JobStatus::Failed);
    EXPECT_TRUE(ui.sawText("Do not include the path, just the filename!"));
}

TEST_F(SetOperations, WholeDatabaseToDeleteAsksFirst) {
    openSample(TypeForum);
    SetRequest r;
    r.operation = SetOperation::StatusDelete;
    r.scope = SetScope::Date;
    r.origin.current = 100;
    ui.answer(ButtonNo);
    SetOperationJob declined(r);
    EXPECT_EQ(runToEnd(declined), JobStatus::Stopped);
    EXPECT_TRUE(ui.sawCaption(" Database marked for deletion!"));
    EXPECT_EQ(statusOf(110), StatusNormal);
    ui.answer(ButtonYes);
    SetOperationJob confirmed(r);
    EXPECT_EQ(runToEnd(confirmed), JobStatus::Done);
    EXPECT_TRUE(confirmed.wholeDatabaseDeleted());
    for (ULONG n : {100u, 101u, 102u, 103u, 105u, 110u, 111u, 120u}) EXPECT_EQ(statusOf(n), StatusDelete) << n;
    EXPECT_EQ(Mem.ForumCheck, StatusDelete);
}

TEST_F(SetOperations, PrintGoesInSlicesAndStopsAtAbort) {
    openSample(TypeForum);
    RecordingPrinter printer;
    SetRequest r;
    r.operation = SetOperation::Print;
    r.scope = SetScope::Date;  // newest first
    r.origin.current = 100;
    r.printer = &printer;
    r.slice = 3;
    SetOperationJob job(r);
    EXPECT_EQ(job.step(), JobStatus::Running);  // start
    EXPECT_EQ(job.report().lines.back(), "Printing messages ... please wait!");
    EXPECT_EQ(job.step(), JobStatus::Running);  // the first slice
    EXPECT_TRUE(job.requestStop(StopRequest::Ask));
    EXPECT_EQ(job.status(), JobStatus::Stopped);
    EXPECT_EQ(job.report().lines.back(), "Process aborted!");
    EXPECT_EQ(printer.title, "Messages from the Postmoor Message Archiver Database / Test Forum");
    EXPECT_EQ(printer.printed, (std::vector<ULONG>{111, 110, 105}));
    // The plain header: the subject first (the thread's heading, cut to its width).
    EXPECT_EQ(printer.headers.front().rfind("Subject: Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln", 0), 0u);
    EXPECT_TRUE(printer.ended);
}

TEST_F(SetOperations, MailSetsFollowPartnerAndSubject) {
    openSample(TypeMail);
    RecordingPrinter printer;
    SetRequest r;
    r.operation = SetOperation::Print;
    r.printer = &printer;
    Mail.clear();
    Mail.set(MAI_DateKey);
    ULONG hello = 0;
    while (Mail.next() == StorageStatus::Ok)
        if (MAI.SUBJECT.str() == "Hello World") hello = MAI.MAILID;
    r.origin.current = hello;
    r.scope = SetScope::Sender;  // the partner: Fred, both ways
    EXPECT_EQ(run(r), JobStatus::Done);
    EXPECT_EQ(printer.printed.size(), 2u);
    EXPECT_EQ(printer.title, "Mail from the Postmoor Message Archiver Database / Inbox");
    printer.printed.clear();
    r.scope = SetScope::Thread;  // the subject, exactly
    EXPECT_EQ(run(r), JobStatus::Done);
    EXPECT_EQ(printer.printed, (std::vector<ULONG>{hello}));
    r.scope = SetScope::Section;
    EXPECT_EQ(run(r), JobStatus::Failed);
}

}  // namespace pm::test
