// The import progress window driving a small import (offscreen).
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "import/driver/import_settings.h"
#include "tables/config/settings.h"
#include "common/globals.h"
#include "import/driver/import_request.h"
#include "import/windows/import_progress_window.h"
#include "storage/table.h"
#include "support/block_format.h"
#include "support/recording_user_interface.h"
#include "support/test_root.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"

using namespace pm;
using namespace pm::test;

class ImportProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void runsAnImportAndShowsItsProgress();
    void cancelInPhaseBAsksAndStops();

private:
    ImportRequest request(int messages);
    void saveScreenshot(QWidget& window, const QString& name);
    // Lets the window's timer run until `done` holds (or the time is up).
    template <typename F>
    bool runUntil(F done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 20000) QCoreApplication::processEvents();
        return done();
    }

    std::unique_ptr<TempDir> root_;
    std::unique_ptr<BlockFormatScope> formats_;
    RecordingUserInterface ui_;
    UserInterface* previous_ = nullptr;
};

void ImportProgressWindowTest::init() {
    root_ = std::make_unique<TempDir>();
    Mem = MemGlobals{};
    previous_ = setUserInterface(&ui_);
    ui_.clear();
    QVERIFY(runStartupSettings(root_->path(), nullptr) != StartupOutcome::Aborted);
    setConfigValue(kShowCompletionTimeItem, 2);  // no completion-time box in these tests
    formats_ = std::make_unique<BlockFormatScope>();
}

void ImportProgressWindowTest::cleanup() {
    formats_.reset();
    closeAllTables();
    closeStorage();
    setUserInterface(previous_);
    Mem = MemGlobals{};
    root_.reset();
}

ImportRequest ImportProgressWindowTest::request(int messages) {
    std::vector<BlockMessage> list;
    for (int i = 1; i <= messages; ++i)
        list.push_back(forumMessage(i % 3 ? "Café Forum" : "Photo Forum", static_cast<unsigned>(i), "Lenses"));
    writeTextFile(root_->path() + "/café.blk", blockText(list));
    ImportRequest r;
    r.importPath = root_->path();
    r.selectionMethod = SelectFiles;
    r.selectedFiles = "café.blk";
    r.importForum = 1;
    setRequestFormat(r, BlockStreamFormat);
    completeImportRequest(r);
    return r;
}

void ImportProgressWindowTest::saveScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("POSTMOOR_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QVERIFY(window.grab().save(dir + "/" + name));
}

void ImportProgressWindowTest::runsAnImportAndShowsItsProgress() {
    ImportOptions options;
    options.quota = 1;
    ImportProgressWindow window(request(1200), options);
    window.setCloseWhenFinished(false);
    // Redrawn after every slice: a fast machine finishes within one default interval.
    window.setRefreshInterval(0);
    QCOMPARE(window.objectName(), QStringLiteral("ImportIt"));
    QSignalSpy finished(&window, &ImportProgressWindow::finished);
    window.show();
    window.start();

    // Mid-run: storing into the first database, its counters on display.
    const auto showsStoring = [&] {
        bool target = false, counted = false;
        for (QLabel* label : window.findChildren<QLabel*>()) {
            target |= label->text().startsWith(QStringLiteral("Importing to: "));
            counted |= label->text().toInt() >= 12 && label->text().toInt() < 1200;
        }
        return target && counted && window.findChild<QProgressBar*>()->value() > 0;
    };
    QVERIFY(runUntil(showsStoring));
    // The label font has the glyphs of the non-ASCII name (no boxes offscreen).
    QVERIFY(QFontMetrics(window.font()).inFont(QChar(0x00E9)));
    saveScreenshot(window, QStringLiteral("import_progress_window.png"));

    QVERIFY(finished.wait(20000) || finished.count() == 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(window.run().progress().imported, 1200LL);
    QCOMPARE(window.findChild<QProgressBar*>()->value(), 100);
    bool showsEnd = false;
    for (QLabel* label : window.findChildren<QLabel*>())
        showsEnd |= label->text() == QStringLiteral("The import process has finished!");
    QVERIFY(showsEnd);
    QVERIFY(!window.findChild<QPushButton*>()->isEnabled());
    saveScreenshot(window, QStringLiteral("import_progress_window_finished.png"));
    QVERIFY(ui_.empty());
}

void ImportProgressWindowTest::cancelInPhaseBAsksAndStops() {
    ImportOptions options;
    options.quota = 1;
    ImportProgressWindow window(request(12), options);
    QSignalSpy finished(&window, &ImportProgressWindow::finished);
    window.show();
    window.start();
    QVERIFY(runUntil([&] { return window.run().progress().imported >= 2; }));

    ui_.answer(ButtonNo);
    window.findChild<QPushButton*>()->click();
    QCOMPARE(finished.count(), 0);
    QVERIFY(window.running());

    ui_.answer(ButtonYes);
    QVERIFY(!window.close() || !window.running());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(window.run().outcome(), ImportOutcome::Cancelled);
    QCOMPARE(ui_.shown().size(), std::size_t{2});
    QCOMPARE(QString::fromStdString(ui_.last().caption), QStringLiteral("Import process interrupted"));
}

QTEST_MAIN(ImportProgressWindowTest)
#include "import_progress_window_test.moc"
