// Damaged and hostile files through every mail and news format: truncated
// files, binary garbage, a header without a body, endless lines, empty
// files. Each run ends normally, keeps what it can and takes bounded time.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "common/dates.h"
#include "formats_fixture.h"
#include "splitter_support.h"

namespace pm::test {
namespace {

using Malformed = FormatImportTest;

const char* const kFormats[] = {
    "Eudora", "IE Mail", "IE News", "VirtualAccess", "Agent News", "Pegasus", "Netscape News", "Netscape Mail",
    "Outlook Express 4 Mail", "Outlook Express 4 News", "Generic Mail Type 1", "Becky Mail", "Unix News", "Gravity",
    "Agent Mail", "Outlook Express 5 Mail", "Outlook Express 5 News", "Generic Mail Type 2",
};

TEST_F(Malformed, NoFileEndsARunOrTakesLong) {
    const std::string endless = root / "endless.mbox";
    writeFile(endless, "From a@b\nFrom: a@b\nSubject: long\n\n" + std::string(6 << 20, 'x'));
    const std::string zeros = root / "zeros.bin";
    writeFile(zeros, std::string(1 << 20, '\0'));
    std::string markers;
    for (int i = 0; i < 20000; ++i) markers += std::string("\x7F\x00\x7F\xBC\x1A", 5);
    const std::string markerFile = root / "markers.bin";
    writeFile(markerFile, markers);
    const std::vector<std::string> files = {
        sampleFile("broken/garbage.bin"), sampleFile("broken/truncated.mbox"), sampleFile("broken/header-only.mbox"),
        sampleFile("broken/empty.mbox"),  endless, zeros, markerFile,
    };
    for (const char* format : kFormats) {
        for (const std::string& file : files) {
            SCOPED_TRACE(std::string(format) + " " + file);
            const auto start = std::chrono::steady_clock::now();
            const ImportCounts counts = import(format, {file}, 0, true);
            const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            EXPECT_TRUE(counts.outcome == ImportOutcome::Completed || counts.outcome == ImportOutcome::NothingFound);
            EXPECT_LT(seconds, 20.0);
        }
    }
}

TEST_F(Malformed, WhatCanBeReadIsKept) {
    // A header that ends the file: the message with an empty text.
    EXPECT_EQ(import("Generic Mail Type 2", {sampleFile("broken/header-only.mbox")}).imported, 1);
    DatabaseContents db = contents("Inbox");
    ASSERT_EQ(db.messages.size(), 1u);
    EXPECT_EQ(db.messages[0].subject, "No body");
    EXPECT_EQ(db.messages[0].date, dayNumber(1997, 3, 3));  // the last line, without its line end
    EXPECT_EQ(db.messages[0].text, "");

    // A file cut inside the header: the part that is there.
    EXPECT_EQ(import("Generic Mail Type 2", {sampleFile("broken/truncated.mbox")}).imported, 1);

    // An endless line keeps as much as a text can hold.
    const std::string endless = root / "endless.mbox";
    writeFile(endless, "From a@b\nFrom: a@b\nSubject: long\n\n" + std::string(6 << 20, 'x') + "\nlast line\n");
    EXPECT_EQ(import("Generic Mail Type 2", {endless}).imported, 1);
    db = contents("Inbox");
    const StoredMessage* longText = db.bySubject("long");
    ASSERT_NE(longText, nullptr);
    EXPECT_EQ(longText->text, std::string(63998, 'x') + "\r\n");
}

TEST_F(Malformed, AMessageWithCrAloneBetweenCrLfMessagesIsStored) {
    // A message appended by a program that ends its lines with CR alone,
    // between messages with CR LF: each of the three is found and stored
    // whole, and a stray CR inside a CR LF line stays in its line (a blank in
    // the subject).
    auto message = [](const std::string& separator, int n, const std::string& eol, const std::string& extra = "") {
        const std::string k = std::to_string(n);
        return separator + eol + "From: a" + k + "@x.example" + eol + "Subject: " + separator.substr(5, 1) +
               " message " + k + extra + eol +
               "Date: Mon, 5 Jan 2004 10:0" + k + ":00 +0000" + eol + eol + "Body " + k + eol + "second line" + eol +
               eol;
    };
    struct Case {
        const char* format;
        std::string separator;
    };
    for (const Case& c : {Case{"Generic Mail Type 2", "From a@x.example Mon Jan  5 10:00:00 2004"},
                          Case{"Netscape Mail", "From - Mon Jan  5 10:00:00 2004"}}) {
        SCOPED_TRACE(c.format);
        const std::string file = root / "mixed.mbox";
        writeFile(file, message(c.separator, 1, "\r\n", "\rstray") + message(c.separator, 2, "\r") +
                            message(c.separator, 3, "\r\n") + message(c.separator, 4, "\r") +
                            message(c.separator, 5, "\n"));
        const ImportCounts counts = import(c.format, {file}, 0, true);
        EXPECT_EQ(counts.imported + counts.skipped, 5);
        const DatabaseContents db = contents("Inbox");
        for (int n = 1; n <= 5; ++n) {
            const std::string subject = c.separator.substr(5, 1) + " message " + std::to_string(n);
            const StoredMessage* m = db.bySubject(subject + (n == 1 ? " stray" : ""));
            ASSERT_NE(m, nullptr) << n << " " << testing::PrintToString(db.subjects());
            EXPECT_EQ(m->text, "Body " + std::to_string(n) + "\r\nsecond line\r\n") << n;
            EXPECT_EQ(m->senderAddress, "a" + std::to_string(n) + "@x.example");
        }
    }
}

TEST_F(Malformed, AnEmptyFileWritesNothing) {
    for (const char* format : {"Generic Mail Type 2", "Outlook Express 5 Mail", "IE News", "VirtualAccess"}) {
        const ImportCounts counts = import(format, {sampleFile("broken/empty.mbox")});
        EXPECT_EQ(counts.outcome, ImportOutcome::NothingFound) << format;
        EXPECT_EQ(counts.workRecords, 0) << format;
    }
}

}  // namespace
}  // namespace pm::test
