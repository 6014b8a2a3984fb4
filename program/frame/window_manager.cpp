#include "frame/window_manager.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>

namespace pm::frame {

void FrameSubWindow::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

WindowManager::WindowManager(QMdiArea* area, QObject* parent) : QObject(parent), area_(area) {}

QMdiSubWindow* WindowManager::TmCreate(const QString& name, const QString& group, QWidget* widget) {
    if (QMdiSubWindow* open = TmGetId(name)) {
        delete widget;
        bringToFront(name);
        return open;
    }
    auto* sub = new FrameSubWindow;
    sub->setWidget(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(widget->windowTitle());
    sub->setWindowIcon(widget->windowIcon());
    // The sub-window's caption follows the widget's.
    connect(widget, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    area_->addSubWindow(sub);
    entries_[name] = Entry{sub, group};
    connect(sub, &FrameSubWindow::closed, this, [this, name, sub] {
        const QRect geometry = sub->geometry();
        const bool maximized = sub->isMaximized();
        forget(name);
        emit windowClosed(name, geometry, maximized);
    });
    // A window deleted without closing (frame teardown) is forgotten too.
    connect(sub, &QObject::destroyed, this, [this, name, sub] {
        auto it = entries_.find(name);
        if (it != entries_.end() && (it->second.window.isNull() || it->second.window == sub)) entries_.erase(it);
    });
    sub->show();
    area_->setActiveSubWindow(sub);
    emit windowOpened(name);
    return sub;
}

void WindowManager::forget(const QString& name) { entries_.erase(name); }

QMdiSubWindow* WindowManager::TmGetId(const QString& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.window.data();
}

QStringList WindowManager::TmQuery(const QString& group) const {
    QStringList names;
    for (const auto& [name, entry] : entries_)
        if (entry.group == group && entry.window) names << name;
    return names;
}

bool WindowManager::TmDestroy(const QString& name) {
    QMdiSubWindow* sub = TmGetId(name);
    if (!sub) return true;
    return sub->close();
}

bool WindowManager::TmDestroyGroup(const QString& group) {
    bool all = true;
    for (const QString& name : TmQuery(group))
        if (!TmDestroy(name)) all = false;
    return all;
}

bool WindowManager::closeAll() {
    bool all = true;
    for (const QString& name : openNames())
        if (!TmDestroy(name)) all = false;
    return all;
}

bool WindowManager::bringToFront(const QString& name) {
    QMdiSubWindow* sub = TmGetId(name);
    if (!sub) return false;
    if (sub->isMinimized()) sub->showNormal();
    area_->setActiveSubWindow(sub);
    sub->raise();
    return true;
}

bool WindowManager::post(const QString& name, QEvent* event) {
    QWidget* w = widgetOf(name);
    if (!w) {
        delete event;
        return false;
    }
    QCoreApplication::postEvent(w, event);
    return true;
}

QString WindowManager::activeName() const {
    QMdiSubWindow* active = area_->activeSubWindow();
    for (const auto& [name, entry] : entries_)
        if (entry.window == active && active) return name;
    return {};
}

QWidget* WindowManager::widgetOf(const QString& name) const {
    QMdiSubWindow* sub = TmGetId(name);
    return sub ? sub->widget() : nullptr;
}

QStringList WindowManager::openNames() const {
    QStringList names;
    for (const auto& [name, entry] : entries_)
        if (entry.window) names << name;
    return names;
}

}  // namespace pm::frame
