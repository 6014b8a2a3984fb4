// The program start: start-up settings with the NewPath window as prompts,
// then the frame; and the NewPath window itself.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <filesystem>

#include "common/globals.h"
#include "frame/main_frame.h"
#include "frame/program_start.h"
#include "frame_test_support.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"
#include "tables/windows/new_path_window.h"

namespace pm::test {

namespace fs = std::filesystem;

namespace {

// An empty root with the scripted interface; no start-up has run yet.
struct EmptyRoot {
    EmptyRoot() : previous(setUserInterface(&ui)) { Mem = MemGlobals{}; }
    ~EmptyRoot() {
        closeAllTables();
        closeStorage();
        Mem = MemGlobals{};
        setUserInterface(previous);
    }
    TempDir dir;
    ScriptedUserInterface ui;
    MemorySettings settings;
    UserInterface* previous;
};

// Writes Control record `id` with `block` (200 bytes, blank padded) into
// the configuration of `root`, creating CFG and Control when missing.
void writeControlRecord(const std::string& root, BYTE id, const std::string& block) {
    fs::create_directories(root + "/CFG");
    Mem.Net = root;
    OP_CLOSE(OpenShared, {8});
    Control.clear();
    CTL.ID = id;
    const bool exists = Control.get(CTL_IdKey) == StorageStatus::Ok;
    if (!exists) {
        Control.clear();
        CTL.ID = id;
        if (id == 1) CTL.NEXTNUMBER = 250000;
    }
    if (!block.empty()) {
        std::memset(CTL.CTLGROUP, ' ', sizeof CTL.CTLGROUP);
        std::memcpy(CTL.CTLGROUP, block.data(), std::min(block.size(), sizeof CTL.CTLGROUP));
    }
    QCOMPARE(exists ? Control.put() : Control.add(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {8});
    closeAllTables();
    closeStorage();
    Mem = MemGlobals{};
}

}  // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesTheDirectoriesAndOpensTheWizardAfterTheFrame();
    void controlWithSettingsVersionZeroShowsTheUpgradeMessage();
    void lostDatabaseDirectoryAsksAndExitEndsTheProgram();
    void lostDatabaseDirectoryCanBeGivenAgain();
    void newPathTextsForBothKinds_data();
    void newPathTextsForBothKinds();
    void newPathSavesOnlyAnExistingDirectory();
};

void ProgramStartTest::firstStartCreatesTheDirectoriesAndOpensTheWizardAfterTheFrame() {
    EmptyRoot r;
    const StartupOutcome outcome = frame::runProgramStart(r.dir.path(), r.settings);
    QCOMPARE(int(outcome), int(StartupOutcome::FirstStart));
    QVERIFY(fs::is_directory(r.dir / "CFG"));
    QVERIFY(fs::is_directory(r.dir / "TEMP"));
    QVERIFY(!r.ui.sawCaption("Upgrading to version 4.01"));
    frame::MainFrame frame(r.settings, true);
    QVERIFY(!frame.windows().TmGetId("StartUpWizard"));
    frame.start();
    QCOMPARE(frame.windowTitle(), QString(frame::ProgramTitle) + "[No Active Database]");
    QVERIFY(!frame.windows().TmGetId("StartUpWizard"));  // after the frame, from its queue
    QCoreApplication::sendPostedEvents();
    QVERIFY(frame.windows().TmGetId("StartUpWizard"));
    // Only once: a later refresh without a database does not reopen it.
    frame.windows().TmDestroy("StartUpWizard");
    frame.frameEvent(EventRefreshActiveDatabase);
    QCoreApplication::sendPostedEvents();
    QVERIFY(!frame.windows().TmGetId("StartUpWizard"));
}

void ProgramStartTest::controlWithSettingsVersionZeroShowsTheUpgradeMessage() {
    EmptyRoot r;
    writeControlRecord(r.dir.path(), 1, {});  // the identifier counter only: version 0
    const StartupOutcome outcome = frame::runProgramStart(r.dir.path(), r.settings);
    QCOMPARE(int(outcome), int(StartupOutcome::Ready));
    QVERIFY(r.ui.sawCaption("Upgrading to version 4.01"));
    QVERIFY(r.ui.sawText("This new version needs new default values!"));
}

void ProgramStartTest::lostDatabaseDirectoryAsksAndExitEndsTheProgram() {
    EmptyRoot r;
    std::string block(200, ' ');
    block.replace(100, 21, "/no/such/postmoor/dir");
    writeControlRecord(r.dir.path(), 1, {});
    writeControlRecord(r.dir.path(), 4, block);
    QString caption, box;
    bool saveEnabled = true;
    auto watch = whenModalOpens([&](QWidget* modal) {
        auto* window = qobject_cast<NewPathWindow*>(modal);
        QVERIFY(window);
        caption = window->windowTitle();
        box = window->boxTitle();
        saveEnabled = window->saveButton()->isEnabled();
        window->exitButton()->click();
    });
    const StartupOutcome outcome = frame::runProgramStart(r.dir.path(), r.settings);
    QCOMPARE(int(outcome), int(StartupOutcome::Aborted));
    QVERIFY(r.ui.sawCaption("Path not found!"));
    QVERIFY(r.ui.sawText("The path to your data files cannot be found!"));
    QCOMPARE(caption, QString(" Path to database files"));
    QCOMPARE(box, QString(" Top directory for database files "));
    QVERIFY(!saveEnabled);
}

void ProgramStartTest::lostDatabaseDirectoryCanBeGivenAgain() {
    EmptyRoot r;
    const std::string moved = r.dir / "moved";
    fs::create_directories(moved);
    std::string block(200, ' ');
    block.replace(100, 21, "/no/such/postmoor/dir");
    writeControlRecord(r.dir.path(), 1, {});
    writeControlRecord(r.dir.path(), 4, block);
    auto watch = whenModalOpens([&](QWidget* modal) {
        auto* window = qobject_cast<NewPathWindow*>(modal);
        window->pathEntry()->setText(QString::fromStdString(moved));
        QTest::keyClick(window->pathEntry(), Qt::Key_Return);  // completes the entry, then saves
    });
    const StartupOutcome outcome = frame::runProgramStart(r.dir.path(), r.settings);
    QVERIFY(outcome != StartupOutcome::Aborted);
    QCOMPARE(r.settings.newPaths.size(), std::size_t(1));
    QCOMPARE(r.settings.newPaths[0].second, moved);
    QCOMPARE(Mem.FileDir, moved);
}

void ProgramStartTest::newPathTextsForBothKinds_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("database files")
        << 1
        << QStringList{" Path to database files", " Top directory for database files ",
                       "Directory under which to place database directory tree",
                       "The previously saved path to your data files is no longer valid. Please enter the "
                       "appropriate top directory below which your database files reside and press TAB to enable "
                       "the OK button. "};
    QTest::newRow("word index files")
        << 2
        << QStringList{" Path to word index files", " Top directory for word index files ",
                       "Directory in which the word index files will be created",
                       "The previously saved path to your word index files is no longer valid. Please enter the "
                       "appropriate top directory below which your word index files reside and press TAB to "
                       "enable the OK button."};
}

void ProgramStartTest::newPathTextsForBothKinds() {
    QFETCH(int, kind);
    QFETCH(QStringList, texts);
    NewPathWindow window(kind, "/old/path", [](const std::string&) { return true; });
    QCOMPARE(QStringList({window.windowTitle(), window.boxTitle(), window.prompt(), window.explanation()}), texts);
    QCOMPARE(window.pathEntry()->text(), QString("/old/path"));
    QCOMPARE(window.saveButton()->text(), QString("OK"));  // as the explanation calls it
    QCOMPARE(window.saveButton()->toolTip(), QString("Save changes"));
    QCOMPARE(window.exitButton()->text(), QString("Exit Postmoor"));
    window.show();
    screenshot(&window, kind == 1 ? "newpath_database" : "newpath_wordindex");
}

void ProgramStartTest::newPathSavesOnlyAnExistingDirectory() {
    EmptyRoot r;
    std::vector<std::string> stored;
    NewPathWindow window(1, "", [&](const std::string& p) {
        stored.push_back(p);
        return true;
    });
    window.show();
    QVERIFY(!window.saveButton()->isEnabled());

    window.pathEntry()->setText("/no/such/postmoor/dir");
    emit window.pathEntry()->editingFinished();
    QVERIFY(!window.saveButton()->isEnabled());
    QCOMPARE(r.ui.shown().size(), std::size_t(1));
    QCOMPARE(r.ui.shown()[0].caption, std::string("/no/such/postmoor/dir"));
    QCOMPARE(r.ui.shown()[0].text, std::string("This path does not exist!\r\nPlease enter a valid path\r\n"));

    window.pathEntry()->setText("relative/dir");  // only absolute paths count
    emit window.pathEntry()->editingFinished();
    QVERIFY(!window.saveButton()->isEnabled());

    window.pathEntry()->setText(QString::fromStdString(r.dir.path()));
    emit window.pathEntry()->editingFinished();
    QVERIFY(window.saveButton()->isEnabled());
    QVERIFY(window.saveButton()->isDefault());
    QTest::keyClick(window.pathEntry(), Qt::Key_X);  // changed again: complete it first
    QVERIFY(!window.saveButton()->isEnabled());
    window.pathEntry()->setText(QString::fromStdString(r.dir.path()));
    emit window.pathEntry()->editingFinished();
    window.saveButton()->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(stored, std::vector<std::string>{r.dir.path()});

    NewPathWindow escaped(2, "", {});
    escaped.show();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    QCOMPARE(escaped.result(), int(QDialog::Rejected));
}

static RegisterTest<ProgramStartTest> registeredProgramStartTest;

}  // namespace pm::test

#include "program_start_test.moc"
