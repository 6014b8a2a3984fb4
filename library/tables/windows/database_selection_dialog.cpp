#include "tables/windows/database_selection_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "tables/access/open_close.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/catalog/database_creation.h"
#include "tables/records/config_tables.h"

namespace pm {

namespace {

bool restricted(int mode) { return mode == 1; }

QString captionFor(int mode, BYTE type) {
    if (!restricted(mode)) return QString(" Database Selection [%1]").arg(catalogCount());
    return type == TypeMail ? QStringLiteral(" Mail Database Selection ") : QStringLiteral(" Forum Database Selection ");
}

QString titleFor(int mode, BYTE type) {
    if (!restricted(mode)) return QStringLiteral("List of Forums");
    return type == TypeMail ? QStringLiteral("List of mail databases") : QStringLiteral("List of Forum databases");
}

}  // namespace

DatabaseSelectionDialog::DatabaseSelectionDialog(int mode, BYTE type, const std::string& startName, QWidget* parent)
    : QDialog(parent), mode_(mode), type_(type), startName_(QString::fromStdString(startName)) {
    setWindowTitle(captionFor(mode, type));
    setProperty("helpTopic", QStringLiteral("~Database_Selection"));
    askName_ = [](QWidget* p, const QString& suggestion) {
        return QInputDialog::getText(p, QStringLiteral(" Add a new Forum"), QStringLiteral("Forum name"),
                                     QLineEdit::Normal, suggestion);
    };

    title_ = new QLabel(titleFor(mode, type));
    orders_ = new QTabBar;
    orders_->addTab(QStringLiteral("By Name"));
    orders_->addTab(QStringLiteral("By Directory"));
    model_ = new CatalogModel({CatalogColumn::Name, CatalogColumn::Directory, CatalogColumn::MessageCount,
                               CatalogColumn::CountValid, CatalogColumn::ImportAllowed},
                              this);
    list_ = new CatalogView(model_);
    list_->setToolTip(QStringLiteral("Right click to change import status"));
    list_->setColumnWidth(0, 260);
    list_->setColumnWidth(1, 70);
    list_->setColumnWidth(2, 80);
    list_->setColumnWidth(3, 70);
    add_ = new QPushButton(QStringLiteral("Add a new Forum"));
    // A new forum belongs only in a list of forums.
    add_->setVisible(restricted(mode) && type == TypeForum);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    add_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(orders_);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(620, 380);

    connect(list_, &CatalogView::chosen, this, &DatabaseSelectionDialog::choose);
    connect(orders_, &QTabBar::currentChanged, this, [this] { reload(); });
    connect(add_, &QPushButton::clicked, this, [this] { addForum(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = list_->indexAt(pos);
        if (!index.isValid()) return;
        list_->highlightRow(index.row());
        importMenu()->popup(list_->viewport()->mapToGlobal(pos));
    });

    model_->reload(CatalogOrder::ByName, restricted(mode) ? type : 0);
    list_->highlightRow(model_->locate(startName_));
    list_->setFocus();
}

void DatabaseSelectionDialog::reload() {
    const CatalogOrder order = orders_->currentIndex() == 1 ? CatalogOrder::ByDirectory : CatalogOrder::ByName;
    list_->reload(order, restricted(mode_) ? type_ : 0);
    if (!restricted(mode_)) setWindowTitle(captionFor(mode_, type_));
}

QMenu* DatabaseSelectionDialog::importMenu() {
    if (!menu_) {
        menu_ = new QMenu(this);
        menu_->addAction(QStringLiteral("Allow import"), this, [this] { setImport(true); });
        menu_->addAction(QStringLiteral("Disallow import"), this, [this] { setImport(false); });
    }
    return menu_;
}

void DatabaseSelectionDialog::setImport(bool allowed) {
    const CatalogEntry* e = list_->currentEntry();
    if (!e) return;
    bool changed = false;
    if (setImportAllowed(e->id, allowed, &changed) && changed) reload();
}

bool DatabaseSelectionDialog::addForum() {
    const QString name = askName_ ? askName_(this, startName_).trimmed() : QString();
    if (name.isEmpty()) return false;
    OP_CLOSE(OpenShared, {&Forums, &Control});
    const ULONG id = createDatabase(TypeForum, name.toStdString());
    OP_CLOSE(ReleaseTable, {&Forums, &Control});
    if (id == 0) return false;
    reload();
    list_->highlightDatabase(id);
    return true;
}

void DatabaseSelectionDialog::choose(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    chosen_ = model_->entry(row);
    accept();
}

ForumLookup lookUpDatabase(const std::string& typed, int mode, BYTE type, bool showList, QWidget* parent) {
    ForumLookup found = ForumLup(typed, mode, type, showList);
    if (found.outcome == ForumLookup::Chosen) return found;
    DatabaseSelectionDialog dialog(mode, type, found.listStart, parent);
    ForumLookup result;
    result.outcome = ForumLookup::ShowList;
    result.listStart = found.listStart;
    if (dialog.exec() == QDialog::Accepted) {
        result.outcome = ForumLookup::Chosen;
        result.id = dialog.chosenId();
        result.name = dialog.chosenName();
        result.type = dialog.chosenType();
    }
    return result;
}

}  // namespace pm
