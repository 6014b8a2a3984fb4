// The preferences window over a real installation: it shows every stored
// item, OK writes every one of them back into the stored blocks (directories
// made as they change), Cancel and Esc write nothing, and a directory that
// cannot be made is reported without losing the rest.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimeEdit>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "common/globals.h"
#include "support/qt/window_test.h"
#include "tables/config/settings.h"
#include "tables/windows/database_choice_field.h"
#include "tables/windows/user_panel.h"

using namespace pm;
using namespace pm::test;

namespace {

const UserPanel::FileTypes kFileTypes = {{17, "WinCIM"}, {28, "Unix News"}, {35, "Generic Mail Type 2"}};

// The stored value of an item, read again from its block on disk.
LONG stored(int item) {
    Konfig(LoadGeneral);
    Konfig(LoadDisplay);
    return configValue(item);
}

std::string storedText(int item) {
    Konfig(LoadGeneral);
    Konfig(LoadDisplay);
    AutoPath(1);
    return configText(item);
}

class UserPanelTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheStoredItems();
    void okWritesEveryItemBack();
    void changedTopDirectoriesAreMadeAndUsed();
    void cancelAndEscapeWriteNothing();
    void aDirectoryThatCannotBeMadeIsReportedAndTheRestSaved();
    void screenshotsOfEveryTab();
};

void UserPanelTest::showsTheStoredItems() {
    WindowTestInstallation inst;
    QCOMPARE(inst.command({"db", "create", "forum", "Forum One"}), 0);
    QCOMPARE(inst.command({"db", "create", "mail", "Box", "--address", "me@x.example"}), 0);
    setConfigValue(3, 25);
    setConfigValue(6, 250000);
    setConfigValue(19, 250001);
    setConfigValue(10, 6);
    setConfigValue(13, 3);
    setConfigValue(38, 3);
    setConfigValue(42, 1);
    setConfigValue(16, 4);
    setConfigValue(12, 28);
    setConfigValue(24, 0x00FF00);
    setConfigValue(46, 22 * 360000);
    setConfigValue(2, 2);
    setConfigText(35, "DejaVu Serif");
    setConfigValue(35, 11);

    UserPanel panel(kFileTypes);
    QCOMPARE(panel.windowTitle(), QStringLiteral(" User Preferences"));
    QCOMPARE(panel.tabs()->count(), 8);
    QCOMPARE(panel.locatorDelay()->value(), 2.5);
    QCOMPARE(panel.defaultDatabase()->databaseName(), QStringLiteral("Forum One"));
    QCOMPARE(panel.defaultMailDatabase()->databaseName(), QStringLiteral("Box"));
    QCOMPARE(panel.dateFormat()->checkedId(), 6);
    QCOMPARE(panel.timeFormat()->checkedId(), 3);
    QCOMPARE(panel.messageTab()->currentText(), QStringLiteral("By Section"));
    QVERIFY(!panel.openMaximized()->isChecked());
    QCOMPARE(panel.treeFormat()->currentText(), QStringLiteral("SenderName MsgNumber MsgDate"));
    QCOMPARE(panel.fileType()->currentText(), QStringLiteral("Unix News"));
    QCOMPARE(panel.restrictFrom()->time(), QTime(22, 0));
    QVERIFY(!panel.toolTips()->isChecked());
    QCOMPARE(panel.fontSize(35)->value(), 11);
    QCOMPARE(panel.directory(18)->text(), QString::fromStdString(Mem.FileDir));
    QCOMPARE(panel.speed(4)->value(), 4);
    QCOMPARE(panel.showTime()->checkedId(), 1);
}

void UserPanelTest::okWritesEveryItemBack() {
    WindowTestInstallation inst;
    QCOMPARE(inst.command({"db", "create", "newsgroup", "comp.lang.c"}), 0);
    UserPanel panel(kFileTypes);
    panel.locatorDelay()->setValue(2.5);
    panel.openMaximized()->setChecked(false);
    panel.toolTips()->setChecked(false);
    panel.dateFormat()->button(10)->setChecked(true);
    panel.timeFormat()->button(1)->setChecked(true);
    panel.defaultDatabase()->entry()->setText(QStringLiteral("comp"));
    panel.defaultDatabase()->lookUp(false);
    panel.messageTab()->setCurrentIndex(6);
    panel.mailTab()->setCurrentIndex(2);
    panel.fileType()->setCurrentIndex(2);
    panel.importPath()->setText(QStringLiteral("/home/me/mail"));
    panel.treeFormat()->setCurrentIndex(4);
    panel.treeOpening()->button(1)->setChecked(true);
    panel.treeOnTop()->setChecked(true);
    panel.exitAfterTasks()->setChecked(true);
    panel.restrictFrom()->setTime(QTime(8, 30));
    panel.restrictTo()->setTime(QTime(17, 15));
    panel.tasksDeactivated()->setChecked(true);
    for (int i = 0; i < 5; ++i) panel.speed(i)->setValue(i + 2);
    panel.showTime()->button(2)->setChecked(true);
    panel.fontSize(33)->setValue(12);
    panel.setColour(22, QColor(1, 2, 3));
    panel.setColour(31, QColor(0, 0, 255));
    QVERIFY(panel.accept());

    QCOMPARE(stored(3), 25);
    QCOMPARE(stored(42), 1);
    QCOMPARE(stored(2), 2);
    QCOMPARE(stored(10), 10);
    QCOMPARE(stored(13), 1);
    QCOMPARE(stored(6), configValue(6));
    QVERIFY(stored(6) != 0);
    QCOMPARE(stored(38), 7);
    QCOMPARE(stored(39), 3);
    QCOMPARE(stored(12), 35);
    QCOMPARE(storedText(14), std::string("/home/me/mail"));
    QCOMPARE(stored(16), 5);
    QCOMPARE(stored(40), 1);
    QCOMPARE(stored(37), 1);
    QCOMPARE(stored(57), 1);
    QCOMPARE(stored(46), (8 * 60 + 30) * 6000);
    QCOMPARE(stored(47), (17 * 60 + 15) * 6000);
    QCOMPARE(stored(48), 1);
    for (int i = 0; i < 5; ++i) QCOMPARE(stored(26 + i), i + 2);
    QCOMPARE(SpeedVal(SpeedImportMerge), 400);  // slider 6: four times the default quota of 100
    QCOMPARE(stored(9), 2);
    QCOMPARE(stored(33), 12);
    QCOMPARE(stored(22), 1 | 2 << 8 | 3 << 16);
    QCOMPARE(stored(31), 255 << 16);
}

void UserPanelTest::changedTopDirectoriesAreMadeAndUsed() {
    WindowTestInstallation inst;
    UserPanel panel(kFileTypes);
    const std::string databases = inst.path("elsewhere/databases");
    const std::string words = inst.path("elsewhere/words");
    const std::string temp = inst.path("scratch");
    panel.directory(18)->setText(QString::fromStdString(databases));
    panel.directory(44)->setText(QString::fromStdString(words));
    panel.directory(17)->setText(QString::fromStdString(temp));
    QVERIFY(panel.accept());
    for (const std::string& dir : {databases, words, temp}) QVERIFY2(std::filesystem::is_directory(dir), dir.c_str());
    QCOMPARE(Mem.FileDir, databases);
    QCOMPARE(MasIdxPath, words);
    QCOMPARE(Mem.TempDir, temp);
    QCOMPARE(storedText(18), databases);
    QCOMPARE(inst.command({"db", "create", "forum", "There"}), 0);
    QVERIFY(std::filesystem::is_directory(databases + "/F1"));
}

void UserPanelTest::cancelAndEscapeWriteNothing() {
    WindowTestInstallation inst;
    for (int way = 0; way < 2; ++way) {
        auto* panel = new UserPanel(kFileTypes);
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->show();
        QPointer<UserPanel> watch(panel);
        panel->locatorDelay()->setValue(7.0);
        panel->directory(18)->setText(QString::fromStdString(inst.path("never")));
        if (way == 0)
            QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
        else
            QTest::keyClick(panel, Qt::Key_Escape);
        QTRY_VERIFY(watch.isNull());
        QCOMPARE(stored(3), 15);
        QVERIFY(!std::filesystem::exists(inst.path("never")));
    }
}

void UserPanelTest::aDirectoryThatCannotBeMadeIsReportedAndTheRestSaved() {
    WindowTestInstallation inst;
    std::ofstream(inst.path("plain-file")) << "x";
    auto* panel = new UserPanel(kFileTypes);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<UserPanel> watch(panel);
    panel->directory(17)->setText(QString::fromStdString(inst.path("plain-file/temp")));
    panel->locatorDelay()->setValue(3.0);
    QVERIFY(!panel->accept());
    QVERIFY(inst.ui.sawCaption("Directory Error"));
    QCOMPARE(stored(3), 30);
    QCOMPARE(Mem.TempDir, inst.path("TEMP"));
    QTRY_VERIFY(watch.isNull());  // the window still closes
}

void UserPanelTest::screenshotsOfEveryTab() {
    WindowTestInstallation inst;
    UserPanel panel(kFileTypes);
    panel.show();  // at the size it opens with in the frame
    for (int i = 0; i < panel.tabs()->count(); ++i) {
        panel.tabs()->setCurrentIndex(i);
        QVERIFY(!saveScreenshot(&panel, QStringLiteral("user_panel_%1").arg(i)).isNull() ||
                qEnvironmentVariableIsEmpty("POSTMOOR_SCREENSHOTS"));
    }
}

const RegisterWindowTest<UserPanelTest> registeredUserPanelTest;

}  // namespace

#include "user_panel_test.moc"
