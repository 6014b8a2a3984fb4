// The format table and building import requests from definitions.
#include <gtest/gtest.h>

#include "common/globals.h"
#include "import/driver/format_table.h"
#include "import/driver/import_request.h"
#include "support/installation_fixture.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm::test {
namespace {

TEST(FormatTable, EntriesByNumberAndName) {
    struct Row {
        int number;
        const char* name;
        const char* masks;
        SourceKind source;
    };
    const Row rows[] = {
        {1, "AUTOSIG", "*.ATO", SourceKind::TextLines},
        {3, "CompuServe 3.x", "FCABINET.DAT", SourceKind::TwoPassStream},
        {11, "NavCIS 1.7x-", "HRECV.DBF", SourceKind::DatabaseTable},
        {16, "VirtualAccess", "*.", SourceKind::ByteStream},
        {17, "WinCIM", "*.THD;*.MSG;*.PLX", SourceKind::ByteStream},
        {23, "Outlook Express 4 Mail", "*.MBX", SourceKind::ByteStream},
        {33, "Outlook Mail", "", SourceKind::Automation},
        {35, "Generic Mail Type 2", "*.*", SourceKind::ByteStream},
    };
    ASSERT_EQ(formatTable().size(), 35u);
    for (std::size_t i = 0; i < formatTable().size(); ++i) {
        EXPECT_EQ(formatTable()[i].number, static_cast<int>(i + 1));
        EXPECT_LE(std::string(formatTable()[i].name).size(), 22u);
    }
    for (const Row& row : rows) {
        const FormatEntry* e = formatByNumber(row.number);
        ASSERT_NE(e, nullptr);
        EXPECT_STREQ(e->name, row.name);
        EXPECT_STREQ(e->masks, row.masks);
        EXPECT_EQ(e->source, row.source);
        EXPECT_EQ(formatByName(row.name), e);
    }
    EXPECT_EQ(formatByNumber(0), formatByNumber(17));
    EXPECT_EQ(formatByNumber(36), nullptr);
    EXPECT_EQ(formatByName("outlook express 5 NEWS  "), formatByNumber(34));
    EXPECT_EQ(formatByName("Outlook"), nullptr);
    EXPECT_EQ(formatList().size(), 35u);
}

TEST(FormatTable, OverrideRegistersAndWithdrawsAParser) {
    struct NullParser : FormatParser {
        bool parse(ParserCall&) override { return true; }
    };
    const FormatParserOverride none(30, nullptr);
    EXPECT_FALSE(formatImportable(30));
    {
        FormatParserOverride plug(30, [] { return std::make_unique<NullParser>(); });
        EXPECT_TRUE(formatImportable(30));
        EXPECT_NE(makeFormatParser(30), nullptr);
        {
            FormatParserOverride withdrawn(30, nullptr);
            EXPECT_FALSE(formatImportable(30));
            EXPECT_EQ(makeFormatParser(30), nullptr);
        }
        EXPECT_TRUE(formatImportable(30));
        EXPECT_EQ(detectFormatVariant(30, ImportRequest{}, "x"), -1);
    }
    EXPECT_FALSE(formatImportable(30));
}

TEST(RequestLists, SplitTrimsAndDropsEmptyEntries) {
    EXPECT_EQ(splitList(" *.MSG ;;*.old; "), (std::vector<std::string>{"*.MSG", "*.old"}));
    EXPECT_TRUE(splitList("").empty());
}

class Definitions : public InstallationTest {
protected:
    BATRecord definition(int format, BYTE method) {
        BATRecord d{};
        BATFile.clear();
        d = BAT;
        d.ID = 42;
        d.FILETYPE = static_cast<BYTE>(format);
        d.SELMETHOD = method;
        d.IMPPATH = "/data/in";
        d.FORUMMSG = 1;
        return d;
    }
};

TEST_F(Definitions, FileEntriesBecomeMasksOrSelectedFiles) {
    ImportRequest r;
    ASSERT_EQ(importRequestFromDefinition(definition(6, SelectFiles), {"a.mbx", "b.mbx"}, r), RequestProblem::None);
    EXPECT_EQ(r.selectedFiles, (std::vector<std::string>{"a.mbx", "b.mbx"}));
    EXPECT_EQ(r.formatName, "Eudora");
    EXPECT_EQ(r.masks, "*.MBX");  // the format's default
    ASSERT_EQ(importRequestFromDefinition(definition(0, SelectDirectoryTree), {"*.THD", "*.MSG"}, r),
              RequestProblem::None);
    EXPECT_EQ(r.format, 17);
    EXPECT_EQ(r.masks, "*.THD;*.MSG");
    EXPECT_TRUE(r.selectedFiles.empty());
    EXPECT_EQ(r.importPath, "/data/in");
    EXPECT_EQ(importRequestFromDefinition(definition(6, SelectFiles), {}, r), RequestProblem::NoFileEntries);
    EXPECT_EQ(importRequestFromDefinition(definition(99, SelectFiles), {"x"}, r), RequestProblem::UnknownFormat);
}

TEST_F(Definitions, VariantAndTargetNameOfFormatsWithForumMessagesAndMail) {
    const ULONG forum = makeDatabase(TypeForum, "Photo Forum");
    const ULONG mailbox = makeDatabase(TypeForum, "My Mail");
    BATRecord d = definition(15, SelectFiles);  // TAPCIS 5.x
    d.DATABASE = forum;
    d.MAILBOX = mailbox;
    ImportRequest r;
    ASSERT_EQ(importRequestFromDefinition(d, {"a.msg"}, r), RequestProblem::None);
    EXPECT_EQ(r.variant, 1);
    EXPECT_EQ(r.targetName, "Photo Forum");
    d.MAILMSG = 1;
    ASSERT_EQ(importRequestFromDefinition(d, {"a.msg"}, r), RequestProblem::None);
    EXPECT_EQ(r.variant, 2);
    EXPECT_EQ(r.targetName, "My Mail");
    EXPECT_EQ(r.mailboxOwner.mailboxName(), "My Mail");

    d.MAILBOX = 999999;
    EXPECT_EQ(importRequestFromDefinition(d, {"a.msg"}, r), RequestProblem::MailboxMissing);
    d.MAILBOX = mailbox;
    d.DATABASE = 999999;
    EXPECT_EQ(importRequestFromDefinition(d, {"a.msg"}, r), RequestProblem::TargetMissing);
    // A mail format with mail wanted needs its mailbox.
    BATRecord eudora = definition(6, SelectFiles);
    eudora.MAILMSG = 1;
    EXPECT_EQ(importRequestFromDefinition(eudora, {"a.mbx"}, r), RequestProblem::MailboxMissing);
}

TEST_F(Definitions, StoredDefinitionLoadsAndAMissingOneFailsTheTaskStep) {
    OP_CLOSE(OpenShared, {34, 27});
    BATFile.clear();
    BAT = definition(28, SelectDirectory);
    ASSERT_EQ(BATFile.add(), StorageStatus::Ok);
    for (const char* mask : {"*.news", "*.txt"}) {
        FLIFile.clear();
        FLI.ID = 42;
        FLI.FILESPEC = mask;
        ASSERT_EQ(FLIFile.add(), StorageStatus::Ok);
    }
    OP_CLOSE(ReleaseTable, {34, 27});

    ImportRequest r;
    ASSERT_EQ(loadImportDefinition(42, r), RequestProblem::None);
    EXPECT_EQ(r.formatName, "Unix News");
    EXPECT_EQ(r.masks, "*.news;*.txt");
    EXPECT_EQ(r.selectionMethod, SelectDirectory);

    Mem.DoTask = TaskRunning;
    EXPECT_EQ(loadImportDefinition(43, r), RequestProblem::NoSuchDefinition);
    EXPECT_EQ(Mem.DoTask, TaskFailed);
}

}  // namespace
}  // namespace pm::test
