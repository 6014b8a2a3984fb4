// The capture parsers under the driver's call protocol: the first call
// only opens, each later call writes at most its quota, progress adds up to
// the bytes read, and mail numbers come from the running identifier.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture_fixture.h"
#include "import/capture/capture_parsers.h"
#include "import/driver/database_resolver.h"
#include "import/driver/import_request.h"
#include "import/driver/work_files.h"
#include "tables/access/open_close.h"
#include "tables/identifiers/import_reservation.h"

namespace pm::test {
namespace {

class ParserCalls : public CaptureImportTest {
protected:
    void SetUp() override {
        CaptureImportTest::SetUp();
        makeDatabase(TypeForum, "CPMSIG");
        makeMailbox("My Mail", "71111,222");
        ASSERT_TRUE(reservation.begin());
        OP_CLOSE(OpenShared, {2});
        resolver.load(&reservation.counter());
        OP_CLOSE(ReleaseTable, {2});
        ASSERT_TRUE(work.create(1, 1));
    }
    void TearDown() override {
        work.remove();
        reservation.abandon();
        CaptureImportTest::TearDown();
    }

    // A call for `file` as the first call of format `format`.
    ParserCall firstCall(int format, const std::string& file, bool mail, int quota) {
        request = ImportRequest{};
        request.importForum = 1;
        request.importMail = mail ? 1 : 0;
        request.targetDatabase = static_cast<LONG>(databaseId("CPMSIG"));
        if (mail) request.mailbox = static_cast<LONG>(databaseId("My Mail"));
        EXPECT_EQ(setRequestFormat(request, format), RequestProblem::None);
        EXPECT_EQ(completeImportRequest(request), RequestProblem::None);
        ParserCall call;
        call.runningId = &reservation.counter();
        call.variant = mail ? 2 : 1;
        call.quota = quota;
        call.request = &request;
        call.databases = &resolver;
        call.work = &work;
        call.fileName = file;
        call.fileSize = static_cast<std::int64_t>(std::filesystem::file_size(file));
        call.skipped = &skipped;
        return call;
    }

    // Runs the parser to its end; the messages written after each call.
    std::vector<long long> runCalls(FormatParser& parser, ParserCall& call) {
        std::vector<long long> written;
        for (int n = 0; n < 100; ++n) {
            work.beginBatch();
            const bool done = parser.parse(call);
            EXPECT_TRUE(work.endBatch());
            written.push_back(work.messages());
            if (done) return written;
        }
        ADD_FAILURE() << "the parser never finished";
        return written;
    }

    ImportReservation reservation;
    DatabaseResolver resolver;
    WorkFiles work;
    ImportRequest request;
    long long skipped = 0;
};

TEST_F(ParserCalls, FirstCallOpensOnlyAndEachCallWritesAtMostTheQuota) {
    const std::string file = captureSample("tapcis6/forum.msg");
    ParserCall call = firstCall(19, file, false, 1);
    auto parser = capture::makeTapcis6Parser();
    work.beginBatch();
    EXPECT_FALSE(parser->parse(call));
    work.endBatch();
    EXPECT_EQ(call.step, ContinueParsing);
    EXPECT_EQ(work.messages(), 0);
    EXPECT_EQ(call.progress, 0);
    EXPECT_EQ(runCalls(*parser, call), (std::vector<long long>{1, 2, 3, 4}));
    EXPECT_EQ(call.progress, static_cast<double>(call.fileSize));
    EXPECT_EQ(skipped, 0);
}

TEST_F(ParserCalls, GoldenCompassWritesThreeMailsPerCall) {
    const std::string file = captureSample("goldencompass/mail.msg");
    ParserCall call = firstCall(7, file, true, 100);
    auto parser = capture::makeGoldenCompassParser();
    const LONG before = reservation.counter();
    ASSERT_FALSE(parser->parse(call));
    EXPECT_EQ(runCalls(*parser, call), (std::vector<long long>{3, 5}));
    // Each mail took a number from the running identifier.
    EXPECT_EQ(reservation.counter(), before + 5);
}

TEST_F(ParserCalls, AFileThatCannotBeOpenedIsRejectedWithItsReason) {
    const std::string file = (root / "gone.msg");
    ParserCall call = firstCall(7, captureSample("goldencompass/mail.msg"), true, 100);
    call.fileName = file;
    auto parser = capture::makeGoldenCompassParser();
    EXPECT_TRUE(parser->parse(call));
    EXPECT_TRUE(call.rejected);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.last().caption, "Warning!");
    EXPECT_EQ(ui.last().text, file + " cannot be opened\r\nNo such file or directory\r\nThis file will be skipped!");
}

}  // namespace
}  // namespace pm::test
