// The small things a person notices in the first hour: lists that show
// their numbers whole and sort on a heading click, disabled buttons that
// look it, tips on every button, a help window that closes with Escape,
// the path dialog's keys and Browse, the About heading, windows that stay
// where they can be reached, and the database of the last run.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <filesystem>

#include "common/globals.h"
#include "frame/help_viewer.h"
#include "frame/main_frame.h"
#include "frame/windows/change_forum_window.h"
#include "frame_test_support.h"
#include "import/windows/import_progress_window.h"
#include "import/windows/outlook_folders_dialog.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/records/config_tables.h"
#include "tables/windows/new_path_window.h"

namespace pm::test {

using frame::MainFrame;

namespace {

void setMessageCount(ULONG id, ULONG count) {
    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.ID = id;
    if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) {
        FOR.MSGCOUNT = count;
        Forums.put();
    }
    OP_CLOSE(ReleaseTable, {2});
}

// The column texts of a list, row by row.
QStringList columnTexts(QAbstractItemModel* model, int column) {
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, column).data().toString();
    return out;
}

// The average opacity of a pixmap's pixels (0-255).
double meanAlpha(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) sum += qAlpha(image.pixel(x, y));
    return image.isNull() ? 0 : sum / (image.width() * image.height());
}

// The frame at the size of a 1400 x 900 screen scaled by 1.5.
void scaledScreenSize(MainFrame& frame) {
    frame.showNormal();
    frame.setGeometry(0, 0, 933, 600);
    settle();
}

}  // namespace

class DesktopDetailsTest : public QObject {
    Q_OBJECT
private slots:
    void catalogListsShowTheirNumbersWholeAndSortOnAHeadingClick();
    void disabledToolbarButtonsLookDisabledAndEveryButtonHasATip();
    void helpClosesWithEscapeOrCloseAndSaysWhenNothingIsFound();
    void everyWindowThatExistsHasAHelpPage();
    void pathDialogTabReachesItsButtonsAndBrowsePicksTheDirectory();
    void windowsStayInsideTheFrameAndTheAboutHeadingIsWhole();
    void theFrameStaysOnTheScreen();
    void theLastActiveDatabaseOpensAgain();
};

void DesktopDetailsTest::catalogListsShowTheirNumbersWholeAndSortOnAHeadingClick() {
    Installation inst;
    const ULONG big = inst.addDatabase(TypeForum, "CompuServe Forum With A Long Name");
    const ULONG small = inst.addDatabase(TypeNewsgroup, "comp.lang.c++.moderated");
    const ULONG mail = inst.addDatabase(TypeMail, "My Mail");
    setMessageCount(big, 59819);
    setMessageCount(small, 7);
    setMessageCount(mail, 2973);
    // Column widths stored by an older layout: far too narrow.
    inst.settings.columnWidths[frame::ColumnsChangeForum] = {60, 20, 20, 20, 20};
    MainFrame frame(inst.settings, false);
    frame.start();
    scaledScreenSize(frame);
    QVERIFY(frame.openWindow("ChangeForum"));
    auto* w = qobject_cast<frame::ChangeForumWindow*>(frame.windows().widgetOf("ChangeForum"));
    QVERIFY(w);
    CatalogView* list = w->list();
    QAbstractItemModel* model = list->model();
    settle();

    // Every column is as wide as the list itself finds its texts and heading
    // need (a name column up to its limit), the counts grouped.
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString heading = model->headerData(c, Qt::Horizontal).toString();
        int needed = std::max(static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c),
                              list->horizontalHeader()->sectionSizeHint(c));
        if (heading == "Database name") needed = std::min(needed, CatalogView::kWidestNameColumn);
        QVERIFY2(list->columnWidth(c) >= needed,
                 qPrintable(QString("%1: %2 < %3").arg(heading).arg(list->columnWidth(c)).arg(needed)));
    }
    QVERIFY(columnTexts(model, 3).contains(QLocale().toString(59819)));
    // ... and the window is wide enough to show every column.
    int total = 0;
    for (int c = 0; c + 1 < model->columnCount(); ++c) total += list->columnWidth(c);
    QVERIFY2(list->viewport()->width() >= total, qPrintable(QString("%1 < %2").arg(list->viewport()->width()).arg(total)));
    screenshot(frame.windows().TmGetId("ChangeForum"), "change_forum_fitted");

    // A heading click sorts by its column; a second click turns the order round.
    const int messages = 3;
    QCOMPARE(model->headerData(messages, Qt::Horizontal).toString(), QString("Messages"));
    list->horizontalHeader()->sectionClicked(messages);
    QCOMPARE(columnTexts(model, 0), QStringList({"comp.lang.c++.moderated", "My Mail", "CompuServe Forum With A Long Name"}));
    QVERIFY(list->horizontalHeader()->isSortIndicatorShown());
    list->horizontalHeader()->sectionClicked(messages);
    QCOMPARE(columnTexts(model, 0), QStringList({"CompuServe Forum With A Long Name", "My Mail", "comp.lang.c++.moderated"}));
    QCOMPARE(list->currentEntry()->id, static_cast<ULONG>(Mem.ForumNumber));  // the highlight stays on its database
    list->horizontalHeader()->sectionClicked(0);
    QCOMPARE(columnTexts(model, 0), QStringList({"comp.lang.c++.moderated", "CompuServe Forum With A Long Name", "My Mail"}));
    // Typing still finds by name.
    QTest::keyClicks(list, "my");
    QCOMPARE(list->currentEntry()->id, mail);
    frame.windows().TmDestroy("ChangeForum");
    settle();
}

void DesktopDetailsTest::disabledToolbarButtonsLookDisabledAndEveryButtonHasATip() {
    Installation inst;  // no database: most buttons are off
    MainFrame frame(inst.settings, false);
    frame.start();
    settle();
    int disabled = 0;
    for (QToolButton* button : frame.toolBar()->findChildren<QToolButton*>()) {
        if (button->objectName() == QLatin1String("qt_toolbar_ext_button")) continue;
        QVERIFY2(!button->toolTip().trimmed().isEmpty(), qPrintable(button->text()));
        const QIcon icon = button->icon();
        const double normal = meanAlpha(icon.pixmap(QSize(20, 20), QIcon::Normal));
        const double faint = meanAlpha(icon.pixmap(QSize(20, 20), QIcon::Disabled));
        QVERIFY2(faint < normal * 0.5, qPrintable(button->toolTip()));
        if (!button->isEnabled()) ++disabled;
    }
    QVERIFY(disabled > 5);
    screenshot(frame.toolBar(), "toolbar_without_database");
}

void DesktopDetailsTest::helpClosesWithEscapeOrCloseAndSaysWhenNothingIsFound() {
    frame::HelpViewer* viewer = frame::openHelp("Contents");
    QVERIFY(viewer->isVisible());
    QTest::keyClick(viewer, Qt::Key_Escape);
    QVERIFY(!viewer->isVisible());

    viewer = frame::openHelp("Contents");
    QPushButton* close = nullptr;
    for (QPushButton* b : viewer->findChildren<QPushButton*>())
        if (b->text().remove('&') == "Close") close = b;
    QVERIFY(close);
    const int pages = viewer->pages()->count();
    QCOMPARE(viewer->search("xylophone quagmire"), 0);
    QCOMPARE(viewer->searchNote(), QString("No help page holds \"xylophone quagmire\"."));
    QCOMPARE(viewer->pages()->count(), pages);  // every page still to choose from
    screenshot(viewer, "help_no_hits");
    QVERIFY(viewer->search("mail database") > 0);
    QVERIFY(viewer->searchNote().endsWith("hold \"mail database\".") || viewer->searchNote().endsWith("holds \"mail database\"."));
    close->click();
    QVERIFY(!viewer->isVisible());
}

void DesktopDetailsTest::everyWindowThatExistsHasAHelpPage() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    MainFrame frame(inst.settings, false);
    QStringList names;
    for (const frame::WindowEntry& w : frame::windowTable()) {
        const QString name = QString::fromUtf8(w.name);
        if (!frame.factories().has(name) && name != ImportProgressWindow::WindowName) continue;
        names << name;
        QVERIFY2(w.helpTopic, qPrintable(name + " has no help topic"));
        QVERIFY2(frame::HelpViewer::hasTopic(w.helpTopic), qPrintable(name + ": " + w.helpTopic));
    }
    QVERIFY(names.contains("ChangeForum") && names.contains("About") && names.contains("ImportIt"));
    // The import progress window names its page itself: it also opens outside the frame.
    ImportProgressWindow progress({});
    QCOMPARE(frame::helpTopicOf(&progress), QString(frame::windowEntry("ImportIt")->helpTopic));
    // So does the Outlook folder choice, which the import opens.
    OutlookFoldersDialog outlook(inst.path("no-such.pst"), {});
    QVERIFY(frame::HelpViewer::hasTopic(frame::helpTopicOf(&outlook)));
}

void DesktopDetailsTest::pathDialogTabReachesItsButtonsAndBrowsePicksTheDirectory() {
    Installation inst;
    NewPathWindow window(1, "/no/such/postmoor/dir", [](const std::string&) { return true; });
    QString startedAt;
    const std::string chosen = inst.path("data");
    std::filesystem::create_directories(chosen);
    window.setDirectoryChooser([&](const QString& start) {
        startedAt = start;
        return QString::fromStdString(chosen);
    });
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // The text speaks of the OK button: there is one.
    QVERIFY(window.explanation().contains("OK button"));
    QCOMPARE(window.saveButton()->text().remove('&'), QString("OK"));

    // Browse starts where the stored path still exists and completes the entry.
    QVERIFY(window.browseButton());
    window.browseButton()->click();
    QCOMPARE(startedAt, QString("/"));
    QCOMPARE(window.pathEntry()->text(), QString::fromStdString(chosen));
    QVERIFY(window.saveButton()->isEnabled());
    QVERIFY(window.saveButton()->isDefault());
    QVERIFY(inst.ui.shown().empty());

    // Tab completes a typed entry and lands on OK; Tab goes on to Exit Postmoor.
    window.pathEntry()->setFocus();
    QTest::keyClick(window.pathEntry(), Qt::Key_End);
    QTest::keyClicks(window.pathEntry(), "/");
    QVERIFY(!window.saveButton()->isEnabled());
    QTest::keyClick(window.pathEntry(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.saveButton()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.exitButton()));
    screenshot(&window, "newpath_browse");
}

void DesktopDetailsTest::windowsStayInsideTheFrameAndTheAboutHeadingIsWhole() {
    Installation inst;
    inst.addDatabase(TypeForum, "Forum");
    inst.addDatabase(TypeMail, "Mail");
    // Places stored on a larger screen, and an About box stored too small.
    for (int slot = 2; slot <= 9; ++slot) inst.settings.places[slot] = {1300, 850, 900, 700};
    inst.settings.places[frame::SlotAbout] = {10, 10, 200, 80};
    MainFrame frame(inst.settings, false);
    frame.start();
    scaledScreenSize(frame);
    const QRect area = frame.area()->viewport()->rect();
    for (const char* name : {"ChangeForum", "BrowseBox", "SetIndex", "StartUpWizard", "About"}) {
        QVERIFY2(frame.openWindow(name), name);
        settle();
        QMdiSubWindow* sub = frame.windows().TmGetId(name);
        QVERIFY2(area.contains(sub->geometry()),
                 qPrintable(QString("%1 at %2,%3 %4x%5").arg(name).arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height())));
        const QSize minimum = sub->widget()->minimumSizeHint();
        QVERIFY2(sub->widget()->width() >= std::min(minimum.width(), area.width() - 20), name);
        if (QString(name) == "About") {
            // The heading is whole: its label is as wide as its text.
            const QLabel* heading = nullptr;
            for (const QLabel* l : sub->widget()->findChildren<QLabel*>())
                if (l->text().startsWith("Postmoor Mail, Forum")) heading = l;
            QVERIFY(heading);
            QVERIFY(heading->width() >= heading->fontMetrics().horizontalAdvance(heading->text()));
            // ... and no text below it is cut off.
            for (const QLabel* l : sub->widget()->findChildren<QLabel*>()) {
                const int needed = l->wordWrap() ? l->heightForWidth(l->width()) : l->sizeHint().height();
                QVERIFY2(l->height() >= needed, qPrintable(l->text()));
            }
            screenshot(&frame, "about_on_a_scaled_screen");
        }
        frame.windows().TmDestroy(name);
        settle();
    }
}

void DesktopDetailsTest::theFrameStaysOnTheScreen() {
    Installation inst;
    inst.settings.values[frame::ItemSavedFramePlace] = 1;
    inst.settings.places[frame::SlotFrame] = {2500, 1600, 1400, 900};
    MainFrame frame(inst.settings, false);
    frame.start();
    settle();
    const QRect screen = frame.screen()->availableGeometry();
    const QRect outer = frame.frameGeometry();
    QVERIFY2(screen.contains(outer),
             qPrintable(QString("%1,%2 %3x%4").arg(outer.x()).arg(outer.y()).arg(outer.width()).arg(outer.height())));
    frame::HelpViewer* viewer = frame::openHelp("Contents");
    viewer->resize(3000, 2000);
    viewer->hide();
    viewer->show();
    QVERIFY(screen.contains(viewer->frameGeometry()));
    viewer->close();
}

void DesktopDetailsTest::theLastActiveDatabaseOpensAgain() {
    Installation inst;
    const ULONG first = inst.addDatabase(TypeForum, "First");
    const ULONG second = inst.addDatabase(TypeNewsgroup, "comp.second");
    inst.settings.last = second;
    {
        MainFrame frame(inst.settings, false);
        frame.start();
        QCOMPARE(static_cast<ULONG>(Mem.ForumNumber), second);
        // Another database chosen: that one is remembered.
        deactivateDatabase();
        activateDatabase(first);
        frame.refreshFromActiveDatabase();
        QCOMPARE(inst.settings.last, first);
    }
    deactivateDatabase();
    inst.settings.last = second;
    inst.settings.values[frame::ItemDefaultDatabase] = static_cast<LONG>(first);  // the preferences win
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(static_cast<ULONG>(Mem.ForumNumber), first);
}

static RegisterTest<DesktopDetailsTest> registeredDesktopDetailsTest;

}  // namespace pm::test

#include "desktop_details_test.moc"
