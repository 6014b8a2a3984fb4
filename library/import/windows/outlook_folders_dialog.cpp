#include "import/windows/outlook_folders_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/counts.h"
#include "common/text.h"
#include "common/user_interface.h"

namespace pm {

namespace {

enum Column { NameColumn = 0, ItemsColumn = 1 };

bool isChosen(const outlook::FolderChoice& folder, const std::vector<std::string>& chosen) {
    for (const std::string& c : chosen)
        if (equalsCaseless(c, folder.name) || equalsCaseless(c, folder.path)) return true;
    return false;
}

}  // namespace

OutlookFoldersDialog::OutlookFoldersDialog(const std::string& storePath, const std::vector<std::string>& chosen,
                                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Select Outlook folders"));
    setProperty("helpTopic", QStringLiteral("~Outlook_Folders"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QStringLiteral("Outlook folders"), this);
    layout->addWidget(caption);
    list_ = new QTreeWidget(this);
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Items")});
    list_->setRootIsDecorated(false);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(ItemsColumn, QHeaderView::ResizeToContents);
    layout->addWidget(list_);
    total_ = new QLabel(this);
    layout->addWidget(total_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(460, 320);

    std::string detail;
    switch (outlook::listMailFolders(storePath, folders_, detail)) {
        case outlook::FolderListing::NotInstalled:
            message("Outlook Is Not Installed", detail, Icon::Exclamation);
            return;
        case outlook::FolderListing::CannotRun:
            message("Outlook cannot be run", detail, Icon::Exclamation);
            return;
        case outlook::FolderListing::Listed: break;
    }
    listed_ = true;
    for (const outlook::FolderChoice& folder : folders_) {
        auto* row = new QTreeWidgetItem(list_);
        row->setText(NameColumn, QString::fromStdString(folder.name));
        row->setToolTip(NameColumn, QString::fromStdString(folder.path));
        row->setText(ItemsColumn, QString::number(folder.itemCount));
        row->setTextAlignment(ItemsColumn, Qt::AlignRight | Qt::AlignVCenter);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(NameColumn, isChosen(folder, chosen) ? Qt::Checked : Qt::Unchecked);
    }
    connect(list_, &QTreeWidget::itemChanged, this, [this] { updateTotal(); });
    updateTotal();
}

std::vector<std::string> OutlookFoldersDialog::chosenFolders() const {
    std::vector<std::string> paths;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->checkState(NameColumn) == Qt::Checked)
            paths.push_back(folders_.at(static_cast<std::size_t>(i)).path);
    return paths;
}

int OutlookFoldersDialog::chosenItems() const {
    int total = 0;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->checkState(NameColumn) == Qt::Checked)
            total += folders_.at(static_cast<std::size_t>(i)).itemCount;
    return total;
}

void OutlookFoldersDialog::updateTotal() {
    const int folders = static_cast<int>(chosenFolders().size());
    total_->setText(QStringLiteral("%1 of %2 chosen, %3")
                        .arg(folders)
                        .arg(QString::fromStdString(countOf(list_->topLevelItemCount(), "folder")))
                        .arg(QString::fromStdString(countOf(chosenItems(), "item"))));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(folders > 0);
}

}  // namespace pm
