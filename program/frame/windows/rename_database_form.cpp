#include "frame/windows/rename_database_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "tables/catalog/catalog_edits.h"

namespace pm::frame {

RenameDatabaseForm::RenameDatabaseForm(ULONG id, const QString& currentName, QWidget* parent)
    : QDialog(parent), id_(id) {
    setWindowTitle(QStringLiteral(" Change database name"));
    setProperty("helpTopic", QStringLiteral("~Change_Active_Database"));
    name_ = new QLineEdit(currentName);
    name_->setMaxLength(100);
    name_->setMinimumWidth(320);
    save_ = new QPushButton(QStringLiteral("Save new name"));
    save_->setDefault(true);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Database name"), name_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] { saveNewName(); });
}

bool RenameDatabaseForm::saveNewName() {
    if (!renameDatabase(id_, name_->text().toStdString())) {
        name_->setFocus();
        return false;
    }
    accept();
    return true;
}

}  // namespace pm::frame
