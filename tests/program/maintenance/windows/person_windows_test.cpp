// The person browse offscreen: its two orders and title, the messages of a
// sender in the message browse, the name form, the alias swap, persons
// dragged to the merge window and merged; and the duplicate merging
// window from the frame's menu. Screenshots of each.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "browse/windows/browse_window.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/paged_table_view.h"
#include "common/globals.h"
#include "common/text.h"
#include "common/windows/job_progress_window.h"
#include "frame/main_frame.h"
#include "counter_labels.h"
#include "frame_test_support.h"
#include "maintenance/windows/duplicates_window.h"
#include "maintenance/windows/person_browse_window.h"
#include "maintenance/windows/person_dialogs.h"
#include "support/sample_databases.h"
#include "support/store_query.h"
#include "tables/access/open_close.h"
#include "tables/records/all_tables.h"

namespace pm::test {

using frame::CommandId;

namespace {

QStringList column(PersonBrowseWindow& w, int c) {
    QStringList out;
    for (int r = 0; r < w.model()->rowCount(); ++r) out << w.model()->index(r, c).data().toString();
    return out;
}

// The text of column `c` in the current row.
QString currentCell(PersonBrowseWindow& w, int c) {
    return w.model()->index(w.table()->currentIndex().row(), c).data().toString();
}


bool labelShowing(QWidget* window, const char* text) {
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->text() == QString::fromUtf8(text)) return true;
    return false;
}

// Drags the rows of `ids` from the person list onto the merge list.
void drag(PersonBrowseWindow& w, MergeList* target, const std::vector<ULONG>& ids) {
    QModelIndexList rows;
    for (ULONG id : ids) {
        w.select(id);
        rows << w.model()->index(w.table()->currentIndex().row(), 0) << w.model()->index(w.table()->currentIndex().row(), 4);
    }
    std::unique_ptr<QMimeData> data(w.table()->model()->mimeData(rows));
    QVERIFY(target->canTake(data.get()));
    target->take(data.get());
}

}  // namespace

class PersonWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void personBrowseFromTheMenuAndItsMessages();
    void nameFormAndAliasSwap();
    void dragPersonsToTheMergeWindowAndMerge();
    void duplicateMergingWindow();
};

void PersonWindowsTest::personBrowseFromTheMenuAndItsMessages() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    QVERIFY(frame.action(CommandId::BrowsePersons)->isEnabled());
    QVERIFY(frame.action(CommandId::MergeDuplicatePersons)->isEnabled());
    frame.runCommand(CommandId::BrowsePersons);
    settle();
    auto* w = qobject_cast<PersonBrowseWindow*>(frame.windows().widgetOf("BrowsePerson"));
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Forum Members [4]"));
    QCOMPARE(column(*w, 0), (QStringList{"Adams, Zoë", "All", "Müller, Ärger", "Smith, John"}));
    w->tabs()->setCurrentIndex(1);
    QCOMPARE(column(*w, 1), (QStringList{"", "12345,678", "22222,1", "33333,3"}));
    QCOMPARE(w->messagesButton()->toolTip(), QStringLiteral("Show messages for this sender"));
    screenshot(w->window(), "person_browse");

    // John Smith's messages in the message browse.
    OP_CLOSE(OpenShared, {Person.number()});
    const ULONG smith = personNamed("Smith"), all = personNamed("All");
    OP_CLOSE(ReleaseTable, {Person.number()});
    w->select(smith);
    QVERIFY(w->showMessages());
    settle();
    auto* browse = qobject_cast<BrowseWindow*>(frame.windows().widgetOf("BrowseMsgNmbr"));
    QVERIFY(browse);
    QCOMPARE(browse->session().view(), BYTE{ViewBySender});
    QCOMPARE(browse->session().rows(), std::int64_t{4});
    screenshot(frame.window(), "person_messages_in_browse");

    // "All" sent nothing.
    w->select(all);
    QVERIFY(!w->showMessages());
    QVERIFY(inst.ui.sawCaption("No messages from address"));
    frame.windows().closeAll();
    settle();
}

void PersonWindowsTest::nameFormAndAliasSwap() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    PersonBrowseWindow w([](ULONG) {});
    const ULONG smith = personNamed("Smith");
    w.select(smith);
    auto* form = qobject_cast<PersonNameForm*>(w.editName(false));
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral(" Update Forum Member name"));
    QCOMPARE(form->lastName()->text(), QStringLiteral("Smith"));
    form->firstName()->setText("Jonathan");
    screenshot(form, "person_name_form");
    QVERIFY(form->save());
    settle();
    QCOMPARE(currentCell(w, 0), QStringLiteral("Smith, Jonathan"));

    PLINK.clear();
    PLI.PERSONSTRING = "J SMITH 12345,999";
    PLI.PERSONID = smith;
    QCOMPARE(PLINK.add(), StorageStatus::Ok);
    auto* aliases = qobject_cast<AliasWindow*>(w.showAliases(false));
    QVERIFY(aliases);
    QCOMPARE(aliases->windowTitle(), QStringLiteral(" Current address for Smith, Jonathan"));
    QCOMPARE(aliases->aliases()->count(), 1);
    const QString former = aliases->current()->text();
    aliases->aliases()->setCurrentRow(0);
    aliases->swapHighlighted();
    QCOMPARE(aliases->current()->text(), QStringLiteral("J SMITH 12345,999"));
    screenshot(aliases, "alias_window");
    QVERIFY(aliases->save());
    QCOMPARE(aliases->current()->text(), QStringLiteral("J SMITH 12345,999"));
    QCOMPARE(aliases->aliases()->item(0)->text(), former);
    aliases->close();
    settle();
    QCOMPARE(currentCell(w, 1), QStringLiteral("12345,999"));
}

void PersonWindowsTest::dragPersonsToTheMergeWindowAndMerge() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    PersonBrowseWindow w([](ULONG) {});
    const ULONG smith = personNamed("Smith"), adams = personNamed("Adams");
    MergePersonsWindow* merge = w.openMerge();
    drag(w, merge->list(), {smith});
    drag(w, merge->list(), {smith});  // twice: one entry
    QCOMPARE(merge->list()->topLevelItemCount(), 1);
    QCOMPARE(merge->list()->topLevelItem(0)->text(0), QStringLiteral("Keep"));
    QVERIFY(!merge->mergeButton()->isEnabled());
    drag(w, merge->list(), {adams});
    QCOMPARE(merge->list()->topLevelItem(1)->text(0), QStringLiteral("Merge"));
    QVERIFY(merge->mergeButton()->isEnabled());
    QVERIFY(merge->list()->topLevelItem(0)->foreground(0).color() != merge->list()->topLevelItem(1)->foreground(0).color());
    // Keep Adams instead.
    merge->list()->setCurrentItem(merge->list()->topLevelItem(1));
    merge->keepHighlighted();
    QCOMPARE(merge->list()->topLevelItem(0)->text(0), QStringLiteral("Merge"));
    screenshot(merge, "merge_persons");
    merge->mergeSelected();
    QTRY_VERIFY_WITH_TIMEOUT(merge->progress() && !merge->progress()->running(), 20000);
    settle();
    QCOMPARE(merge->list()->topLevelItemCount(), 0);
    QCOMPARE(w.model()->rowCount(), 3);
    QVERIFY(!column(w, 0).contains("Smith, John"));
    w.select(adams);
    QCOMPARE(currentCell(w, 2), QStringLiteral("6"));
}

void PersonWindowsTest::duplicateMergingWindow() {
    Installation inst;
    makeSampleForum();
    closeAllTables();
    frame::MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(CommandId::MergeDuplicatePersons);
    settle();
    auto* w = qobject_cast<DuplicatesWindow*>(frame.windows().widgetOf("Duplicates"));
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Duplicate Merging [Test Forum]"));
    QCOMPARE(w->startButton()->text(), QStringLiteral("Start the duplicate elimination process"));
    // An import on another machine holds the installation's writing turn:
    // the run waits for it, having written nothing, and goes on once it ends.
    const std::string cfg = inst.path("CFG/postmoor.db");
    QVERIFY(storeExecute(cfg, "CREATE TABLE IF NOT EXISTS _pm_locks (tbl TEXT NOT NULL, rec INTEGER NOT NULL, "
                              "owner TEXT NOT NULL, PRIMARY KEY (tbl, rec))"));
    QVERIFY(storeExecute(cfg, "INSERT INTO _pm_locks VALUES ('lock:import', -1, 'elsewhere:1')"));
    w->startRun();
    QTRY_VERIFY(labelShowing(w, "Waiting for the import, merge, purge or rebuild of elsewhere:1 to finish"));
    QVERIFY(w->progress()->running());
    QCOMPARE(storeValue(inst.path("F1/postmoor.db"), "SELECT count(*) FROM Person"), std::string("4"));
    QVERIFY(storeExecute(cfg, "DELETE FROM _pm_locks WHERE tbl = 'lock:import'"));
    QTRY_VERIFY_WITH_TIMEOUT(!w->progress()->running(), 20000);
    QCOMPARE(counterValue(w, "Existing Forum Members in database:"), QStringLiteral("4"));
    QCOMPARE(counterValue(w, "Duplicate Forum Members merged:"), QStringLiteral("0"));
    QCOMPARE(counterValue(w, "Remaining Forum Members:"), QStringLiteral("4"));
    screenshot(w->window(), "duplicates_window");
    frame.windows().closeAll();
    settle();
}

static RegisterTest<PersonWindowsTest> registeredPersonWindowsTest;

}  // namespace pm::test

#include "person_windows_test.moc"
