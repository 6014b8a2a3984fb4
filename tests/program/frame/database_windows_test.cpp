// The database windows: the list of databases (ChangeForum), the word
// index status (SetIndex), the mail databases (BrowseBox) with their form,
// and the selection list of the database look-up.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "common/globals.h"
#include "frame/main_frame.h"
#include "frame/windows/browse_box_window.h"
#include "frame/windows/change_forum_window.h"
#include "frame/windows/rename_database_form.h"
#include "frame/windows/set_index_window.h"
#include "frame_test_support.h"
#include "import/windows/mail_database_form.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/services/library_services.h"
#include "tables/records/all_tables.h"
#include "tables/windows/database_selection_dialog.h"

namespace pm::test {

using frame::MainFrame;

namespace {

// The texts of a row of `view`.
QStringList rowTexts(CatalogView* view, int row) {
    QStringList out;
    for (int c = 0; c < view->model()->columnCount(); ++c) out << view->model()->index(row, c).data().toString();
    return out;
}

QStringList headings(CatalogView* view) {
    QStringList out;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        out << view->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return out;
}

QStringList menuTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) out << (a->isSeparator() ? "-" : a->text());
    return out;
}

void typeInto(QWidget* w, const QString& text) {
    for (QChar c : text) QTest::keyClick(w, c.toLatin1());
}

// A catalog record with a directory of its own, outside the usual numbering.
ULONG addRecord(const std::string& root, ULONG id, const std::string& name, ULONG dir, BYTE type) {
    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.ID = id;
    FOR.DESCRIPTION = name;
    FOR.DIRNUMBER = dir;
    FOR.TYPE = type;
    Forums.add();
    OP_CLOSE(ReleaseTable, {2});
    std::filesystem::create_directories(root + "/F" + std::to_string(dir));
    return id;
}

frame::ChangeForumWindow* openChangeForum(MainFrame& frame) {
    frame.openWindow("ChangeForum");
    return qobject_cast<frame::ChangeForumWindow*>(frame.windows().widgetOf("ChangeForum"));
}

}  // namespace

using frame::ChangeForumWindow;

class DatabaseWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { MailDatabaseForm::setCreator(&createMailDatabaseForTest); }
    void cleanup() { MailDatabaseForm::setCreator({}); }
    void changeForumListsBothOrdersAndLocatesByTyping();
    void changeForumImportFlagsAndTheNameOfUnknownDatabases();
    void changeForumStatusKeys();
    void changeForumChoosesWithEnter();
    void setIndexFollowsTheWordIndexAndTheCatalog();
    void browseBoxInsertsAndChangesMailDatabases();
    void mailDatabaseFormChecksItsEntries();
    void selectionListCaptionsOrdersAndChoice();
};

void DatabaseWindowsTest::changeForumListsBothOrdersAndLocatesByTyping() {
    Installation inst;
    inst.addDatabase(TypeForum, "Alpha");
    inst.addDatabase(TypeNewsgroup, "beta news");
    inst.addDatabase(TypeMail, "Mail box");
    addRecord(inst.root(), 300000, "Zeta", 12, TypeForum);
    MainFrame frame(inst.settings, false);
    frame.start();
    ChangeForumWindow* w = openChangeForum(frame);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString(" Database Selection [4]"));
    QCOMPARE(frame.windows().TmGetId("ChangeForum")->windowTitle(), QString(" Database Selection [4]"));
    QCOMPARE(w->list()->toolTip(), QString("Right click to change import status"));
    QCOMPARE(headings(w->list()), QStringList({"Database name", "Type", "Directory", "Messages", "Counted", "Import"}));
    QCOMPARE(rowTexts(w->list(), 0), QStringList({"Alpha", "Forum", "F1", "0", "Yes", "Yes"}));
    QCOMPARE(rowTexts(w->list(), 1).mid(0, 3), QStringList({"beta news", "Newsgroup", "F2"}));
    QCOMPARE(rowTexts(w->list(), 2).mid(0, 3), QStringList({"Mail box", "Mail", "F3"}));
    QCOMPARE(w->orders()->tabText(0), QString("By Name"));

    typeInto(w->list(), "BE");
    QCOMPARE(w->list()->currentEntry()->name, std::string("beta news"));
    typeInto(w->list(), "x");  // "bex": nothing begins so, the next name after it
    QCOMPARE(w->list()->currentEntry()->name, std::string("Mail box"));

    w->orders()->setCurrentIndex(1);
    QCOMPARE(rowTexts(w->list(), 3)[2], QString("F12"));
    typeInto(w->list(), "f12");
    QCOMPARE(w->list()->typedText(), QString("f12"));
    QCOMPARE(w->list()->currentEntry()->name, std::string("Zeta"));
    w->list()->setLocatorDelay(-1);  // every key starts afresh
    typeInto(w->list(), "ab");
    QCOMPARE(w->list()->typedText(), QString("b"));
    w->orders()->setCurrentIndex(0);
    screenshot(frame.windows().TmGetId("ChangeForum"), "change_forum");
}

void DatabaseWindowsTest::changeForumImportFlagsAndTheNameOfUnknownDatabases() {
    Installation inst;
    inst.addDatabase(TypeForum, "Known");
    inst.addDatabase(TypeForum, "Unknown:F2");
    MainFrame frame(inst.settings, false);
    frame.start();
    ChangeForumWindow* w = openChangeForum(frame);
    w->list()->highlightRow(0);
    QCOMPARE(menuTexts(w->popupMenu()), QStringList({"Allow import", "Disallow import"}));
    w->setImport(false);
    QCOMPARE(rowTexts(w->list(), 0)[5], QString("No"));
    w->setImport(false);  // already disallowed: nothing changes
    QCOMPARE(rowTexts(w->list(), 0)[5], QString("No"));
    w->setImport(true);
    QCOMPARE(rowTexts(w->list(), 0)[5], QString("Yes"));

    w->list()->highlightRow(1);
    QCOMPARE(menuTexts(w->popupMenu()),
             QStringList({"Allow import", "Disallow import", "-", "Change database name"}));
    frame::RenameDatabaseForm* form = w->renameHighlighted();
    QVERIFY(form);
    screenshot(form, "rename_database");
    form->nameEntry()->setText("KNOWN");
    form->saveButton()->click();
    QVERIFY(form->isVisible());  // refused: the name is taken
    QVERIFY(inst.ui.sawText("A record with identical key already exists!"));
    QCOMPARE(rowTexts(w->list(), 1)[0], QString("Unknown:F2"));
    form->nameEntry()->setText("Found again");
    form->saveButton()->click();
    settle();
    QCOMPARE(rowTexts(w->list(), 0)[0], QString("Found again"));
    QVERIFY(inst.ui.shown().size() == 1);
}

void DatabaseWindowsTest::changeForumStatusKeys() {
    Installation inst;
    inst.settings.values[frame::ItemKeepColour] = 0x00FF00;
    inst.settings.values[frame::ItemDeleteColour] = 0x0000FF;
    const ULONG active = inst.addDatabase(TypeForum, "Active");
    const ULONG other = inst.addDatabase(TypeForum, "Other");
    MainFrame frame(inst.settings, false);
    frame.start();
    QCOMPARE(Mem.ForumNumber, active);
    ChangeForumWindow* w = openChangeForum(frame);
    w->list()->highlightDatabase(active);
    QTest::keyClick(w->list(), Qt::Key_K, Qt::ShiftModifier);
    QVERIFY(frame.windows().TmGetId("ChangeForum"));  // Keep does not close
    const int row = w->list()->catalog()->rowOf(active);
    QCOMPARE(w->list()->model()->index(row, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 255, 0));
    QCOMPARE(Mem.ForumCheck, BYTE(StatusKeep));
    screenshot(frame.windows().TmGetId("ChangeForum"), "change_forum_keep");
    QTest::keyClick(w->list(), Qt::Key_N, Qt::ShiftModifier);
    QVERIFY(!w->list()->model()->index(row, 0).data(Qt::ForegroundRole).isValid());

    // Delete marks, activates and closes.
    w->list()->highlightDatabase(other);
    QTest::keyClick(w->list(), Qt::Key_Delete);
    settle();
    QVERIFY(!frame.windows().TmGetId("ChangeForum"));
    QCOMPARE(Mem.ForumNumber, other);
    QCOMPARE(Mem.ForumCheck, BYTE(StatusDelete));
    QCOMPARE(GlobalResponse, RequestCompleted);
    QCOMPARE(frame.windowTitle(), QString(frame::ProgramTitle) + "[Other]");
}

void DatabaseWindowsTest::changeForumChoosesWithEnter() {
    Installation inst;
    inst.addDatabase(TypeForum, "First");
    const ULONG second = inst.addDatabase(TypeMail, "Second");
    MainFrame frame(inst.settings, false);
    frame.start();
    ChangeForumWindow* w = openChangeForum(frame);
    w->list()->highlightDatabase(second);
    QTest::keyClick(w->list(), Qt::Key_Return);
    settle();
    QVERIFY(!frame.windows().TmGetId("ChangeForum"));
    QCOMPARE(Mem.ForumNumber, second);
    QCOMPARE(frame.windowTitle(), QString(frame::ProgramTitle) + "[Second]");
    QCOMPARE(frame.personsMenu()->title(), QString("Mail &Partners"));
    OP_CLOSE(OpenShared, {22});  // the identity record was written
    QCOMPARE(REFFile.records(), 1);
    OP_CLOSE(ReleaseTable, {22});
    // Esc leaves everything as it was.
    w = openChangeForum(frame);
    w->list()->highlightRow(0);
    QTest::keyClick(w->list(), Qt::Key_Escape);
    settle();
    QVERIFY(!frame.windows().TmGetId("ChangeForum"));
    QCOMPARE(Mem.ForumNumber, second);
}

void DatabaseWindowsTest::setIndexFollowsTheWordIndexAndTheCatalog() {
    Installation inst;
    const ULONG id = inst.addDatabase(TypeForum, "Forum");
    activateDatabase(id);
    frame::SetIndexWindow w;
    // New databases are auto indexed, but nothing is indexed yet.
    QCOMPARE(w.indexedLine(), QString("The database is not word indexed"));
    QCOMPARE(w.autoLine(), QString("Auto indexing (in Task Manager) is activated"));
    QCOMPARE(w.toggleButton()->text(), QString(" Deactivate auto word indexing (in Task Manager)"));
    w.toggleButton()->click();
    QCOMPARE(w.indexedLine(), QString("The database is not word indexed"));
    QCOMPARE(w.autoLine(), QString("Auto indexing (in Task Manager) is deactivated"));
    QCOMPARE(w.toggleButton()->text(), QString(" Activate auto word indexing (in Task Manager)"));
    OP_CLOSE(OpenShared, {29});
    MasIdx.clear();
    MAS.SYSID = 7;
    MAS.WORDID = 9;
    MasIdx.add();
    OP_CLOSE(ReleaseTable, {29});
    w.refresh();
    QCOMPARE(w.indexedLine(), QString("The database is word indexed"));
    w.show();
    screenshot(&w, "set_index");
}

void DatabaseWindowsTest::browseBoxInsertsAndChangesMailDatabases() {
    Installation inst;
    inst.addDatabase(TypeForum, "A forum");
    const ULONG existing = inst.addDatabase(TypeMail, "Work mail");
    MainFrame frame(inst.settings, false);
    frame.start();
    frame.runCommand(frame::CommandId::MailDatabaseSetup);
    auto* box = qobject_cast<frame::BrowseBoxWindow*>(frame.windows().widgetOf("BrowseBox"));
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QString(" Mail Databases [1]"));
    QCOMPARE(box->nextDirectory(), ULONG(3));
    QCOMPARE(headings(box->list()),
             QStringList({"Database name", "Default mail address", "Dir. no.", "Owner id", "Messages"}));
    QCOMPARE(rowTexts(box->list(), 0), QStringList({"Work mail", "owner@example.org", "2", "42", "0"}));
    QVERIFY(box->insertButton()->isEnabled());

    MailDatabaseForm* form = box->insertDatabase();
    QCOMPARE(GlobalRequest, InsertRecord);
    QCOMPARE(form->directoryLabel()->text(), QString("Directory: F3"));
    form->nameEntry()->setText("Private mail");
    form->addressEntry()->setText("me@example.org");
    form->altEntry(0)->setText("me@old.example.org");
    screenshot(form, "mail_database_form");
    QVERIFY(form->save());
    settle();
    QCOMPARE(box->windowTitle(), QString(" Mail Databases [2]"));
    QCOMPARE(box->nextDirectory(), ULONG(4));
    QCOMPARE(box->list()->currentEntry()->name, std::string("Private mail"));
    QCOMPARE(GlobalResponse, RequestCompleted);
    // The import wizard's default mail database is the first one set up.
    QCOMPARE(inst.settings.values[frame::ItemDefaultMailDatabase], LONG(box->list()->currentEntry()->id));
    screenshot(frame.windows().TmGetId("BrowseBox"), "browse_box");

    box->list()->highlightDatabase(existing);
    form = box->changeDatabase();
    QCOMPARE(GlobalRequest, ChangeRecord);
    QCOMPARE(form->nameEntry()->text(), QString("Work mail"));
    form->addressEntry()->setText("Boss@Example.ORG");
    form->altEntry(3)->setText("second@example.org");
    QVERIFY(form->save());
    settle();
    CatalogEntry e;
    QVERIFY(readCatalogEntry(existing, e));
    QCOMPARE(e.mailAddress, std::string("boss@example.org"));
    QCOMPARE(e.altAddresses, std::vector<std::string>{"second@example.org"});
    QCOMPARE(box->windowTitle(), QString(" Mail Databases [2]"));

    // Without the store's creation service there is nothing to insert with.
    frame.windows().TmDestroy("BrowseBox");
    settle();
    MailDatabaseForm::setCreator({});
    frame.runCommand(frame::CommandId::MailDatabaseSetup);
    box = qobject_cast<frame::BrowseBoxWindow*>(frame.windows().widgetOf("BrowseBox"));
    QVERIFY(!box->insertButton()->isEnabled());
    QVERIFY(!box->insertDatabase());
}

void DatabaseWindowsTest::mailDatabaseFormChecksItsEntries() {
    Installation inst;
    int calls = 0;
    MailDatabaseForm::setCreator([&calls](const std::string& name, const std::string& address,
                                          const std::vector<std::string>& alts) {
        ++calls;
        return createMailDatabaseForTest(name, address, alts);
    });
    MailDatabaseForm form(InsertRecord, 0, 1);
    QVERIFY(!form.save());
    QVERIFY(inst.ui.sawCaption(" Missing entry"));
    form.nameEntry()->setText("Mail");
    QVERIFY(!form.save());
    QCOMPARE(calls, 0);
    QCOMPARE(busyCounter(), 1);  // no task starts while the form is open
    form.addressEntry()->setText("a@b.c");
    QVERIFY(form.save());
    QCOMPARE(calls, 1);
    QVERIFY(form.databaseId() != 0);
    // A name in use: the creation refuses and the form stays.
    MailDatabaseForm again(InsertRecord, 0, 2);
    again.nameEntry()->setText("Mail");
    again.addressEntry()->setText("a@b.c");
    QVERIFY(!again.save());
    QCOMPARE(again.databaseId(), ULONG(0));
    again.reject();
    QCOMPARE(GlobalResponse, RequestCancelled);
}

void DatabaseWindowsTest::selectionListCaptionsOrdersAndChoice() {
    Installation inst;
    inst.addDatabase(TypeForum, "Windows Forum");
    inst.addDatabase(TypeForum, "Winapps Forum");
    const ULONG mail = inst.addDatabase(TypeMail, "Home mail");

    DatabaseSelectionDialog all(0, 0, "Win");
    QCOMPARE(all.windowTitle(), QString(" Database Selection [3]"));
    QCOMPARE(all.listTitle()->text(), QString("List of Forums"));
    QVERIFY(all.addButton()->isHidden());
    QCOMPARE(all.list()->currentEntry()->name, std::string("Winapps Forum"));
    QCOMPARE(headings(all.list()), QStringList({"Database name", "Directory", "Messages", "Counted", "Import"}));
    all.show();
    screenshot(&all, "database_selection");

    DatabaseSelectionDialog mails(1, TypeMail, "");
    QCOMPARE(mails.windowTitle(), QString(" Mail Database Selection "));
    QCOMPARE(mails.listTitle()->text(), QString("List of mail databases"));
    QCOMPARE(mails.list()->model()->rowCount(), 1);
    QTest::keyClick(mails.list(), Qt::Key_Return);
    QCOMPARE(mails.result(), int(QDialog::Accepted));
    QCOMPARE(mails.chosenId(), mail);
    QCOMPARE(mails.chosenType(), BYTE(TypeMail));

    DatabaseSelectionDialog forums(1, TypeForum, "Windows");
    QCOMPARE(forums.windowTitle(), QString(" Forum Database Selection "));
    QCOMPARE(forums.listTitle()->text(), QString("List of Forum databases"));
    QVERIFY(!forums.addButton()->isHidden());
    QCOMPARE(forums.addButton()->text(), QString("Add a new Forum"));
    QCOMPARE(forums.list()->model()->rowCount(), 2);
    forums.importMenu();
    QCOMPARE(menuTexts(forums.importMenu()), QStringList({"Allow import", "Disallow import"}));
    forums.setImport(false);
    QCOMPARE(rowTexts(forums.list(), forums.list()->currentRow())[4], QString("No"));
    forums.setNameAsker([](QWidget*, const QString&) { return QString("Wintools Forum"); });
    QVERIFY(forums.addForum());
    QCOMPARE(forums.list()->currentEntry()->name, std::string("Wintools Forum"));
    forums.orders()->setCurrentIndex(1);
    QCOMPARE(rowTexts(forums.list(), 2)[1], QString("F4"));
    forums.show();
    QTest::keyClick(&forums, Qt::Key_Escape);
    QCOMPARE(forums.result(), int(QDialog::Rejected));

    // A unique prefix is taken without a list.
    ForumLookup found = lookUpDatabase("home", 0, 0, false);
    QCOMPARE(int(found.outcome), int(ForumLookup::Chosen));
    QCOMPARE(found.id, mail);

    // A name typed in full is taken although "Windows Forum" begins with it
    // too. Should the list open after all, it is closed unchosen.
    const ULONG windows = inst.addDatabase(TypeForum, "Windows");
    QTimer closer;  // ends with this test, so it closes nothing of another
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    closer.start(2000);
    found = lookUpDatabase("windows", 0, 0, false);
    QCOMPARE(int(found.outcome), int(ForumLookup::Chosen));
    QCOMPARE(found.id, windows);
}

static RegisterTest<DatabaseWindowsTest> registeredDatabaseWindowsTest;

}  // namespace pm::test

#include "database_windows_test.moc"
