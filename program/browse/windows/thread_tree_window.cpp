#include "browse/windows/thread_tree_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browse/windows/browse_link.h"
#include "browse/windows/child_place.h"
#include "browse/windows/browse_settings.h"
#include "common/globals.h"
#include "frame/frame_settings.h"

namespace pm {

using frame::ToolbarButton;

ThreadTreeWindow::ThreadTreeWindow(frame::FrameSettings& settings, QWidget* parent)
    : QWidget(parent),
      tree_(static_cast<int>(settings.value(ItemTreeLineFormat) != 0 ? settings.value(ItemTreeLineFormat)
                                                                     : StyleSenderNumber),
            static_cast<LONG>(browseDateFormat(settings))) {
    tables_ = std::make_unique<BrowseTables>(Mem.ForumType);
    setWindowTitle(QStringLiteral(" Thread Tree"));
    setProperty("helpTopic", QStringLiteral("~Thread_Tree"));
    view_ = new QTreeWidget;
    view_->setObjectName(QStringLiteral("tree"));
    view_->setHeaderHidden(true);
    view_->setRootIsDecorated(true);
    view_->setUniformRowHeights(true);
    view_->setExpandsOnDoubleClick(false);
    view_->installEventFilter(this);
    if (const std::optional<QFont> font = browseLook(settings).treeFont) view_->setFont(*font);
    onTop_ = settings.value(ItemTreeOnTop) != 0;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(320, 420);

    connect(view_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { activate(item); });
    // One click does not move the browse: the highlight goes back to its message.
    connect(view_, &QTreeWidget::currentItemChanged, this, [this] {
        if (!mirroring_) QMetaObject::invokeMethod(this, [this] { mirrorBrowse(); }, Qt::QueuedConnection);
    });
    connect(&BrowseLink::instance(), &BrowseLink::contextPublished, this, [this] { followBrowse(); });
    followBrowse();
}

void ThreadTreeWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        // After the frame has sized the new sub-window.
        QMetaObject::invokeMethod(this, [this] { placeBesideBrowse(); }, Qt::QueuedConnection);
    }
    // Floating on top is a property of the window the tree lives in.
    if (onTop_) {
        QWidget* window = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
        if (!(window->windowFlags() & Qt::WindowStaysOnTopHint)) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            window->show();
        }
    }
    QWidget::showEvent(event);
}

void ThreadTreeWindow::placeBesideBrowse() {
    placeChild(this, ChildSlotThreadTree);
    // A browse at its own place makes room: the two stand side by side.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub || !sub->mdiArea()) return;
    for (QMdiSubWindow* other : sub->mdiArea()->subWindowList()) {
        QWidget* browse = other->widget();
        if (browse && browse->inherits("pm::BrowseWindow") && childStandsAt(browse, ChildSlotMessageBrowse))
            placeChild(browse, ChildSlotBrowseBesideTree);
    }
}

void ThreadTreeWindow::closeEvent(QCloseEvent* event) {
    rememberChild(this, ChildSlotThreadTree);
    QWidget::closeEvent(event);
}

ThreadTreeWindow::~ThreadTreeWindow() {
    tree_.clear();
    tables_.reset();
}

void ThreadTreeWindow::followBrowse() {
    if (tree_.follow(readContext())) fill();
    mirrorBrowse();
}

void ThreadTreeWindow::fill() {
    mirroring_ = true;
    view_->clear();
    std::vector<QTreeWidgetItem*> parents;  // the last item of each level
    const QIcon file = style()->standardIcon(QStyle::SP_FileIcon);
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const ThreadTreeLine& line : tree_.lines()) {
        auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(line.text)});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(line.number));
        if (line.icon == 1) item->setIcon(0, file);
        else if (line.icon == 2) item->setIcon(0, folder);
        const auto level = static_cast<std::size_t>(std::max(0, line.level));
        if (level == 0 || parents.size() < level) view_->addTopLevelItem(item);
        else parents[level - 1]->addChild(item);
        parents.resize(level);
        parents.push_back(item);
    }
    view_->expandAll();
    mirroring_ = false;
}

QTreeWidgetItem* ThreadTreeWindow::itemOf(ULONG number) const {
    if (number == 0) return nullptr;
    for (QTreeWidgetItemIterator it(view_); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toULongLong() == number) return *it;
    return nullptr;
}

void ThreadTreeWindow::mirrorBrowse() {
    mirroring_ = true;
    QTreeWidgetItem* item = itemOf(readContext().XMSGID);
    view_->setCurrentItem(item);
    if (item) view_->scrollToItem(item);
    mirroring_ = false;
}

void ThreadTreeWindow::activate(QTreeWidgetItem* item) {
    if (!item) return;
    const ULONG number = static_cast<ULONG>(item->data(0, Qt::UserRole).toULongLong());
    if (number == 0) return;
    emit BrowseLink::instance().showMessageRequested(number);
}

bool ThreadTreeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        std::optional<ToolbarButton> button = pageButtonOfKey(key->key(), ctrl);
        switch (key->key()) {
            case Qt::Key_Up: button = ToolbarButton::PriorRecord; break;
            case Qt::Key_Down: button = ToolbarButton::NextRecord; break;
            case Qt::Key_Return:
            case Qt::Key_Enter: activate(view_->currentItem()); return true;
            default: break;
        }
        if (button) {
            emit BrowseLink::instance().buttonPressed(*button);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pm
