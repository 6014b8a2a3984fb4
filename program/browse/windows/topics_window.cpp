#include "browse/windows/topics_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browse/topics.h"
#include "browse/windows/browse_link.h"
#include "common/globals.h"
#include "common/user_interface.h"

namespace pm {

TopicsWindow::TopicsWindow(QWidget* parent) : QWidget(parent) {
    tables_ = std::make_unique<BrowseTables>(Mem.ForumType);
    setProperty("helpTopic", QStringLiteral("~Topics"));
    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("topics"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("Topic"), QStringLiteral("Messages")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_->installEventFilter(this);
    auto* insert = new QPushButton(QStringLiteral("&Insert"));
    change_ = new QPushButton(QStringLiteral("&Change"));
    delete_ = new QPushButton(QStringLiteral("&Delete"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    insert->setToolTip(QStringLiteral("Add a new topic"));
    change_->setToolTip(QStringLiteral("Rename the selected topic"));
    delete_->setToolTip(QStringLiteral("Delete the selected topic and remove it from its messages"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {insert, change_, delete_}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(420, 380);

    connect(insert, &QPushButton::clicked, this, [this] { insertTopic(); });
    connect(change_, &QPushButton::clicked, this, [this] { changeTopic(); });
    connect(delete_, &QPushButton::clicked, this, [this] { deleteTopic(); });
    connect(close, &QPushButton::clicked, this, [this] { window()->close(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { changeTopic(); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
        change_->setEnabled(currentTopic() != 0);
        delete_->setEnabled(currentTopic() != 0);
    });
    connect(&BrowseLink::instance(), &BrowseLink::topicsChanged, this, [this] {
        if (!announcing_) reload();
    });
    // The keyboard works at once when the window opens.
    setFocusProxy(list_);
    // Counts that drifted from the attachments are repaired on opening.
    recountTopics();
    reload();
}

TopicsWindow::~TopicsWindow() {
    list_->clear();
    tables_.reset();
}

ULONG TopicsWindow::currentTopic() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? static_cast<ULONG>(item->data(0, Qt::UserRole).toULongLong()) : 0;
}

void TopicsWindow::selectTopic(ULONG id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->data(0, Qt::UserRole).toULongLong() == id)
            list_->setCurrentItem(list_->topLevelItem(i));
}

void TopicsWindow::reload() {
    const ULONG selected = currentTopic();
    list_->clear();
    const std::vector<Topic> topics = listTopics();
    for (const Topic& t : topics) {
        auto* item = new QTreeWidgetItem({QString::fromStdString(t.name), QString::number(t.count)});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(t.id));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        list_->addTopLevelItem(item);
    }
    topics_ = static_cast<long>(topics.size());
    selectTopic(selected);
    if (!list_->currentItem() && list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    change_->setEnabled(currentTopic() != 0);
    delete_->setEnabled(currentTopic() != 0);
    updateTitle();
}

void TopicsWindow::updateTitle() {
    setWindowTitle(QString::fromStdString(Mem.Description) + QStringLiteral(" Topics [%1]").arg(topics_));
}

void TopicsWindow::announce() {
    announcing_ = true;
    emit BrowseLink::instance().topicsChanged();
    announcing_ = false;
}

bool TopicsWindow::askName(const QString& title, QString& name) {
    if (asker_) return asker_(title, name);
    bool ok = false;
    const QString typed = QInputDialog::getText(this, title, QStringLiteral("Topic:"), QLineEdit::Normal, name, &ok);
    if (ok) name = typed;
    return ok;
}

void TopicsWindow::insertTopic() {
    QString name;
    if (!askName(QStringLiteral(" Add New Topic"), name)) return;
    const ULONG id = addTopic(name.toStdString());
    if (id == 0) return;
    reload();
    selectTopic(id);
    announce();
}

void TopicsWindow::changeTopic() {
    const ULONG id = currentTopic();
    if (id == 0) return;
    QString name = list_->currentItem()->text(0);
    if (!askName(QStringLiteral(" Update Topic"), name)) return;
    if (!renameTopic(id, name.toStdString())) return;
    reload();
    announce();
}

void TopicsWindow::deleteTopic() {
    const ULONG id = currentTopic();
    if (id == 0) return;
    const QTreeWidgetItem* item = list_->currentItem();
    const std::string text = "Delete the topic " + item->text(0).toStdString() + "?|It is removed from the " +
                             item->text(1).toStdString() + " messages that carry it.";
    if (message(" Confirm deletion of Topic", text, Icon::Question, ButtonYes | ButtonNo, ButtonNo) != ButtonYes)
        return;
    pm::deleteTopic(id);
    reload();
    announce();
}

bool TopicsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Insert: insertTopic(); return true;
            case Qt::Key_Delete: deleteTopic(); return true;
            case Qt::Key_Return:
            case Qt::Key_Enter: changeTopic(); return true;
            default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pm
