// The window manager: one window per name, groups, refusals.
#include <QCloseEvent>
#include <QMdiArea>
#include <QSignalSpy>
#include <QtTest>

#include "frame/window_manager.h"
#include "frame_test_support.h"

namespace pm::test {

namespace {

// A window that may refuse to close and counts the events it gets.
class Probe : public QWidget {
public:
    bool refuse = false;
    int events = 0;

protected:
    void closeEvent(QCloseEvent* e) override {
        if (refuse) e->ignore();
        else e->accept();
    }
    void customEvent(QEvent*) override { ++events; }
};

}  // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT
private slots:
    void secondRequestBringsTheFirstToTheFront();
    void groupsAreQueriedAndClosedTogether();
    void aRefusingWindowStaysRegistered();
    void eventsReachWindowsByName();
};

void WindowManagerTest::secondRequestBringsTheFirstToTheFront() {
    QMdiArea area;
    area.resize(600, 400);
    area.show();
    frame::WindowManager wm(&area);
    QMdiSubWindow* first = wm.TmCreate("ChangeForum", "", new Probe);
    wm.TmCreate("About", "", new Probe);
    QCOMPARE(area.activeSubWindow(), wm.TmGetId("About"));
    QPointer<Probe> second = new Probe;
    QCOMPARE(wm.TmCreate("ChangeForum", "", second), first);
    QVERIFY(second.isNull());  // the new widget is not used
    QCOMPARE(area.subWindowList().size(), 2);
    QCOMPARE(area.activeSubWindow(), first);
    QCOMPARE(wm.activeName(), QString("ChangeForum"));
    QVERIFY(wm.TmGetId("Nothing") == nullptr);
}

void WindowManagerTest::groupsAreQueriedAndClosedTogether() {
    QMdiArea area;
    frame::WindowManager wm(&area);
    QSignalSpy closed(&wm, &frame::WindowManager::windowClosed);
    wm.TmCreate("BrowseMsgNmbr", frame::NotToolsGroup, new Probe);
    wm.TmCreate("ThreadTree", frame::NotToolsGroup, new Probe);
    wm.TmCreate("ImportIt", frame::ImportGroup, new Probe);
    QCOMPARE(wm.TmQuery(frame::NotToolsGroup), QStringList({"BrowseMsgNmbr", "ThreadTree"}));
    QVERIFY(wm.TmDestroyGroup(frame::NotToolsGroup));
    QVERIFY(wm.TmQuery(frame::NotToolsGroup).isEmpty());
    QCOMPARE(wm.openNames(), QStringList({"ImportIt"}));
    QCOMPARE(closed.count(), 2);
    QVERIFY(wm.TmDestroy("NotOpen"));
}

void WindowManagerTest::aRefusingWindowStaysRegistered() {
    QMdiArea area;
    frame::WindowManager wm(&area);
    auto* busy = new Probe;
    busy->refuse = true;
    wm.TmCreate("ImportIt", frame::ImportGroup, busy);
    wm.TmCreate("RebuildIt", frame::ImportGroup, new Probe);
    QVERIFY(!wm.TmDestroyGroup(frame::ImportGroup));
    QCOMPARE(wm.TmQuery(frame::ImportGroup), QStringList({"ImportIt"}));
    busy->refuse = false;
    QVERIFY(wm.closeAll());
    QVERIFY(wm.openNames().isEmpty());
}

void WindowManagerTest::eventsReachWindowsByName() {
    QMdiArea area;
    frame::WindowManager wm(&area);
    auto* probe = new Probe;
    wm.TmCreate("BrowseMsgNmbr", frame::NotToolsGroup, probe);
    QVERIFY(wm.post("BrowseMsgNmbr", new QEvent(QEvent::User)));
    QVERIFY(!wm.post("BrowseMail", new QEvent(QEvent::User)));
    QCoreApplication::processEvents();
    QCOMPARE(probe->events, 1);
}

static RegisterTest<WindowManagerTest> registeredWindowManagerTest;

}  // namespace pm::test

#include "window_manager_test.moc"
