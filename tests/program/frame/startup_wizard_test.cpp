// The StartUp wizard: its pages, buttons and what Start stores.
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include "frame/main_frame.h"
#include "frame/windows/startup_wizard.h"
#include "frame_test_support.h"
#include "tables/menu_text.h"
#include "tables/services/library_services.h"

namespace pm::test {

namespace {

std::vector<frame::FileTypeChoice> someTypes() { return {{3, "Unix mailbox"}, {17, "WinCIM"}, {21, "News file"}}; }

QString firstWords(int text) { return QString::fromStdString(GetMenuText(text)).left(30); }

}  // namespace

class StartUpWizardTest : public QObject {
    Q_OBJECT
private slots:
    void pagesHeadingsPanesAndButtons();
    void startStoresTheDefaultsAndAsksForTheImportWizard();
    void startKeepsAPathThatDoesNotExistOutOfTheSettings();
};

void StartUpWizardTest::pagesHeadingsPanesAndButtons() {
    Installation inst;
    int mailSetups = 0;
    frame::StartUpWizard w(inst.settings, &someTypes, [&mailSetups] { ++mailSetups; });
    QCOMPARE(w.windowTitle(), QString(" StartUp Wizard"));
    QCOMPARE(w.backButton()->text(), QString("&Back"));
    QCOMPARE(w.backButton()->toolTip(), QString("Go back to previous step"));
    QCOMPARE(w.nextButton()->toolTip(), QString("Proceed to next step"));
    QCOMPARE(w.startButton()->text(), QString("S&tart"));
    QCOMPARE(w.startButton()->toolTip(), QString("Start the ImportWizard"));
    QCOMPARE(w.cancelButton()->toolTip(), QString("Quit the StartUpWizard"));

    struct Page {
        const char* heading;
        const char* pane;
        int text;
    };
    const Page pages[] = {
        {" Welcome to the StartUpWizard!", "", 28},
        {" Default import file type ", " Instructions for setting import defaults ", 29},
        {" Mail database name ", " Instructions for setting up your mail database ", 41},
        {"", " Instructions for starting your first import", 30},
    };
    w.show();
    for (int p = 0; p < frame::StartUpWizard::PageCount; ++p) {
        QCOMPARE(w.page(), p);
        QCOMPARE(w.heading(), QString(pages[p].heading));
        QCOMPARE(w.paneTitle(), QString(pages[p].pane));
        QVERIFY2(w.paneText().startsWith(firstWords(pages[p].text)), qPrintable(w.paneText().left(40)));
        QCOMPARE(w.backButton()->isEnabled(), p > 0);
        QCOMPARE(w.nextButton()->isEnabled(), p < frame::StartUpWizard::PageCount - 1);
        screenshot(&w, QString("startup_wizard_%1").arg(p + 1));
        w.nextButton()->click();
    }
    QVERIFY(w.paneText().contains(firstWords(31)));
    w.backButton()->click();
    QCOMPARE(w.page(), int(frame::StartUpWizard::MailDatabasePage));
    w.mailSetupButton()->click();
    QCOMPARE(mailSetups, 1);
}

void StartUpWizardTest::startStoresTheDefaultsAndAsksForTheImportWizard() {
    Installation inst;
    inst.settings.values[frame::ItemDefaultFileType] = 21;
    std::vector<int> events;
    setFrameEventSink([&events](int code) { events.push_back(code); });
    frame::StartUpWizard w(inst.settings, &someTypes, {});
    QCOMPARE(w.fileTypes()->currentText(), QString("News file"));  // the stored choice
    QVERIFY(!w.mailSetupButton()->isEnabled());
    w.fileTypes()->setCurrentIndex(0);
    w.importPath()->setText(QString::fromStdString(inst.root()));
    w.startButton()->click();
    setFrameEventSink({});
    QCOMPARE(inst.settings.values[frame::ItemDefaultFileType], LONG(3));
    QCOMPARE(inst.settings.texts[frame::ItemDefaultImportPath], inst.root());
    QCOMPARE(inst.settings.generalSaves, 1);
    QCOMPARE(events, std::vector<int>{EventOpenImportWizard});
}

void StartUpWizardTest::startKeepsAPathThatDoesNotExistOutOfTheSettings() {
    Installation inst;
    inst.settings.texts[frame::ItemDefaultImportPath] = "/old/import";
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(SemaFore(ServiceStartUpWizard), 1);
    auto* w = qobject_cast<frame::StartUpWizard*>(frame.windows().widgetOf("StartUpWizard"));
    QVERIFY(w);
    QCOMPARE(w->importPath()->text(), QString("/old/import"));
    w->importPath()->setText("/no/such/import/dir");
    w->startButton()->click();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(inst.settings.texts[frame::ItemDefaultImportPath], std::string("/old/import"));
    QCOMPARE(inst.settings.generalSaves, 1);
    QVERIFY(!frame.windows().TmGetId("StartUpWizard"));
}

static RegisterTest<StartUpWizardTest> registeredStartUpWizardTest;

}  // namespace pm::test

#include "startup_wizard_test.moc"
