#include "maintenance/windows/person_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/text.h"
#include "maintenance/person_edits.h"
#include "tables/records/all_tables.h"

namespace pm {

namespace {

QString text(std::string_view s) { return QString::fromStdString(std::string(trim(s))); }

QLineEdit* readOnly(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    return e;
}

const char* formTitle(BYTE type) {
    switch (type) {
        case TypeMail: return " Update Mail Partner name";
        case TypeNewsgroup: return " Update Newsgroup Participant name";
        default: return " Update Forum Member name";
    }
}

}  // namespace

PersonNameForm::PersonNameForm(const PersonRecord& person, QWidget* parent) : QDialog(parent), kept_(person) {
    setWindowTitle(QString::fromLatin1(formTitle(Mem.ForumType)));
    setProperty("helpTopic", QStringLiteral("~Browse_Persons"));
    auto* form = new QFormLayout;
    full_ = readOnly(this);
    last_ = new QLineEdit(this);
    last_->setMaxLength(25);
    first_ = new QLineEdit(this);
    first_->setMaxLength(25);
    address_ = readOnly(this);
    sent_ = readOnly(this);
    received_ = readOnly(this);
    for (QLineEdit* e : {full_, last_, first_, address_, sent_, received_}) e->setMinimumWidth(320);
    form->addRow(tr("Full address - cannot be changed"), full_);
    form->addRow(tr("Lastname - can be changed"), last_);
    form->addRow(tr("Firstname - can be changed"), first_);
    form->addRow(tr("Address - cannot be changed"), address_);
    form->addRow(tr("Messages sent - cannot be changed"), sent_);
    form->addRow(tr("Messages received - cannot be changed"), received_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    save_ = new QPushButton(tr("Save changes"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, &PersonNameForm::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showValues(person);
}

void PersonNameForm::showValues(const PersonRecord& p) {
    full_->setText(text(p.PERSONSTRING.view()));
    last_->setText(text(p.LASTNAME.view()));
    first_->setText(text(p.FIRSTNAME.view()));
    address_->setText(text(p.ADDRESS.view()));
    sent_->setText(QString::number(p.FROMCOUNT));
    received_->setText(QString::number(p.TOCOUNT));
}

bool PersonNameForm::save() {
    const PersonEdit result = renamePerson(kept_, last_->text().toStdString(), first_->text().toStdString());
    if (result == PersonEdit::ChangedMeanwhile) {
        // The current values, to try again from.
        kept_ = PER;
        showValues(kept_);
        return false;
    }
    if (result != PersonEdit::Saved) return false;
    accept();
    return true;
}

AliasWindow::AliasWindow(const PersonRecord& person, QWidget* parent) : QDialog(parent), id_(person.PERSONID) {
    setWindowTitle(tr(" Current address for ") + QString::fromStdString(displayName(person)));
    setProperty("helpTopic", QStringLiteral("~Browse_Persons"));
    auto* layout = new QVBoxLayout(this);
    current_ = new QLabel(this);
    current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(current_);
    list_ = new QListWidget(this);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    swap_ = new QPushButton(tr("Swap highlighted address with the current one"), this);
    save_ = new QPushButton(tr("Save address change"), this);
    auto* close = new QPushButton(tr("Close"), this);
    buttons->addWidget(swap_);
    buttons->addWidget(save_);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(swap_, &QPushButton::clicked, this, &AliasWindow::swapHighlighted);
    connect(save_, &QPushButton::clicked, this, &AliasWindow::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this] { swap_->setEnabled(list_->currentItem()); });
    reload();
}

void AliasWindow::reload() {
    chosen_.clear();
    Person.clear();
    PER.PERSONID = id_;
    const bool found = Person.get(PER_PersonKey) == StorageStatus::Ok;
    current_->setText(found ? text(PER.PERSONSTRING.view()) : QString());
    list_->clear();
    for (const std::string& alias : aliasesOf(id_)) list_->addItem(QString::fromStdString(alias));
    swap_->setEnabled(false);
    save_->setEnabled(false);
}

void AliasWindow::swapHighlighted() {
    QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    chosen_ = item->text();
    const QString former = current_->text();
    current_->setText(chosen_);
    item->setText(former);
    save_->setEnabled(true);
}

bool AliasWindow::save() {
    if (chosen_.isEmpty()) return false;
    const bool saved = swapAlias(id_, chosen_.toStdString()) == PersonEdit::Saved;
    reload();
    return saved;
}

}  // namespace pm
