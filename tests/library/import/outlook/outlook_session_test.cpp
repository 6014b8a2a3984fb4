// The Outlook object layer over real folder files (when the shared samples
// are there) and over damaged copies of them; the body rules for items that
// keep only HTML or RTF.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>

#include "common/dates.h"
#include "import/outlook/outlook_folders.h"
#include "import/outlook/outlook_session.h"
#include "support/corpora.h"
#include "support/dbase_writer.h"
#include "support/test_root.h"

namespace pm::outlook {
namespace {

#define SAMPLE_PST(var, relative)                                      \
    const std::string var = test::corpusFile(std::string("pst/") + relative); \
    if (var.empty()) GTEST_SKIP() << "sample not present: " << relative

// Item times are shown in local time; the tests read them in UTC.
struct UtcZone {
    UtcZone() {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

std::map<std::string, int> folderCounts(const Session& session) {
    std::map<std::string, int> counts;
    for (const FolderEntry& f : mailFolders(session)) counts[f.path] = f.itemCount;
    return counts;
}

TEST(OutlookSession, MailFoldersOfTheStoreWithTheirItemCounts) {
    SAMPLE_PST(path, "iped/test_sample.pst");
    std::string error;
    const auto session = Session::open(path, error);
    ASSERT_TRUE(session) << error;
    // Calendar, contacts and tasks hold no mail; empty mail folders are left out.
    EXPECT_EQ(folderCounts(*session), (std::map<std::string, int>{{"thisisatest/Itens Excluídos", 4},
                                                                  {"thisisatest/Caixa de Entrada", 3},
                                                                  {"thisisatest/Itens Enviados", 1}}));
}

TEST(OutlookSession, TheStoresTopFolderCountsWhenItHoldsItems) {
    SAMPLE_PST(path, "pstsdk/test_unicode.pst");
    std::string error;
    const auto session = Session::open(path, error);
    ASSERT_TRUE(session) << error;
    EXPECT_EQ(folderCounts(*session).size(), 2u);
    std::vector<FolderEntry> folders = mailFolders(*session);
    keepSelectedFolders(folders, parseFolderSelection("folder; nothing by this name"));
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].name, "Folder");
}

TEST(OutlookSession, AnItemsPropertiesRecipientsAndReply) {
    UtcZone utc;
    SAMPLE_PST(path, "pstsdk/sample1.pst");
    std::string error;
    const auto session = Session::open(path, error);
    ASSERT_TRUE(session) << error;
    std::vector<FolderEntry> folders = mailFolders(*session);
    ASSERT_EQ(folders.size(), 1u);
    const auto item = folders[0].folder->item(1);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->subject().value_or(""), "Here is a sample message");
    EXPECT_EQ(item->senderName().value_or(""), "Terry Mahaffey");
    EXPECT_EQ(item->to().value_or(""), "Terry Mahaffey");
    EXPECT_NE(item->body(64000).value_or("").find("sample"), std::string::npos);
    ASSERT_TRUE(item->sentOn());
    EXPECT_EQ(item->sentOn()->date, dayNumber(2010, 3, 15));
    EXPECT_EQ(item->sentOn()->time / 100, (17 * 60 + 12) * 60 + 5);
    const std::vector<Recipient> recipients = item->recipients();
    ASSERT_EQ(recipients.size(), 1u);
    EXPECT_EQ(recipients[0].type.value_or(-1), ToRecipient);
    EXPECT_EQ(recipients[0].name.value_or(""), "Terry Mahaffey");
    const auto reply = item->reply();
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->recipients().size(), 1u);
    EXPECT_EQ(reply->recipients()[0].name.value_or(""), "Terry Mahaffey");
    EXPECT_FALSE(reply->subject());
    EXPECT_FALSE(folders[0].folder->item(2));
    EXPECT_FALSE(folders[0].folder->item(0));
}

TEST(OutlookSession, AnItemWithoutSenderGetsNoneFromItsReply) {
    SAMPLE_PST(path, "iped/test_sample.pst");
    std::string error;
    const auto session = Session::open(path, error);
    ASSERT_TRUE(session) << error;
    std::vector<FolderEntry> folders = mailFolders(*session);
    keepSelectedFolders(folders, {"Caixa de Entrada"});
    ASSERT_EQ(folders.size(), 1u);
    bool seen = false;
    for (int i = 1; i <= folders[0].itemCount; ++i) {
        const auto item = folders[0].folder->item(i);
        ASSERT_TRUE(item);
        if (item->subject().value_or("") != "this is a test message") continue;
        seen = true;
        EXPECT_EQ(item->senderName().value_or(""), "");
        const auto reply = item->reply();
        ASSERT_TRUE(reply);
        for (const Recipient& r : reply->recipients()) EXPECT_TRUE(r.name || r.address);
    }
    EXPECT_TRUE(seen);
}

// --- damaged files -------------------------------------------------------

void copyFile(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// Reads everything the import would read; it must end, whatever it finds.
int readEverything(const Session& session) {
    int items = 0;
    for (const FolderEntry& f : mailFolders(session))
        for (int i = 1; i <= f.itemCount; ++i)
            if (const auto item = f.folder->item(i)) {
                item->subject();
                item->body(64000);
                item->recipients();
                item->sentOn();
                if (const auto reply = item->reply()) reply->recipients();
                ++items;
            }
    return items;
}

TEST(OutlookDamage, WrongSignatureCutOffAndOverwrittenFilesEndWithAReason) {
    SAMPLE_PST(path, "iped/test_sample.pst");
    test::TempDir dir;
    std::string error;

    copyFile(path, dir / "sig.pst");
    test::patchFile(dir / "sig.pst", 0, "XXXX");
    EXPECT_FALSE(Session::open(dir / "sig.pst", error));
    EXPECT_NE(error.find("is not an Outlook folder file"), std::string::npos) << error;

    EXPECT_FALSE(Session::open(dir / "none.pst", error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;

    const auto size = std::filesystem::file_size(path);
    for (const std::uint64_t cut : {std::uint64_t{600}, size / 8, size / 2, size - 4096}) {
        copyFile(path, dir / "cut.pst");
        test::truncateFile(dir / "cut.pst", cut);
        if (const auto session = Session::open(dir / "cut.pst", error)) readEverything(*session);
    }
    for (std::uint64_t at = 0x4400; at + 4096 < size; at += size / 7) {
        copyFile(path, dir / "hole.pst");
        test::patchFile(dir / "hole.pst", at, std::string(4096, '\x5A'));
        if (const auto session = Session::open(dir / "hole.pst", error)) readEverything(*session);
    }
}

// --- bodies ----------------------------------------------------------------

TEST(OutlookBody, TextFirstThenHtmlThenRtf) {
    const std::string html = "<html><body><p>Caf\xE9 <b>au</b> lait</p><p>second</p></body></html>";
    EXPECT_EQ(bodyText(std::string("plain"), html, 1252, std::nullopt, 100).value_or(""), "plain");
    EXPECT_EQ(bodyText(std::nullopt, html, 1252, std::nullopt, 100).value_or(""), "Café au lait\r\n\r\nsecond\r\n");
    EXPECT_EQ(bodyText(std::string(), std::string("<p>utf \xC3\xA9</p>"), 65001, std::nullopt, 100).value_or(""),
              "utf é\r\n");
    EXPECT_EQ(bodyText(std::nullopt, std::nullopt, 0, std::string("{\\rtf1 from rtf\\par}"), 100).value_or(""),
              "from rtf\r\n");
    EXPECT_FALSE(bodyText(std::nullopt, std::nullopt, 0, std::nullopt, 100));
    EXPECT_EQ(bodyText(std::string("\xC3\xA9\xC3\xA9"), std::nullopt, 0, std::nullopt, 3).value_or(""), "é");
}

TEST(OutlookBody, RtfText) {
    EXPECT_EQ(rtfToText("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}"
                        "\\f0 Hello \\b world\\b0\\par Caf\\'e9 \\u8364?5\\line\\{x\\}}"),
              "Hello world\r\nCafé €5\r\n{x}");
    EXPECT_EQ(rtfToText("{\\rtf1{\\*\\generator Writer;}{\\*\\unknown skipped}kept\\tab t}"), "kept\tt");
    EXPECT_EQ(rtfToText("{\\rtf1\\uc0\\u-10179\\u-8704 end}"), "\xF0\x9F\x98\x80" "end");
    // A body that wraps HTML gives the HTML's text.
    EXPECT_EQ(
        rtfToText("{\\rtf1\\ansi\\fromhtml1 {\\*\\htmltag1 <html>}{\\*\\htmltag64 <p>}\\htmlrtf {\\htmlrtf0 Para one"
                  "{\\*\\htmltag72 </p>}\\htmlrtf \\par }\\htmlrtf0 {\\*\\htmltag64 <p>}two{\\*\\htmltag72 </p>}}"),
        "Para one\r\n\r\ntwo\r\n");
    EXPECT_EQ(rtfToText("{\\rtf1 unbalanced {\\b group"), "unbalanced group");
    EXPECT_EQ(rtfToText("\\"), "");
}

}  // namespace
}  // namespace pm::outlook
