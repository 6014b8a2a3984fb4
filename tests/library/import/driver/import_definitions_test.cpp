// The store of import definitions: a definition and its file list change
// together, a stale editor copy cannot overwrite another user's change, and
// a deleted definition takes its task steps along.
#include <gtest/gtest.h>

#include "import/definitions/import_definitions.h"
#include "import/driver/import_request.h"
#include "support/installation_fixture.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"

namespace pm::test {
namespace {

class DefinitionStore : public InstallationTest {
protected:
    ImportDefinition mailDefinition(ULONG mailbox, std::vector<std::string> entries) {
        ImportDefinition d;
        d.record.DESCRIPTION = "nightly mail";
        d.record.FILETYPE = 35;  // Generic Mail Type 2
        d.record.IMPPATH = root.path() + "/in";
        d.record.SELMETHOD = SelectDirectory;
        d.record.MAILBOX = mailbox;
        d.record.MAILMSG = 1;
        d.fileEntries = std::move(entries);
        return d;
    }

    long long records(Table& table) {
        TableScope scope({&table});
        return table.records();
    }
};

TEST_F(DefinitionStore, SavedDefinitionRunsAsAnImportRequest) {
    const ULONG mailbox = makeDatabase(2, "Inbox");
    ImportDefinition d = mailDefinition(mailbox, {" *.mbx ", "", "*.eml", "*.mbx"});
    ASSERT_EQ(saveImportDefinition(d), SaveOutcome::Saved);
    ASSERT_NE(d.record.ID, 0u);
    EXPECT_EQ(d.record.TYPE, DefinitionTypeImport);
    // Blank and repeated entries are not stored.
    EXPECT_EQ(d.fileEntries, (std::vector<std::string>{"*.mbx", "*.eml"}));

    const auto read = readImportDefinition(d.record.ID);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->record.DESCRIPTION.str(), "nightly mail");
    EXPECT_EQ(read->fileEntries.size(), 2u);

    ImportRequest request;
    ASSERT_EQ(loadImportDefinition(d.record.ID, request), RequestProblem::None);
    EXPECT_EQ(request.format, 35);
    EXPECT_EQ(request.mailbox, static_cast<LONG>(mailbox));
    EXPECT_EQ(request.targetName, "Inbox");
    EXPECT_EQ(splitList(request.masks).size(), 2u);
    EXPECT_EQ(listImportDefinitions().size(), 1u);
}

TEST_F(DefinitionStore, UpdateReplacesTheWholeFileListAndRefusesAStaleCopy) {
    const ULONG mailbox = makeDatabase(2, "Inbox");
    ImportDefinition d = mailDefinition(mailbox, {"*.a", "*.b", "*.c"});
    ASSERT_EQ(saveImportDefinition(d), SaveOutcome::Saved);
    const ImportDefinition asRead = d;

    ImportDefinition mine = d;
    mine.fileEntries = {"*.z"};
    ASSERT_EQ(saveImportDefinition(mine, &asRead), SaveOutcome::Saved);
    EXPECT_EQ(readImportDefinition(d.record.ID)->fileEntries, (std::vector<std::string>{"*.z"}));
    EXPECT_EQ(records(FLIFile), 1);

    // Another editor still holds the first copy: its save changes nothing.
    ImportDefinition theirs = d;
    theirs.record.DESCRIPTION = "renamed";
    theirs.record.IMPPATH = "/elsewhere";
    EXPECT_EQ(saveImportDefinition(theirs, &asRead), SaveOutcome::Conflict);
    EXPECT_TRUE(ui.sawText("changed by another user"));
    const auto stored = readImportDefinition(d.record.ID);
    EXPECT_EQ(stored->record.DESCRIPTION.str(), "nightly mail");
    EXPECT_EQ(stored->fileEntries, (std::vector<std::string>{"*.z"}));

    ASSERT_TRUE(deleteImportDefinition(d.record.ID).deleted);
    EXPECT_EQ(saveImportDefinition(mine, &mine), SaveOutcome::Conflict);
    EXPECT_EQ(records(BATFile), 0);
}

TEST_F(DefinitionStore, RefusesWhatATaskStepCouldNotRun) {
    ImportDefinition files = mailDefinition(0, {});
    files.record.SELMETHOD = SelectFiles;
    EXPECT_EQ(saveImportDefinition(files), SaveOutcome::Refused);
    EXPECT_EQ(ui.last().caption, " File specification error!");
    EXPECT_EQ(ui.last().text, "When using the file selection method \r\nyou must select which file(s) to import!");

    ImportDefinition masks = mailDefinition(0, {" ", ""});
    EXPECT_EQ(checkImportDefinition(masks).problem, DefinitionProblem::NoMasks);
    ImportDefinition format = mailDefinition(0, {"*.x"});
    format.record.FILETYPE = 99;
    EXPECT_EQ(checkImportDefinition(format).problem, DefinitionProblem::UnknownFormat);
    ImportDefinition longEntry = mailDefinition(0, {std::string(101, 'x')});
    EXPECT_EQ(checkImportDefinition(longEntry).problem, DefinitionProblem::EntryTooLong);
    EXPECT_EQ(checkDefinitionPath(std::string(101, 'p')).problem, DefinitionProblem::PathTooLong);
    EXPECT_TRUE(checkDefinitionPath(std::string(100, 'p')).ok());
    EXPECT_EQ(records(BATFile), 0);
    EXPECT_EQ(records(FLIFile), 0);
}

TEST_F(DefinitionStore, DeleteTakesFileListAndTaskStepsAlong) {
    ImportDefinition keep = mailDefinition(0, {"*.k"});
    ImportDefinition gone = mailDefinition(0, {"*.g1", "*.g2"});
    ASSERT_EQ(saveImportDefinition(keep), SaveOutcome::Saved);
    ASSERT_EQ(saveImportDefinition(gone), SaveOutcome::Saved);
    {
        TableScope scope({&TIMFile});
        for (ULONG task : {7u, 8u})
            for (ULONG batch : {keep.record.ID, gone.record.ID}) {
                TIMFile.clear();
                TIM.TASKID = task;
                TIM.BATCHID = batch;
                ASSERT_EQ(TIMFile.add(), StorageStatus::Ok);
            }
    }
    const DefinitionDeletion deletion = deleteImportDefinition(gone.record.ID);
    EXPECT_TRUE(deletion.deleted);
    EXPECT_EQ(deletion.taskStepsRemoved, 2);
    EXPECT_EQ(records(TIMFile), 2);
    EXPECT_EQ(records(FLIFile), 1);
    EXPECT_FALSE(readImportDefinition(gone.record.ID));
    EXPECT_FALSE(deleteImportDefinition(gone.record.ID).deleted);
}

TEST_F(DefinitionStore, WizardRequestBecomesADefinition) {
    ImportRequest request;
    request.format = 0;  // the default format
    request.importPath = "/data/mail";
    request.selectionMethod = SelectFiles;
    request.selectedFiles = {"a;b.mbx", "c.mbx"};
    request.importMail = 1;
    request.allowReimport = 1;
    request.mailTopic = 12;
    const ImportDefinition d = definitionFromRequest(request, std::string(80, 'd'));
    EXPECT_EQ(d.record.FILETYPE, 17);
    EXPECT_EQ(d.record.DESCRIPTION.str().size(), 50u);
    // A file name holding ";" stays one entry.
    EXPECT_EQ(d.fileEntries, request.selectedFiles);
    EXPECT_EQ(d.record.ALLOWREIMP, 1);
    EXPECT_EQ(d.record.MAILTOPIC, 12u);
    EXPECT_EQ(wizardDefinitionDescription({dayNumber(2026, 12, 8), 0}).rfind("Saved from ImportWizard  ", 0), 0u);
}

}  // namespace
}  // namespace pm::test
