// The import procedures window and the definition editor in the frame:
// add, update (with the concurrent-change check), refuse, delete.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "common/globals.h"
#include "frame/main_frame.h"
#include "frame_test_support.h"
#include "import/definitions/import_definitions.h"
#include "import/windows/import_definition_editor.h"
#include "import/windows/import_definitions_window.h"
#include "import/windows/import_wizard.h"
#include "tables/windows/database_choice_field.h"

namespace pm::test {

namespace {
using frame::CommandId;
using frame::MainFrame;
constexpr int MailboxFormat = 35;
}  // namespace

class ImportProceduresTest : public QObject {
    Q_OBJECT
private slots:
    void addUpdateAndDeleteThroughTheEditor();
    void refusedAndConflictingSavesKeepTheEditorOpen();
};

void ImportProceduresTest::addUpdateAndDeleteThroughTheEditor() {
    Installation inst;
    const ULONG home = inst.addDatabase(TypeMail, "Home");
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(CommandId::DefineImportProcedures);
    auto* window = qobject_cast<ImportDefinitionsWindow*>(frame.windows().widgetOf("BrowseBatch"));
    QVERIFY(window);
    // A task window leaves the task manager's commands on.
    QVERIFY(frame.action(CommandId::DefineImportProcedures)->isEnabled());
    QVERIFY(!frame.action(CommandId::ImportWizard)->isEnabled());
    QCOMPARE(window->findChild<QGroupBox*>()->title(), QStringLiteral("Predefined Import Procedures [0]"));
    QVERIFY(!window->updateButton()->isEnabled());

    ImportDefinitionEditor* editor = window->openEditor(InsertRecord);
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral(" Add New Import definition"));
    QCOMPARE(editor->acceptButton()->text(), QStringLiteral(" Accept new Import definition"));
    QVERIFY(!editor->choices()->startButton()->isVisible());
    editor->description()->setText(QStringLiteral("Nightly mail"));
    editor->choices()->chooseFormat(MailboxFormat);
    editor->choices()->mailbox()->setDatabase(home);
    editor->choices()->chooseMethod(SelectDirectoryTree);
    editor->choices()->setSource(inst.path("mail"), "*.mbox;*.mbx", {});
    editor->choices()->reimportBox()->setChecked(true);
    screenshot(editor, QStringLiteral("import_definition_editor"));
    QVERIFY(editor->acceptDefinition());
    settle();
    QCOMPARE(window->list()->topLevelItemCount(), 1);
    const ULONG id = window->highlighted();
    std::optional<ImportDefinition> stored = readImportDefinition(id);
    QVERIFY(stored);
    QCOMPARE(stored->record.DESCRIPTION.str(), std::string("Nightly mail"));
    QCOMPARE(int(stored->record.SELMETHOD), int(SelectDirectoryTree));
    QCOMPARE(stored->record.MAILBOX, home);
    QCOMPARE(int(stored->record.ALLOWREIMP), 1);
    QCOMPARE(stored->fileEntries.size(), std::size_t{2});
    screenshot(window, QStringLiteral("import_procedures"));

    // Update shows what was stored and keeps what is not touched.
    editor = window->openEditor(ChangeRecord);
    QCOMPARE(editor->windowTitle(), QStringLiteral(" Update Import definition"));
    QCOMPARE(editor->description()->text(), QStringLiteral("Nightly mail"));
    QCOMPARE(editor->choices()->format(), MailboxFormat);
    QCOMPARE(editor->choices()->method(), BYTE(SelectDirectoryTree));
    QCOMPARE(editor->choices()->masksEntry()->text(), QStringLiteral("*.mbox;*.mbx"));
    QVERIFY(editor->choices()->reimportBox()->isChecked());
    QCOMPARE(editor->choices()->mailbox()->databaseId(), home);
    editor->description()->setText(QStringLiteral("Weekly mail"));
    QVERIFY(editor->acceptDefinition());
    settle();
    QCOMPARE(window->list()->topLevelItem(0)->text(0), QStringLiteral("Weekly mail"));
    QCOMPARE(readImportDefinition(id)->fileEntries.size(), std::size_t{2});

    editor = window->openEditor(DeleteRecord);
    QCOMPARE(editor->acceptButton()->text(), QStringLiteral(" Confirm deletion of Import definition"));
    QVERIFY(editor->description()->isReadOnly());
    QVERIFY(editor->acceptDefinition());
    settle();
    QCOMPARE(window->list()->topLevelItemCount(), 0);
    QVERIFY(!readImportDefinition(id));
}

void ImportProceduresTest::refusedAndConflictingSavesKeepTheEditorOpen() {
    Installation inst;
    ImportDefinitionsWindow window;
    window.show();
    ImportDefinitionEditor* editor = window.openEditor(InsertRecord);
    editor->description()->setText(QStringLiteral("Chosen files"));
    editor->choices()->chooseFormat(MailboxFormat);
    editor->choices()->chooseMethod(SelectFiles);
    editor->choices()->setSource(inst.root(), "", {});
    QVERIFY(!editor->acceptDefinition());
    QVERIFY(inst.ui.sawText("you must select which file(s) to import!"));
    QVERIFY(editor->isVisible());
    editor->choices()->setSource(inst.root(), "", {"one.mbox"});
    QVERIFY(editor->acceptDefinition());
    settle();
    const ULONG id = window.highlighted();
    QVERIFY(id != 0);

    // Someone else changes it while the editor is open: nothing is written.
    editor = window.openEditor(ChangeRecord);
    ImportDefinition other = *readImportDefinition(id);
    other.record.DESCRIPTION = "Changed elsewhere";
    QCOMPARE(saveImportDefinition(other), SaveOutcome::Saved);
    editor->description()->setText(QStringLiteral("Mine"));
    inst.ui.clear();
    QVERIFY(!editor->acceptDefinition());
    QVERIFY(!inst.ui.shown().empty());
    QCOMPARE(readImportDefinition(id)->record.DESCRIPTION.str(), std::string("Changed elsewhere"));
    editor->reject();
}

static RegisterTest<ImportProceduresTest> registeredImportProceduresTest;

}  // namespace pm::test

#include "import_procedures_test.moc"
