#include "frame/windows/browse_box_window.h"

#include <QHBoxLayout>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/globals.h"
#include "frame/frame_settings.h"
#include "frame/windows/child_window.h"
#include "import/windows/mail_database_form.h"
#include "tables/access/open_close.h"
#include "tables/catalog/database_creation.h"
#include "tables/records/config_tables.h"

namespace pm::frame {

BrowseBoxWindow::BrowseBoxWindow(FrameSettings& settings, std::function<void(ULONG)> inserted, QWidget* parent)
    : QWidget(parent), settings_(settings), inserted_(std::move(inserted)) {
    model_ = new CatalogModel({CatalogColumn::Name, CatalogColumn::MailAddress, CatalogColumn::DirectoryNumber,
                               CatalogColumn::Owner, CatalogColumn::MessageCount},
                              this);
    list_ = new CatalogView(model_);
    list_->setColumnWidth(0, 220);
    list_->setColumnWidth(1, 220);
    list_->setColumnWidth(2, 70);
    list_->setColumnWidth(3, 80);
    ColumnWidths widths{};
    if (settings.columns(ColumnsBrowseBox, widths)) list_->applyColumnWidths(widths);

    insert_ = new QPushButton(QStringLiteral("&Insert"));
    change_ = new QPushButton(QStringLiteral("&Change"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    insert_->setToolTip(QStringLiteral("Set up a new mail database"));
    change_->setToolTip(QStringLiteral("Change the highlighted mail database"));
    insert_->setEnabled(MailDatabaseForm::canCreate());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert_);
    buttons->addWidget(change_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(720, 360);

    connect(insert_, &QPushButton::clicked, this, [this] { insertDatabase(); });
    connect(change_, &QPushButton::clicked, this, [this] { changeDatabase(); });
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    connect(list_, &CatalogView::chosen, this, [this] { changeDatabase(); });

    findNextDirectory();
    count_ = mailDatabaseCount();
    model_->reload(CatalogOrder::ByName, TypeMail);
    list_->highlightRow(0);
    change_->setEnabled(model_->rowCount() > 0);
    updateTitle();
    setFocusProxy(list_);
}

void BrowseBoxWindow::closeEvent(QCloseEvent* event) {
    settings_.storeColumns(ColumnsBrowseBox, list_->columnWidths(), model_->columnCount());
    QWidget::closeEvent(event);
}

void BrowseBoxWindow::findNextDirectory() {
    OP_CLOSE(OpenShared, {&Forums});
    nextDirectory_ = nextDirectoryNumber();
    OP_CLOSE(ReleaseTable, {&Forums});
}

void BrowseBoxWindow::updateTitle() { setWindowTitle(QString(" Mail Databases [%1]").arg(count_)); }

MailDatabaseForm* BrowseBoxWindow::insertDatabase() {
    if (!MailDatabaseForm::canCreate()) return nullptr;
    GlobalRequest = InsertRecord;
    auto* form = new MailDatabaseForm(InsertRecord, 0, nextDirectory_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    connect(form, &QDialog::accepted, this, [this, form] {
        const ULONG id = form->databaseId();
        ++count_;
        updateTitle();
        findNextDirectory();
        list_->reload(CatalogOrder::ByName, TypeMail);
        list_->highlightDatabase(id);
        change_->setEnabled(true);
        if (inserted_) inserted_(id);
    });
    form->open();
    return form;
}

MailDatabaseForm* BrowseBoxWindow::changeDatabase() {
    const CatalogEntry* e = list_->currentEntry();
    if (!e) return nullptr;
    GlobalRequest = ChangeRecord;
    auto* form = new MailDatabaseForm(ChangeRecord, e->id, nextDirectory_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    connect(form, &QDialog::accepted, this, [this] { list_->reload(CatalogOrder::ByName, TypeMail); });
    form->open();
    return form;
}

void BrowseBoxWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert) {
        insertDatabase();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        closeChildWindow(this);
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pm::frame
