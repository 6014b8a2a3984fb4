#include "tables/windows/database_choice_field.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include "tables/catalog/catalog_list.h"
#include "tables/windows/database_selection_dialog.h"

namespace pm {

DatabaseChoiceField::DatabaseChoiceField(int mode, BYTE type, QWidget* parent)
    : QWidget(parent), mode_(mode), wantedType_(type) {
    entry_ = new QLineEdit;
    entry_->setMaxLength(100);
    button_ = new QToolButton;
    button_->setText(QStringLiteral("..."));
    button_->setToolTip(tr("Choose from the list of databases"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(entry_, 1);
    layout->addWidget(button_);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(entry_);  // focus given to the field lands in its entry
    connect(entry_, &QLineEdit::editingFinished, this, [this] {
        if (entry_->text() != name_) lookUp(false);
    });
    connect(button_, &QToolButton::clicked, this, [this] { lookUp(true); });
}

QString DatabaseChoiceField::databaseName() const { return name_; }

void DatabaseChoiceField::setDatabase(ULONG id) {
    CatalogEntry entry;
    if (id != 0 && readCatalogEntry(id, entry)) {
        id_ = id;
        type_ = entry.type;
        name_ = QString::fromStdString(entry.name);
    } else {
        id_ = 0;
        type_ = 0;
        name_.clear();
    }
    entry_->setText(name_);
}

void DatabaseChoiceField::lookUp(bool showList) {
    const std::string typed = entry_->text().trimmed().toStdString();
    if (typed.empty() && !showList) {
        setDatabase(0);
        emit chosen(0);
        return;
    }
    const ForumLookup found = lookUpDatabase(typed, mode_, wantedType_, showList, this);
    if (found.outcome != ForumLookup::Chosen) {
        entry_->setText(name_);  // cancelled: the previous choice stays
        return;
    }
    setDatabase(found.id);
    emit chosen(id_);
}

}  // namespace pm
