#include "browse/windows/attach_topics_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "browse/browse_context.h"
#include "browse/topics.h"
#include "browse/windows/browse_link.h"
#include "common/globals.h"
#include "common/user_interface.h"

namespace pm {

using frame::ToolbarButton;

namespace {

constexpr int kMarked = Qt::UserRole + 1;

ULONG browseMessage() { return Mem.ForumType == TypeMail ? readMailContext().XMAILID : readContext().XMSGID; }

}  // namespace

AttachTopicsWindow::AttachTopicsWindow(QWidget* parent) : QWidget(parent) {
    tables_ = std::make_unique<BrowseTables>(Mem.ForumType);
    setWindowTitle(QStringLiteral(" Attach Topics"));
    setProperty("helpTopic", QStringLiteral("~Attach_Topics"));
    attached_ = style()->standardIcon(QStyle::SP_DialogApplyButton);
    notAttached_ = style()->standardIcon(QStyle::SP_DialogCancelButton);
    caption_ = new QLabel;
    caption_->setObjectName(QStringLiteral("message"));
    view_ = new QTreeWidget;
    view_->setObjectName(QStringLiteral("topics"));
    view_->setHeaderHidden(true);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(caption_);
    layout->addWidget(view_);
    resize(300, 360);

    connect(view_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { toggle(item); });
    auto& link = BrowseLink::instance();
    connect(&link, Mem.ForumType == TypeMail ? &BrowseLink::mailContextPublished : &BrowseLink::contextPublished, this,
            [this] { followBrowse(); });
    connect(&link, &BrowseLink::topicsChanged, this, [this] {
        if (!announcing_) rebuild();
    });
    // The keyboard works at once when the window opens.
    setFocusProxy(view_);
    followBrowse();
}

AttachTopicsWindow::~AttachTopicsWindow() {
    view_->clear();
    tables_.reset();
}

void AttachTopicsWindow::followBrowse() {
    const ULONG number = browseMessage();
    if (followed_ && number == message_) return;
    followed_ = true;
    message_ = number;
    rebuild();
}

bool AttachTopicsWindow::marked(const QTreeWidgetItem* item) { return item && item->data(0, kMarked).toBool(); }

QTreeWidgetItem* AttachTopicsWindow::itemOf(ULONG id) const {
    for (int i = 0; i < view_->topLevelItemCount(); ++i)
        if (view_->topLevelItem(i)->data(0, Qt::UserRole).toULongLong() == id) return view_->topLevelItem(i);
    return nullptr;
}

void AttachTopicsWindow::rebuild() {
    const ULONG current = view_->currentItem() ? view_->currentItem()->data(0, Qt::UserRole).toULongLong() : 0;
    view_->clear();
    const QString kind = Mem.ForumType == TypeMail ? QStringLiteral("Mail") : QStringLiteral("Message");
    caption_->setText(message_ == 0 ? QStringLiteral("No message selected")
                                    : QStringLiteral("%1 %2 carries the marked topics").arg(kind).arg(message_));
    const std::vector<ULONG> carried = message_ == 0 ? std::vector<ULONG>{} : topicsOf(message_);
    for (const Topic& t : listTopics()) {
        const bool on = std::find(carried.begin(), carried.end(), t.id) != carried.end();
        auto* item = new QTreeWidgetItem({QString::fromStdString(t.name)});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(t.id));
        item->setData(0, kMarked, on);
        item->setIcon(0, on ? attached_ : notAttached_);
        view_->addTopLevelItem(item);
    }
    if (QTreeWidgetItem* again = itemOf(static_cast<ULONG>(current))) view_->setCurrentItem(again);
    else if (view_->topLevelItemCount() > 0) view_->setCurrentItem(view_->topLevelItem(0));
    view_->setEnabled(message_ != 0);
}

void AttachTopicsWindow::toggle(QTreeWidgetItem* item) {
    if (!item || message_ == 0) return;
    const ULONG topic = static_cast<ULONG>(item->data(0, Qt::UserRole).toULongLong());
    bool ok = false;
    const bool on = toggleTopic(topic, message_, ok);
    if (!ok) {
        rebuild();  // the topic may have gone
        return;
    }
    item->setData(0, kMarked, on);
    item->setIcon(0, on ? attached_ : notAttached_);
    announcing_ = true;
    emit BrowseLink::instance().topicsChanged();
    announcing_ = false;
}

bool AttachTopicsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        std::optional<ToolbarButton> button = pageButtonOfKey(key->key(), ctrl);
        switch (key->key()) {
            // Up and Down choose a line; with Ctrl they move the browse.
            case Qt::Key_Up:
                if (ctrl) button = ToolbarButton::PriorRecord;
                break;
            case Qt::Key_Down:
                if (ctrl) button = ToolbarButton::NextRecord;
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space: toggle(view_->currentItem()); return true;
            case Qt::Key_F5: rebuild(); return true;
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
