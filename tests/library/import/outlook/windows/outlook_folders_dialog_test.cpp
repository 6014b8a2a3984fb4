// The Outlook folder choice and an Outlook Mail import in the desktop
// program's windows (offscreen): folders of a sample folder file are chosen
// in the dialog, and the import progress window reads them.
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "common/globals.h"
#include "import/driver/format_table.h"
#include "import/driver/import_request.h"
#include "import/driver/import_settings.h"
#include "import/windows/import_progress_window.h"
#include "import/windows/outlook_folders_dialog.h"
#include "storage/table.h"
#include "support/corpora.h"
#include "support/recording_user_interface.h"
#include "support/test_root.h"
#include "tables/access/open_close.h"
#include "tables/catalog/mail_database.h"
#include "tables/config/installation.h"
#include "tables/config/settings.h"

using namespace pm;
using namespace pm::test;

class OutlookFoldersDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void choosesFoldersAndImportsThem();
    void aFileThatIsNoOutlookStoreIsReported();

private:
    void saveScreenshot(QWidget& window, const QString& name);

    std::unique_ptr<TempDir> root_;
    RecordingUserInterface ui_;
    UserInterface* previous_ = nullptr;
    std::string store_;
};

void OutlookFoldersDialogTest::init() {
    root_ = std::make_unique<TempDir>();
    Mem = MemGlobals{};
    previous_ = setUserInterface(&ui_);
    ui_.clear();
    QVERIFY(runStartupSettings(root_->path(), nullptr) != StartupOutcome::Aborted);
    setConfigValue(kShowCompletionTimeItem, 2);  // no completion-time box
    store_ = corpusFile("pst/iped/test_sample.pst");
}

void OutlookFoldersDialogTest::cleanup() {
    closeAllTables();
    closeStorage();
    setUserInterface(previous_);
    Mem = MemGlobals{};
    root_.reset();
}

void OutlookFoldersDialogTest::saveScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("POSTMOOR_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QVERIFY(window.grab().save(dir + "/" + name));
}

void OutlookFoldersDialogTest::choosesFoldersAndImportsThem() {
    if (store_.empty()) QSKIP("sample folder file not present");
    const ULONG mailbox = createMailDatabase("Caixa", "guilhermeandreuce@gmail.com", {});
    QVERIFY(mailbox != 0);

    OutlookFoldersDialog dialog(store_, {"Caixa de Entrada"});
    QVERIFY(dialog.listed());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Outlook folders"));
    QTreeWidget* list = dialog.folderList();
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("4"));
    QCOMPARE(list->topLevelItem(1)->checkState(0), Qt::Checked);
    QCOMPARE(list->topLevelItem(2)->checkState(0), Qt::Unchecked);
    list->topLevelItem(2)->setCheckState(0, Qt::Checked);
    QCOMPARE(dialog.chosenItems(), 4);
    dialog.show();
    saveScreenshot(dialog, QStringLiteral("outlook_folders_dialog.png"));
    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    list->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    QVERIFY(!dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
    list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    list->topLevelItem(2)->setCheckState(0, Qt::Checked);
    dialog.buttons()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    const std::vector<std::string> chosen = dialog.chosenFolders();
    QCOMPARE(chosen.size(), std::size_t{2});

    ImportRequest request;
    request.importPath = store_;
    request.selectionMethod = SelectFiles;
    for (const std::string& folder : chosen)
        request.selectedFiles += (request.selectedFiles.empty() ? "" : ";") + folder;
    request.importMail = 1;
    request.mailbox = static_cast<LONG>(mailbox);
    setRequestFormat(request, formatByName("Outlook Mail")->number);
    QCOMPARE(completeImportRequest(request), RequestProblem::None);
    ImportOptions options;
    options.quota = 1;
    ImportProgressWindow window(request, options);
    window.setCloseWhenFinished(false);
    QSignalSpy finished(&window, &ImportProgressWindow::finished);
    window.show();
    window.start();
    QVERIFY(finished.wait(20000) || finished.count() == 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(window.run().progress().imported, 4LL);
    saveScreenshot(window, QStringLiteral("outlook_import_finished.png"));
    QVERIFY(ui_.empty());
}

void OutlookFoldersDialogTest::aFileThatIsNoOutlookStoreIsReported() {
    OutlookFoldersDialog missing(root_->path() + "/absent.pst", {});
    QVERIFY(!missing.listed());
    QVERIFY(ui_.sawCaption("Outlook Is Not Installed"));
    const std::string text = root_->path() + "/text.pst";
    { std::ofstream(text) << std::string(3000, 'x'); }
    OutlookFoldersDialog broken(text, {});
    QVERIFY(!broken.listed());
    QVERIFY(ui_.sawCaption("Outlook cannot be run"));
    QCOMPARE(broken.folderList()->topLevelItemCount(), 0);
}

QTEST_MAIN(OutlookFoldersDialogTest)
#include "outlook_folders_dialog_test.moc"
