// Real files of several formats through the whole import (skipped when the
// shared sample folder is absent; POSTMOOR_CORPORA names another place).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "formats_fixture.h"
#include "import/internet/charset.h"

namespace pm::test {
namespace {

namespace fs = std::filesystem;

class Corpus : public FormatImportTest {
protected:
    void SetUp() override {
        corpora = corporaRoot();
        if (!corpora) GTEST_SKIP() << "no sample corpora";
        FormatImportTest::SetUp();
    }
    std::string file(const std::string& relative) const { return (*corpora / relative).string(); }

    // Every stored text and field is UTF-8, no encoded word of a known
    // charset is left in a subject, and no text is empty.
    void expectCleanTexts(const DatabaseContents& db) {
        for (const StoredMessage& m : db.messages) {
            EXPECT_TRUE(inet::isValidUtf8(m.text)) << m.subject;
            EXPECT_TRUE(inet::isValidUtf8(m.subject)) << m.subject;
            EXPECT_EQ(m.subject.find("=?utf-8?"), std::string::npos) << m.subject;
            EXPECT_EQ(m.subject.find("=?UTF-8?"), std::string::npos) << m.subject;
            EXPECT_EQ(m.subject.find("=?iso-8859-1?"), std::string::npos) << m.subject;
            EXPECT_EQ(m.text.find("!!!Remove this!!!"), std::string::npos) << m.subject;
        }
    }

    std::optional<fs::path> corpora;
};

struct MailboxCase {
    const char* file;
    long long imported, skipped;
};

TEST_F(Corpus, MailboxesSplitAtTheirEnvelopeLines) {
    // Body lines beginning "From " that are no envelope line (unmunged's
    // "From Russia with love", separators2's "From this principle") stay in
    // their message; the last message of simple.mbox.txt declares an empty
    // boundary and is kept.
    const MailboxCase cases[] = {
        {"mbox/bogofilter/good.mbx", 48, 0},
        {"mbox/eudora2unix/test1.mbox", 5, 0},
        {"mbox/mail-mbox-messageparser/hessbug.txt", 1, 0},
        {"mbox/mail-mbox-messageparser/mailarc-2.txt", 5, 0},
        {"mbox/mail-mbox-messageparser/mailseparators.txt", 3, 0},
        {"mbox/mail-mbox-messageparser/newlines_at_beginning.txt", 1, 0},
        {"mbox/mail-mbox-messageparser/separators2.sep", 2, 0},
        {"mbox/mail-mboxparser/testbox", 9, 0},
        {"mbox/mimekit/issue1189.mbox.txt", 4, 0},
        {"mbox/mimekit/simple.mbox.txt", 3, 0},
        {"mbox/mimekit/unmunged.mbox.txt", 2, 0},
        {"mbox/node-mbox/test-3-message.mbox", 3, 0},
    };
    for (const MailboxCase& c : cases) {
        SCOPED_TRACE(c.file);
        const ImportCounts counts = import("Generic Mail Type 2", {file(c.file)}, 0, true);
        EXPECT_EQ(counts.imported, c.imported);
        EXPECT_EQ(counts.skipped, c.skipped);
    }
    const DatabaseContents db = contents("Inbox");
    EXPECT_EQ(db.messages.size(), 86u);
    EXPECT_GE(db.dated() * 100, db.messages.size() * 95);
    EXPECT_GT(db.senders(), 40u);
    expectCleanTexts(db);
    // An empty mailbox holds no message at all.
    EXPECT_EQ(import("Generic Mail Type 2", {file("mbox/node-mbox/test-0-message.mbox")}).outcome,
              ImportOutcome::NothingFound);
}

TEST_F(Corpus, EudoraMailboxesOfWindowsAndMacintosh) {
    // The Windows mailbox has a table of contents listing all five; the
    // Macintosh one has none and ends its lines with CR alone.
    EXPECT_EQ(import("Eudora", {file("eudora/eudora2unix/win-eudora-7.1/In.mbx")}).imported, 5);
    const DatabaseContents windows = contents("Inbox");
    EXPECT_EQ(windows.dated(), 5u);
    EXPECT_EQ(windows.senders(), 3u);
    expectCleanTexts(windows);
    EXPECT_EQ(import("Eudora", {file("eudora/eudora2unix/win-eudora-7.1/Junk.mbx")}).outcome,
              ImportOutcome::NothingFound);
}

TEST_F(Corpus, EudoraMailboxWithCarriageReturnLineEnds) {
    EXPECT_EQ(import("Eudora", {file("eudora/eudora2unix/mac-eudora-6.2.4/Mail Folder/In")}).imported, 5);
    const DatabaseContents db = contents("Inbox");
    EXPECT_EQ(db.dated(), 5u);
    expectCleanTexts(db);
    for (const StoredMessage& m : db.messages) EXPECT_FALSE(m.text.empty()) << m.subject;
}

TEST_F(Corpus, NetscapeFolderWithFoldedBoundaries) {
    const ImportCounts counts = import("Netscape Mail", {file("netscape/mimekit/content-length.mbox.txt")});
    EXPECT_EQ(counts.imported, 29);
    EXPECT_EQ(counts.skipped, 0);
    const DatabaseContents db = contents("Inbox");
    EXPECT_EQ(db.dated(), 29u);
    expectCleanTexts(db);
}

TEST_F(Corpus, OutlookExpressFolderChains) {
    const ImportCounts counts = import("Outlook Express 5 Mail", {file("dbx/iped/test_OutlookDBX.dbx")});
    EXPECT_EQ(counts.imported, 28);
    EXPECT_EQ(counts.skipped, 0);
    const DatabaseContents db = contents("Inbox");
    EXPECT_EQ(db.dated(), 28u);
    expectCleanTexts(db);
    for (const StoredMessage& m : db.messages) EXPECT_FALSE(m.text.empty()) << m.subject;
    EXPECT_EQ(logText(), "");
}

TEST_F(Corpus, SingleArticlesAndMessagesFoundByTheirHeaders) {
    // Each spool article is one file; Gravity finds it by its header lines.
    // Articles whose header block holds no known field (the torture tests)
    // have no header start, one whose header holds a line of blanks ends its
    // header before its Message-ID, and articles sharing a Message-ID are
    // stored once.
    std::vector<std::string> articles;
    for (const auto& entry : fs::directory_iterator(*corpora / "news/inn/articles"))
        articles.push_back(entry.path().string());
    std::sort(articles.begin(), articles.end());
    const ImportCounts news = import("Gravity", articles);
    EXPECT_EQ(news.outcome, ImportOutcome::Completed);
    EXPECT_EQ(news.imported, 10);

    std::vector<std::string> messages;
    for (const auto& entry : fs::recursive_directory_iterator(*corpora / "rfc822"))
        if (entry.is_regular_file() && entry.path().filename() != "SOURCES.md") messages.push_back(entry.path().string());
    std::sort(messages.begin(), messages.end());
    const ImportCounts mail = import("Generic Mail Type 1", messages);
    EXPECT_EQ(mail.outcome, ImportOutcome::Completed);
    // Nearly every file is one message; duplicates are left out by the store.
    EXPECT_GE((mail.imported + mail.skipped) * 100, static_cast<long long>(messages.size()) * 95);
    expectCleanTexts(contents("Inbox"));
}

}  // namespace
}  // namespace pm::test
