#pragma once
// The window manager: every open child window of the frame is registered
// under its name (one window per name) and a group, so that a second
// request brings the open one to the front, windows find each other by
// name, and whole groups are closed before work that must not run beside
// them.
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <map>

class QMdiArea;

namespace pm::frame {

// The window groups.
inline const QString FindGroup = QStringLiteral("FindGroup");
inline const QString ImportGroup = QStringLiteral("ImportGroup");
inline const QString NotToolsGroup = QStringLiteral("NotToolsGroup");

// A sub-window that tells when it has really closed (its widget may refuse).
class FrameSubWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    using QMdiSubWindow::QMdiSubWindow;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

class WindowManager : public QObject {
    Q_OBJECT
public:
    explicit WindowManager(QMdiArea* area, QObject* parent = nullptr);

    // Registers `widget` as window `name` of `group` ("" for none) and
    // shows it as a sub-window, on top. When `name` is open already, that
    // window comes to the front instead and `widget` is deleted. Returns
    // the sub-window of `name`.
    QMdiSubWindow* TmCreate(const QString& name, const QString& group, QWidget* widget);

    // The sub-window of `name`; nullptr when it is not open.
    QMdiSubWindow* TmGetId(const QString& name) const;

    // The names of the open windows of `group`, in name order.
    QStringList TmQuery(const QString& group) const;

    // Closes `name`. True when it is closed (or was not open); false when
    // the window refused to close.
    bool TmDestroy(const QString& name);

    // Closes every window of `group`; true when none remains open.
    bool TmDestroyGroup(const QString& group);

    // Closes every registered window; true when none remains open.
    bool closeAll();

    // Brings `name` to the front; false when it is not open.
    bool bringToFront(const QString& name);

    // Posts `event` to the widget of window `name` (the manager takes it);
    // false (and the event deleted) when the window is not open.
    bool post(const QString& name, QEvent* event);

    // The name of the active window ("" when none is active or it is not registered).
    QString activeName() const;
    // The widget of `name`; nullptr when it is not open.
    QWidget* widgetOf(const QString& name) const;
    // Every open window's name.
    QStringList openNames() const;

signals:
    void windowOpened(const QString& name);
    // After `name` closed; `geometry` is where it was, `maximized` whether it was.
    void windowClosed(const QString& name, const QRect& geometry, bool maximized);

private:
    struct Entry {
        QPointer<FrameSubWindow> window;
        QString group;
    };
    void forget(const QString& name);

    QMdiArea* area_;
    std::map<QString, Entry> entries_;
};

}  // namespace pm::frame
