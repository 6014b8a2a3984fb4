// The Export, Print and Classify window offscreen, opened by the browse's
// commands: layouts and their file names, an export into the temporary
// directory, a print to a PDF file, a topic given to a thread, the
// validation messages, Copy to Clip-board, and screenshots.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "browse/browse_context.h"
#include "browse/topics.h"
#include "browse/windows/browse_window.h"
#include "common/globals.h"
#include "frame/command_table.h"
#include "frame/main_frame.h"
#include "frame/window_manager.h"
#include "frame_test_support.h"
#include "sets/windows/page_printer.h"
#include "sets/windows/set_operations_window.h"
#include "support/sample_databases.h"
#include "support/test_root.h"

namespace pm::test {

using frame::CommandId;

namespace {

int setRowOf(BrowseWindow& w, ULONG number) { return static_cast<int>(w.session().ordinalOf(number)); }

void sendSetCommand(BrowseWindow& w, CommandId id) {
    frame::CommandEvent command(static_cast<int>(id));
    QCoreApplication::sendEvent(&w, &command);
}

SetOperationsWindow* openSetOperations() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<SetOperationsWindow*>(w); s && s->isVisible()) return s;
    return nullptr;
}

// Starts the run and waits until it is final.
void runWindowToEnd(SetOperationsWindow* w) {
    QSignalSpy done(w, &SetOperationsWindow::finished);
    w->startButton()->click();
    if (done.isEmpty()) QVERIFY(done.wait(10000));
}

}  // namespace

class SetOperationsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void exportFromTheBrowseCommand();
    void printToPdfAndClassifyAThread();
    void mailOffersTwoFilesAndChecksTheDates();
    void copyToClipboard();
    void staysInsideTheAreaOfASmallFrame();
};

void SetOperationsWindowTest::exportFromTheBrowseCommand() {
    Installation inst;
    makeSampleForum();
    BrowseWindow browse(inst.settings);
    browse.selectRow(setRowOf(browse, 101));
    sendSetCommand(browse, CommandId::ExportMessages);
    SetOperationsWindow* w = openSetOperations();
    QVERIFY(w);
    QCOMPARE(w->titleLabel()->text(), QString(" Export all messages related to the current:"));
    QCOMPARE(w->currentMessage(), 101u);
    QCOMPARE(w->operation(), SetOperation::ExportNew);
    QCOMPARE(w->scope(), SetScope::Thread);
    QCOMPARE(w->layoutBox()->count(), 2);  // forum: OzWin II or TAPCIS
    QCOMPARE(w->layoutBox()->currentText(), QString("TAPCIS"));
    QCOMPARE(w->firstFileEdit()->text(), QString("SaveMsg.Txt"));
    QVERIFY(!w->secondFileEdit()->isVisible());
    QVERIFY(!w->topicBox()->isVisible());
    w->layoutBox()->setCurrentIndex(w->layoutBox()->findText("OzWin II"));
    QCOMPARE(w->firstFileEdit()->text(), QString("TestForu.SAV"));
    QCOMPARE(configuredLayout(TypeForum), OutputLayout::OzWin2);  // kept for the next export

    // A name with a directory is refused before anything is written.
    w->firstFileEdit()->setText("sub/x.sav");
    runWindowToEnd(w);
    QVERIFY(inst.ui.sawText("Do not include the path, just the filename!"));
    w->firstFileEdit()->setText("thread.sav");
    runWindowToEnd(w);
    QCOMPARE(w->statusLabel()->text().left(18), QString("Messages exported!"));
    const std::string written = readFile(Mem.TempDir + "/thread.sav");
    for (const char* number : {"#: 100 ", "#: 101 ", "#: 102 ", "#: 103 ", "#: 105 "})
        QVERIFY2(written.find(number) != std::string::npos, number);
    QVERIFY(written.find("#: 110 ") == std::string::npos);
    screenshot(w, "set_operations_export");
    w->close();
}

void SetOperationsWindowTest::printToPdfAndClassifyAThread() {
    Installation inst;
    makeSampleForum();
    BrowseWindow browse(inst.settings);
    const ULONG topic = addTopic("Greetings");
    QVERIFY(topic != 0);
    browse.selectRow(setRowOf(browse, 102));
    sendSetCommand(browse, CommandId::PrintMessages);
    SetOperationsWindow* w = openSetOperations();
    QVERIFY(w);
    QCOMPARE(w->titleLabel()->text(), QString(" Print all messages related to the current:"));
    const std::string pdf = inst.path("thread.pdf");
    w->setPrinterFactory([pdf](QWidget*) { return std::make_unique<PagePrinter>(QString::fromStdString(pdf)); });
    runWindowToEnd(w);
    QCOMPARE(w->statusLabel()->text(), QString("Messages printed!"));
    QVERIFY(readFile(pdf).rfind("%PDF-", 0) == 0);
    w->close();
    settle();

    // Classify: the topic goes to the thread's messages inside the range.
    sendSetCommand(browse, CommandId::ClassifyMessageSets);
    w = openSetOperations();
    QVERIFY(w);
    QCOMPARE(w->titleLabel()->text(), QString(" Classify all messages related to the current:"));
    QVERIFY(w->topicBox()->isVisible());
    runWindowToEnd(w);  // no topic chosen yet
    QVERIFY(inst.ui.sawCaption("Selection error"));
    w->topicBox()->setCurrentIndex(w->topicBox()->findText("Greetings"));
    w->dateFilterBox()->setChecked(true);
    w->fromDateEdit()->setDate(QDate(2000, 11, 10));
    w->toDateEdit()->setDate(QDate(2000, 11, 11));
    screenshot(w, "set_operations_classify");
    runWindowToEnd(w);
    QCOMPARE(w->statusLabel()->text(), QString("Topics attached!"));
    for (ULONG n : {101u, 102u, 103u}) QVERIFY(topicAttached(topic, n));
    for (ULONG n : {100u, 105u, 110u}) QVERIFY(!topicAttached(topic, n));
    w->close();
}

void SetOperationsWindowTest::mailOffersTwoFilesAndChecksTheDates() {
    Installation inst;
    makeSampleMail();
    BrowseWindow browse(inst.settings);
    browse.selectRow(0);
    sendSetCommand(browse, CommandId::ExportMessages);
    SetOperationsWindow* w = openSetOperations();
    QVERIFY(w);
    QCOMPARE(w->layoutBox()->count(), 4);
    w->layoutBox()->setCurrentIndex(w->layoutBox()->findText("Eudora"));
    QCOMPARE(w->firstFileEdit()->text(), QString("InBox.MBX"));
    QCOMPARE(w->secondFileEdit()->text(), QString("OutBox.MBX"));
    QVERIFY(w->secondFileEdit()->isVisible());
    w->layoutBox()->setCurrentIndex(w->layoutBox()->findText("TAPCIS"));
    QCOMPARE(w->firstFileEdit()->text(), QString("SaveMail.Txt"));
    QVERIFY(!w->secondFileEdit()->isVisible());
    // A negative date range is refused.
    w->dateFilterBox()->setChecked(true);
    w->fromDateEdit()->setDate(QDate(2001, 2, 18));
    w->toDateEdit()->setDate(QDate(2001, 2, 17));
    runWindowToEnd(w);
    QVERIFY(inst.ui.sawText("A negative date range cannot be allowed."));
    // Recode the partner's mail to Keep.
    w->setOperation(SetOperation::StatusKeep);
    QCOMPARE(w->titleLabel()->text(), QString(" Recode all messages related to the current:"));
    QVERIFY(!w->layoutBox()->isVisible());
    w->dateFilterBox()->setChecked(false);
    w->setScope(SetScope::Sender);
    screenshot(w, "set_operations_mail");
    runWindowToEnd(w);
    QCOMPARE(w->statusLabel()->text(), QString("Message status recoded!"));
    w->close();
}

void SetOperationsWindowTest::copyToClipboard() {
    Installation inst;
    makeSampleForum();
    BrowseWindow browse(inst.settings);
    browse.selectRow(setRowOf(browse, 103));
    sendSetCommand(browse, CommandId::CopyToClipboard);
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QString(64, '-') + "\r\n         Message retrieved by Postmoor Message Archiver"));
    QVERIFY(copied.contains("MsgNo: 103 (reply to 100)\r\n"));
    QVERIFY(copied.contains("End Of Quote"));
}

void SetOperationsWindowTest::staysInsideTheAreaOfASmallFrame() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    frame.show();
    frame.showNormal();
    frame.resize(800, 600);
    settle();
    QCOMPARE(frame.size(), QSize(800, 600));
    frame.runCommand(CommandId::ExportMessages);
    settle();
    QMdiSubWindow* sub = frame.windows().TmGetId("SetOperations");
    QVERIFY(sub);
    auto* w = qobject_cast<SetOperationsWindow*>(sub->widget());
    QVERIFY(w);
    QWidget* viewport = frame.area()->viewport();
    QVERIFY2(viewport->rect().contains(sub->geometry()),
             qPrintable(QStringLiteral("%1x%2 in %3x%4").arg(sub->width()).arg(sub->height())
                            .arg(viewport->width()).arg(viewport->height())));
    // Start and End are in reach without moving the window.
    for (QPushButton* b : {w->startButton(), w->endButton()}) {
        QVERIFY(b->isVisible());
        QVERIFY(viewport->rect().contains(QRect(b->mapTo(viewport, QPoint(0, 0)), b->size())));
    }
    screenshot(&frame, "set_operations_small_frame");
    // On a large frame every choice shows at once.
    frame.windows().closeAll();
    frame.resize(1280, 1000);
    settle();
    frame.runCommand(CommandId::ExportMessages);
    settle();
    sub = frame.windows().TmGetId("SetOperations");
    QVERIFY(sub);
    auto* scroll = sub->widget()->findChild<QScrollArea*>();
    QVERIFY(scroll);
    QVERIFY(!scroll->verticalScrollBar()->isVisible());
    frame.windows().closeAll();
    settle();
}

static RegisterTest<SetOperationsWindowTest> registeredSetOperationsWindowTest;

}  // namespace pm::test

#include "set_operations_window_test.moc"
