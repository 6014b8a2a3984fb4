// Mail as real mailboxes hold it, through the whole import: near-duplicates,
// gatewayed list mail, "From " lines in bodies, the escaping convention,
// Content-Length, empty boundaries, long lines, the dates real mail writes,
// code page 850 captures and a redirect target's sections.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/dates.h"
#include "formats_fixture.h"
#include "import/driver/format_table.h"
#include "support/catalog_inspection.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "tables/records/message_tables.h"

namespace pm::test {
namespace {

std::string realWorld(const std::string& name) { return sampleFile("real-world/" + name); }

using RealWorldMail = FormatImportTest;

LONG at(int hours, int minutes, int seconds) { return ((hours * 60 + minutes) * 60 + seconds) * 100; }

void setRedirect(ULONG database, ULONG target) {
    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.ID = database;
    ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    FOR.REDIRNOW = target;
    ASSERT_EQ(Forums.put(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {2});
}

// "section: subject" of every message of a forum or newsgroup database, sorted.
std::vector<std::string> sectionsOf(const std::string& database) {
    std::vector<std::string> rows;
    if (!activateDatabase(catalogEntry(database).id)) return rows;
    OP_CLOSE(OpenShared, {3, 6, 7});
    MsgNmbr.setPhysical();
    while (MsgNmbr.next() == StorageStatus::Ok) {
        const MsgNmbrRecord message = MSG;
        Sections.clear();
        SEC.SECSYSID = message.SECSYSID;
        std::string row = Sections.get(SEC_SysIdKey) == StorageStatus::Ok ? SEC.DESCRIPTION.str() : "?";
        Threads.clear();
        THR.THREADNUMBER = message.THREADNUMBER;
        row += ": " + (Threads.get(THR_ThreadKey) == StorageStatus::Ok ? THR.HEADING.str() : std::string("?"));
        rows.push_back(row);
    }
    OP_CLOSE(ReleaseTable, {3, 6, 7});
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST_F(RealWorldMail, TheSameMailSavedTwiceWithinAMinuteIsStoredOnce) {
    const ImportCounts counts = import("Generic Mail Type 2", {realWorld("near-duplicates.mbox")});
    EXPECT_EQ(counts.imported, 1);
    EXPECT_EQ(counts.skipped, 1);
    const DatabaseContents db = contents("Inbox");
    ASSERT_EQ(db.messages.size(), 1u);
    EXPECT_EQ(db.messages[0].time, at(11, 0, 0));
}

TEST_F(RealWorldMail, ListMailWithANewsgroupsFieldIsMail) {
    const ImportCounts counts = import("Generic Mail Type 2", {realWorld("newsgroups-header.mbox")});
    EXPECT_EQ(counts.imported, 2);
    EXPECT_EQ(counts.skipped, 0);
    EXPECT_NE(contents("Inbox").bySubject("Gatewayed question"), nullptr);
}

TEST_F(RealWorldMail, OnlyEnvelopeLinesSeparateMessages) {
    const ImportCounts counts = import("Generic Mail Type 2", {realWorld("from-lines.mbox")});
    EXPECT_EQ(counts.imported, 3);
    EXPECT_EQ(counts.skipped, 0);
    const DatabaseContents db = contents("Inbox");
    const StoredMessage* films = db.bySubject("Films");
    ASSERT_NE(films, nullptr);
    EXPECT_EQ(films->text,
              "My favourite film:\r\n\r\nFrom Russia with love\r\nYear: 1963\r\n\r\nFrom here on it gets better.\r\n");
    const StoredMessage* archived = db.bySubject("Archive copy");
    ASSERT_NE(archived, nullptr);
    EXPECT_EQ(archived->date, dayNumber(1997, 3, 6));
}

TEST_F(RealWorldMail, EscapedFromLinesLoseOneMarkOnlyInTheEscapingConvention) {
    EXPECT_EQ(import("Generic Mail Type 2", {realWorld("mboxrd.mbox"), realWorld("mboxo.mbox")}).imported, 3);
    const DatabaseContents db = contents("Inbox");
    ASSERT_NE(db.bySubject("Escaped lines"), nullptr);
    EXPECT_EQ(db.bySubject("Escaped lines")->text,
              "From the start it was clear.\r\n>From a quoted line.\r\n> From a quote with a blank.\r\n");
    ASSERT_NE(db.bySubject("Second escaped"), nullptr);
    EXPECT_EQ(db.bySubject("Second escaped")->text, "From now on.\r\n");
    ASSERT_NE(db.bySubject("Plain escapes"), nullptr);
    EXPECT_EQ(db.bySubject("Plain escapes")->text, ">From the start it was clear.\r\n");
}

TEST_F(RealWorldMail, AContentLengthThatPointsAtTheNextEnvelopeIsHonoured) {
    const ImportCounts counts = import("Generic Mail Type 2", {realWorld("content-length.mbox")});
    EXPECT_EQ(counts.imported, 3);
    EXPECT_EQ(counts.skipped, 0);
    const DatabaseContents db = contents("Inbox");
    ASSERT_NE(db.bySubject("Forwarded inline"), nullptr);
    EXPECT_EQ(db.bySubject("Forwarded inline")->text,
              "Here is the mail you asked for:\r\n\r\nFrom anna@old.example  Wed Feb  1 19:06:09 2006\r\n"
              "From: Anna Old <anna@old.example>\r\nSubject: The original\r\n\r\nThe original text.\r\n");
    ASSERT_NE(db.bySubject("Wrong count"), nullptr);
    EXPECT_EQ(db.bySubject("Wrong count")->text, "A count that points into the text.\r\n");
    EXPECT_NE(db.bySubject("After the count"), nullptr);
}

TEST_F(RealWorldMail, MultipartMailWithoutAUsableBoundaryIsKept) {
    const ImportCounts counts = import("Generic Mail Type 2", {realWorld("empty-boundary.mbox")});
    EXPECT_EQ(counts.imported, 2);
    EXPECT_EQ(counts.skipped, 0);
    const DatabaseContents db = contents("Inbox");
    ASSERT_NE(db.bySubject("Empty boundary"), nullptr);
    EXPECT_EQ(db.bySubject("Empty boundary")->text, "The text part.\r\n");
    ASSERT_NE(db.bySubject("No boundary at all"), nullptr);
    EXPECT_EQ(db.bySubject("No boundary at all")->text, "Text without parts.\r\n");
}

TEST_F(RealWorldMail, LongLinesAreKeptWholeUpToTheTextLimitInCharacters) {
    EXPECT_EQ(import("Generic Mail Type 2", {realWorld("long-lines.mbox")}).imported, 4);
    const DatabaseContents db = contents("Inbox");
    std::string paragraph;
    for (int i = 0; i < 900; ++i) paragraph += (i ? " word" : "word") + std::to_string(i);
    ASSERT_NE(db.bySubject("One long paragraph"), nullptr);
    EXPECT_EQ(db.bySubject("One long paragraph")->text, paragraph + "\r\nThe end.\r\n");

    ASSERT_NE(db.bySubject("One-line page"), nullptr);
    const std::string& page = db.bySubject("One-line page")->text;
    EXPECT_NE(page.find("Paragraph 0 of the page."), std::string::npos);
    EXPECT_NE(page.find("Paragraph 119 of the page."), std::string::npos);

    std::string accents;
    for (int i = 0; i < 1000; ++i) accents += "\xC3\xA9";
    ASSERT_NE(db.bySubject("Accents"), nullptr);
    EXPECT_EQ(db.bySubject("Accents")->text, accents + "!\r\n");

    // 70,000 characters of two bytes: 63,998 of them and a final line end.
    ASSERT_NE(db.bySubject("Beyond the limit"), nullptr);
    const std::string& cut = db.bySubject("Beyond the limit")->text;
    EXPECT_EQ(cut.size(), 2u * 63998u + 2u);
    EXPECT_TRUE(cut.ends_with("\xC3\xA9\r\n"));
}

TEST_F(RealWorldMail, RealWorldDatesAndTheEnvelopeDateAsFallback) {
    EXPECT_EQ(import("Generic Mail Type 2", {realWorld("dates.mbox")}).imported, 8);
    const DatabaseContents db = contents("Inbox");
    struct Expected {
        const char* subject;
        int y, m, d, hh, mm;
    };
    const Expected rows[] = {
        {"asctime", 2006, 2, 1, 19, 6},        {"no comma", 2006, 2, 1, 19, 6},
        {"month first", 2002, 11, 1, 15, 1},   {"iso", 2006, 2, 1, 19, 6},
        {"two-digit year", 1997, 3, 4, 8, 5},  {"no date field", 1997, 3, 6, 9, 10},
        {"unreadable date", 1997, 3, 6, 9, 20}, {"received only", 1997, 3, 7, 10, 0},
    };
    for (const Expected& e : rows) {
        const StoredMessage* m = db.bySubject(e.subject);
        ASSERT_NE(m, nullptr) << e.subject;
        EXPECT_EQ(m->date, dayNumber(e.y, e.m, e.d)) << e.subject;
        EXPECT_EQ(m->time, at(e.hh, e.mm, 0)) << e.subject;  // mail keeps its minute
    }
}

TEST_F(RealWorldMail, CodePage850CaptureBytesMapAsTheNavigatorsMappedThem) {
    const ULONG forum = makeDatabase(TypeForum, "General Forum");
    ASSERT_NE(forum, 0u);
    ImportRequest request;
    request.selectionMethod = SelectFiles;
    request.importPath = root.path();
    request.selectedFiles = realWorld("cp850.msg");
    request.importForum = 1;
    request.targetDatabase = static_cast<LONG>(forum);
    ASSERT_EQ(setRequestFormat(request, formatByName("TAPCIS 6.x")->number), RequestProblem::None);
    ASSERT_EQ(completeImportRequest(request), RequestProblem::None);
    ImportRun run(request, ImportOptions{});
    ASSERT_EQ(run.runToEnd(), ImportOutcome::Completed);
    const DatabaseContents db = contents("General Forum");
    ASSERT_EQ(db.messages.size(), 1u);
    EXPECT_EQ(db.messages[0].subject, "Heating at 20 C");
    EXPECT_EQ(db.messages[0].text, "Set it to 20 C.\r\nTotal === line, cedilla x, no break.\r\n");
}

TEST_F(RealWorldMail, ARedirectTargetFilesEachNewsgroupUnderItsOwnSection) {
    const ULONG target = makeDatabase(TypeNewsgroup, "comp.lang.c");
    const ULONG redirected = makeDatabase(TypeNewsgroup, "comp.lang.c.moderated");
    ASSERT_NE(target, 0u);
    setRedirect(redirected, target);
    EXPECT_EQ(import("Unix News", {realWorld("redirected.news")}).imported, 3);
    EXPECT_EQ(contents("comp.lang.c.moderated").messages.size(), 0u);
    EXPECT_EQ(sectionsOf("comp.lang.c"),
              (std::vector<std::string>{"comp.lang.c.moderated: Moderated again",
                                        "comp.lang.c.moderated: Moderated first", "comp.lang.c: Own group"}));
}

}  // namespace
}  // namespace pm::test
