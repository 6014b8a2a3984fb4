// The import wizard in the frame: opened from the StartUp wizard, driven
// through its steps and the file selection dialog to a finished import of
// a real mailbox file.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "common/windows/job_progress_window.h"
#include "frame/main_frame.h"
#include "frame/windows/startup_wizard.h"
#include "frame_test_support.h"
#include "import/driver/import_run.h"
#include "common/globals.h"
#include "import/definitions/import_definitions.h"
#include "import/windows/file_selection_dialog.h"
#include "import/windows/import_definition_editor.h"
#include "import/windows/import_definitions_window.h"
#include "import/windows/import_wizard.h"
#include "support/corpora.h"
#include "support/store_query.h"
#include "tables/catalog/catalog_list.h"
#include "tables/config/settings.h"
#include "tables/windows/database_choice_field.h"
#include "tasks/task_store.h"

namespace pm::test {

namespace {

using frame::CommandId;
using frame::MainFrame;

constexpr int WizardMailboxFormat = 35;  // "Generic Mail Type 2", the Unix mailbox reader

FileSelectionDialog* openSelection(ImportWizard* wizard) {
    wizard->selectButton()->click();
    return wizard->findChild<FileSelectionDialog*>();
}

long long mailCount(const Installation& inst, ULONG mailbox) {
    CatalogEntry e;
    if (!readCatalogEntry(mailbox, e)) return -1;
    return std::stoll("0" + storeValue(inst.path(e.directoryName() + "/postmoor.db"), "SELECT COUNT(*) FROM Mail"));
}

}  // namespace

class ImportWizardTest : public QObject {
    Q_OBJECT
private slots:
    void startUpWizardLeadsToAFinishedImportOfAMailbox();
    void fileSelectionRefusesAnEmptyChoiceAndKeepsNothingOnExit();
    void formatChoiceSetsMasksKindsAndPrompts();
};

void ImportWizardTest::startUpWizardLeadsToAFinishedImportOfAMailbox() {
    const std::string mbox = corpusFile("mbox/node-mbox/test-3-message.mbox");
    if (mbox.empty()) QSKIP("the sample corpora are not here");
    Installation inst;
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(frame.action(CommandId::ImportWizard)->isEnabled());

    // The StartUp wizard's Start opens the import wizard.
    QVERIFY(frame.openWindow(QStringLiteral("StartUpWizard")));
    auto* startup = qobject_cast<frame::StartUpWizard*>(frame.windows().widgetOf("StartUpWizard"));
    QVERIFY(startup);
    startup->showPage(frame::StartUpWizard::FirstImportPage);
    QTest::mouseClick(startup->startButton(), Qt::LeftButton);
    settle();
    QVERIFY(!frame.windows().TmGetId("StartUpWizard"));
    auto* wizard = qobject_cast<ImportWizard*>(frame.windows().widgetOf("ImportMeny"));
    QVERIFY(wizard);
    QCOMPARE(frame.windowTitle(), QString(frame::ProgramTitle) + frame::NoActiveDatabase);

    QVERIFY(wizard->chooseFormat(WizardMailboxFormat));
    wizard->showPage(ImportWizard::KindsPage);
    QVERIFY(wizard->mailBox()->isChecked());
    QVERIFY(!wizard->forumBox()->isEnabled());
    wizard->mailbox()->setDatabase(home);
    screenshot(wizard, QStringLiteral("import_wizard_kinds"));

    // The file comes from the file selection dialog, marked in its directory.
    wizard->showPage(ImportWizard::SourcePage);
    wizard->chooseMethod(SelectFiles);
    FileSelectionDialog* dialog = openSelection(wizard);
    QVERIFY(dialog);
    const QString directory = QFileInfo(QString::fromStdString(mbox)).absolutePath();
    dialog->chooseDirectory(directory.toStdString());
    QCOMPARE(dialog->currentDirectory()->text(), directory);
    QVERIFY(dialog->windowTitle().startsWith(" File Selection Dialog - "));
    QVERIFY(dialog->markFile(QStringLiteral("test-3-message.mbox"), true));
    screenshot(dialog, QStringLiteral("file_selection_dialog"));
    dialog->saveButton()->click();
    settle();
    QCOMPARE(wizard->pathEntry()->text(), directory);
    QCOMPARE(wizard->fileList()->count(), 1);
    QCOMPARE(wizard->fileList()->item(0)->text(), QStringLiteral("test-3-message.mbox"));
    screenshot(wizard, QStringLiteral("import_wizard_source"));

    wizard->showPage(ImportWizard::OptionsPage);
    QVERIFY(wizard->saveDefinitionBox()->isEnabled());
    wizard->saveDefinitionBox()->setChecked(true);
    screenshot(wizard, QStringLiteral("import_wizard_options"));
    QSignalSpy started(wizard, &ImportWizard::importStarted);
    QTest::mouseClick(wizard->startButton(), Qt::LeftButton);
    QCOMPARE(started.count(), 1);
    QPointer<JobProgressWindow> progress = started.first().first().value<JobProgressWindow*>();
    QVERIFY(progress);
    QCOMPARE(frame.windows().TmQuery(frame::ImportGroup), QStringList({"ImportIt"}));
    long long imported = -1;
    connect(progress, &JobProgressWindow::finished, this, [&imported, &progress](bool) {
        imported = static_cast<const ImportRun&>(progress->job()).progress().imported;
    });
    QTRY_VERIFY_WITH_TIMEOUT(imported >= 0, 20000);
    QCOMPARE(imported, 3LL);
    QTRY_VERIFY(!frame.windows().TmGetId("ImportIt"));
    settle();
    QVERIFY(!frame.windows().TmGetId("ImportMeny"));
    QCOMPARE(mailCount(inst, home), 3LL);
    // The frame has its commands back and a database to show.
    QVERIFY(frame.action(CommandId::ImportWizard)->isEnabled());
    QCOMPARE(frame.windowTitle(), QString(frame::ProgramTitle) + "[Home]");

    // The run was saved as a definition with an inactive task that runs it.
    const std::vector<BATRecord> definitions = listImportDefinitions();
    QCOMPARE(definitions.size(), std::size_t{1});
    const ULONG saved = definitions.front().ID;
    QVERIFY(definitions.front().DESCRIPTION.str().starts_with("Saved from ImportWizard  "));
    QCOMPARE(readImportDefinition(saved)->fileEntries, std::vector<std::string>{"test-3-message.mbox"});
    const std::vector<TASRecord> tasks = listTasks();
    QCOMPARE(tasks.size(), std::size_t{1});
    QCOMPARE(int(tasks.front().ACTIVE), 0);
    QCOMPARE(int(tasks.front().DODUPELIM + tasks.front().DOPURGE + tasks.front().DOINDEX), 3);
    QCOMPARE(readTask(tasks.front().ID)->steps, std::vector<ULONG>{saved});

    // ... and is edited in the import procedures window.
    frame.runCommand(CommandId::DefineImportProcedures);
    auto* procedures = qobject_cast<ImportDefinitionsWindow*>(frame.windows().widgetOf("BrowseBatch"));
    QVERIFY(procedures);
    QCOMPARE(procedures->highlighted(), saved);
    ImportDefinitionEditor* editor = procedures->openEditor(ChangeRecord);
    QCOMPARE(editor->choices()->fileList()->count(), 1);
    QCOMPARE(editor->choices()->mailbox()->databaseId(), home);
    editor->description()->setText(QStringLiteral("Node mailbox"));
    editor->choices()->reimportBox()->setChecked(true);
    QVERIFY(editor->acceptDefinition());
    QCOMPARE(readImportDefinition(saved)->record.DESCRIPTION.str(), std::string("Node mailbox"));
    QCOMPARE(int(readImportDefinition(saved)->record.ALLOWREIMP), 1);
}

void ImportWizardTest::fileSelectionRefusesAnEmptyChoiceAndKeepsNothingOnExit() {
    Installation inst;
    QDir(QString::fromStdString(inst.root())).mkpath("mail/old");
    FileSelectionDialog tree(SelectDirectoryTree, inst.path("mail"), "", {});
    QVERIFY(tree.windowTitle().startsWith(" Directory Tree Selection Dialog - "));
    QCOMPARE(tree.currentDirectory()->text().toStdString(), inst.path("mail"));
    tree.saveButton()->click();
    QVERIFY(inst.ui.sawText("No file extension(s) specified"));
    QVERIFY(tree.result() != QDialog::Accepted);
    tree.addExtension(QStringLiteral("*.mbx"));
    tree.addExtension(QStringLiteral("*.MBX"));  // the same mask once
    tree.addExtension(QStringLiteral("*.msg"));
    // The tree opens one level at a time: "old" is listed once "mail" is open.
    tree.chooseDirectory(inst.path("mail/old"));
    QCOMPARE(tree.path(), inst.path("mail/old"));
    tree.saveButton()->click();
    QCOMPARE(tree.result(), int(QDialog::Accepted));
    QCOMPARE(tree.masks(), std::string("*.mbx;*.msg"));

    FileSelectionDialog files(SelectFiles, inst.path("mail"), "*.txt", {});
    inst.ui.clear();
    files.saveButton()->click();
    QVERIFY(inst.ui.sawText("No file(s) selected"));
    QVERIFY(files.isVisible() || files.result() != QDialog::Accepted);

    // Exit without saving leaves the wizard's choice as it was.
    ImportWizard wizard(freeStandingLauncher());
    wizard.chooseFormat(WizardMailboxFormat);
    wizard.chooseMethod(SelectDirectory);
    wizard.setSource(inst.path("mail"), "*.mbx", {});
    FileSelectionDialog* dialog = openSelection(&wizard);
    QVERIFY(dialog);
    dialog->addExtension(QStringLiteral("*.other"));
    dialog->exitButton()->click();
    settle();
    QCOMPARE(wizard.masksEntry()->text(), QStringLiteral("*.mbx"));
    QCOMPARE(wizard.pathEntry()->text().toStdString(), inst.path("mail"));
}

void ImportWizardTest::formatChoiceSetsMasksKindsAndPrompts() {
    Installation inst;
    setConfigValue(12, 1);  // the default file type: AUTOSIG
    ImportWizard wizard(freeStandingLauncher());
    QCOMPARE(wizard.format(), 1);
    // A capture format: forum messages, mail asked for separately.
    QVERIFY(wizard.forumBox()->isChecked());
    QVERIFY(wizard.mailBox()->isEnabled());
    QVERIFY(!wizard.mailBox()->isChecked());
    QVERIFY(!wizard.newsgroupBox()->isEnabled());
    QVERIFY(wizard.target()->isEnabled());
    QCOMPARE(wizard.masksEntry()->text(), QStringLiteral("*.ATO"));

    QVERIFY(wizard.chooseFormat(28));  // Unix News
    QVERIFY(wizard.newsgroupBox()->isChecked());
    QVERIFY(!wizard.mailBox()->isEnabled());
    QVERIFY(!wizard.forumBox()->isEnabled());

    wizard.chooseMethod(SelectDirectoryTree);
    QCOMPARE(wizard.pathPrompt()->text(), QStringLiteral("Top directory for import files: "));
    QCOMPARE(wizard.masksPrompt()->text(), QStringLiteral(" Import  file(s) with extensions:"));
    QCOMPARE(wizard.selectButton()->toolTip(), QStringLiteral("Select top directory for import files"));
    wizard.chooseMethod(SelectFiles);
    QCOMPARE(wizard.masksPrompt()->text(), QStringLiteral(" Import  file(s):"));
    QCOMPARE(wizard.selectButton()->toolTip(), QStringLiteral("Select import file(s)"));

    // Start refuses a directory method without extensions and mail without its mailbox.
    wizard.chooseMethod(SelectDirectory);
    wizard.setSource(inst.root(), "", {});
    QVERIFY(!wizard.start());
    QVERIFY(inst.ui.sawText("No file extension(s) specified"));
    QCOMPARE(wizard.page(), int(ImportWizard::SourcePage));
    QVERIFY(wizard.chooseFormat(WizardMailboxFormat));
    wizard.setSource(inst.root(), "*.mbox", {});
    wizard.mailbox()->setDatabase(0);
    QVERIFY(!wizard.start());
    QCOMPARE(wizard.page(), int(ImportWizard::KindsPage));
    QVERIFY(inst.ui.sawCaption("Mail Database Missing"));
}

static RegisterTest<ImportWizardTest> registeredImportWizardTest;

}  // namespace pm::test

#include "import_wizard_test.moc"
