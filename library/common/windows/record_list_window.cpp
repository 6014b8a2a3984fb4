#include "common/windows/record_list_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/windows/host_window.h"

namespace pm {

QString recordEditorTitle(LONG request, const QString& what) {
    if (request == InsertRecord) return QStringLiteral(" Add New ") + what;
    return (request == ChangeRecord ? QStringLiteral(" Update ") : QStringLiteral(" Delete ")) + what;
}

QString recordEditorAcceptText(LONG request, const QString& what) {
    if (request == InsertRecord) return QStringLiteral(" Accept new ") + what;
    return (request == ChangeRecord ? QStringLiteral(" Accept update of ") : QStringLiteral(" Confirm deletion of ")) + what;
}

QHBoxLayout* recordEditorButtons(QDialog* editor, const QString& acceptText, QPushButton*& accept,
                                 QPushButton*& cancel, const std::function<void()>& onAccept) {
    accept = new QPushButton(acceptText);
    cancel = new QPushButton(QStringLiteral("Cancel"));
    accept->setDefault(true);
    QObject::connect(accept, &QPushButton::clicked, editor, onAccept);
    QObject::connect(cancel, &QPushButton::clicked, editor, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(accept);
    buttons->addWidget(cancel);
    return buttons;
}

RecordListWindow::RecordListWindow(const QString& title, const QString& what, const QStringList& headers,
                                   QWidget* parent)
    : QWidget(parent), title_(title) {
    list_ = new QTreeWidget;
    list_->setHeaderLabels(headers);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    box_ = new QGroupBox;
    auto* boxLayout = new QVBoxLayout(box_);
    boxLayout->addWidget(list_);

    add_ = new QPushButton(QStringLiteral("&Add"));
    add_->setToolTip(QStringLiteral("Add a new ") + what);
    update_ = new QPushButton(QStringLiteral("&Update"));
    update_->setToolTip(QStringLiteral("Update highlighted ") + what);
    delete_ = new QPushButton(QStringLiteral("&Delete"));
    delete_->setToolTip(QStringLiteral("Delete highlighted ") + what);
    close_ = new QPushButton(QStringLiteral("&Close"));
    buttons_ = new QHBoxLayout;
    for (QPushButton* b : {add_, update_, delete_}) buttons_->addWidget(b);
    buttons_->addStretch();
    buttons_->addWidget(close_);
    connect(add_, &QPushButton::clicked, this, [this] { edit(InsertRecord); });
    connect(update_, &QPushButton::clicked, this, [this] { edit(ChangeRecord); });
    connect(delete_, &QPushButton::clicked, this, [this] { edit(DeleteRecord); });
    connect(close_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { edit(ChangeRecord); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box_, 1);
    layout->addLayout(buttons_);
    setFocusProxy(list_);
}

void RecordListWindow::refresh() {
    const ULONG keep = highlighted();
    list_->clear();
    fill();
    box_->setTitle(QStringLiteral("%1 [%2]").arg(title_).arg(list_->topLevelItemCount()));
    if (!highlight(keep) && list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    updateButtons();
}

void RecordListWindow::addRow(ULONG id, const QStringList& texts) {
    auto* item = new QTreeWidgetItem(list_, texts);
    item->setData(0, Qt::UserRole, static_cast<uint>(id));
}

ULONG RecordListWindow::highlighted() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? item->data(0, Qt::UserRole).toUInt() : 0;
}

bool RecordListWindow::highlight(ULONG id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->data(0, Qt::UserRole).toUInt() != id) continue;
        list_->setCurrentItem(list_->topLevelItem(i));
        return true;
    }
    return false;
}

void RecordListWindow::follow(QDialog* editor, std::function<ULONG()> savedId) {
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &QDialog::accepted, this, [this, savedId = std::move(savedId)] {
        refresh();
        highlight(savedId());
    });
    editor->open();
}

void RecordListWindow::updateButtons() {
    const bool any = highlighted() != 0;
    update_->setEnabled(any);
    delete_->setEnabled(any);
}

}  // namespace pm
