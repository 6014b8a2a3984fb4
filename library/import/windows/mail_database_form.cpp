#include "import/windows/mail_database_form.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/catalog/catalog_edits.h"
#include "tables/catalog/catalog_list.h"
#include "tables/menu_text.h"
#include "tables/services/library_services.h"

namespace pm {

namespace {

MailDatabaseCreator& creator() {
    static MailDatabaseCreator current;
    return current;
}

// The help pane text of the mail database setup.
constexpr int kMailSetupText = 9;

QString plainParagraphs(const std::string& text) {
    QString t = QString::fromStdString(text);
    t.replace("\r\n", "\n");
    return t;
}

}  // namespace

void MailDatabaseForm::setCreator(MailDatabaseCreator c) { creator() = std::move(c); }

bool MailDatabaseForm::canCreate() { return static_cast<bool>(creator()); }

MailDatabaseForm::MailDatabaseForm(LONG request, ULONG id, ULONG nextDirectory, QWidget* parent)
    : QDialog(parent), request_(request == ChangeRecord ? ChangeRecord : InsertRecord), id_(id) {
    raiseBusyCounter();
    GlobalResponse = 0;
    setWindowTitle(request_ == InsertRecord ? " Add a new Mail Database" : " Change Mail Database");
    setProperty("helpTopic", QStringLiteral("~Mail_Database"));

    name_ = new QLineEdit;
    name_->setMaxLength(100);
    address_ = new QLineEdit;
    address_->setMaxLength(60);
    directory_ = new QLabel(QString("Directory: F%1").arg(nextDirectory));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Database name"), name_);
    fields->addRow(QStringLiteral("Default mail address"), address_);
    fields->addRow(QString(), directory_);

    auto* altBox = new QGroupBox(QStringLiteral(" Alternative mail addresses "));
    auto* altGrid = new QGridLayout(altBox);
    for (int i = 0; i < AltAddressCount; ++i) {
        auto* entry = new QLineEdit;
        entry->setMaxLength(60);
        alts_[static_cast<std::size_t>(i)] = entry;
        altGrid->addWidget(new QLabel(QString("%1.").arg(i + 1)), i % 5, (i / 5) * 2);
        altGrid->addWidget(entry, i % 5, (i / 5) * 2 + 1);
    }

    auto* help = new QTextBrowser;
    help->setPlainText(plainParagraphs(GetMenuText(kMailSetupText)));
    help->setMinimumHeight(90);
    help->setFocusPolicy(Qt::NoFocus);

    save_ = new QPushButton(request_ == InsertRecord ? QStringLiteral("&Add Mail Database")
                                                     : QStringLiteral("&Save changes"));
    save_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(altBox);
    layout->addWidget(help, 1);
    layout->addLayout(buttons);
    resize(640, 520);

    connect(save_, &QPushButton::clicked, this, [this] { save(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (request_ == ChangeRecord) load();
    else save_->setEnabled(canCreate());
}

MailDatabaseForm::~MailDatabaseForm() { lowerBusyCounter(); }

void MailDatabaseForm::load() {
    CatalogEntry e;
    if (!readCatalogEntry(id_, e)) {
        save_->setEnabled(false);
        return;
    }
    name_->setText(QString::fromStdString(e.name));
    address_->setText(QString::fromStdString(e.mailAddress));
    directory_->setText(QString("Directory: %1").arg(QString::fromStdString(e.directoryName())));
    for (std::size_t i = 0; i < e.altAddresses.size() && i < alts_.size(); ++i)
        alts_[i]->setText(QString::fromStdString(e.altAddresses[i]));
}

std::vector<std::string> MailDatabaseForm::altAddresses() const {
    std::vector<std::string> out;
    for (QLineEdit* e : alts_)
        if (!e->text().trimmed().isEmpty()) out.push_back(e->text().trimmed().toStdString());
    return out;
}

bool MailDatabaseForm::save() {
    const std::string name = name_->text().trimmed().toStdString();
    const std::string address = address_->text().trimmed().toStdString();
    if (name.empty()) {
        message(" Missing entry", "Please enter the name of the mail database.", Icon::Exclamation);
        name_->setFocus();
        return false;
    }
    if (address.empty()) {
        message(" Missing entry", "Please enter your default mail address.", Icon::Exclamation);
        address_->setFocus();
        return false;
    }
    if (request_ == InsertRecord) {
        if (!creator()) return false;
        const ULONG id = creator()(name, address, altAddresses());
        if (id == 0) return false;
        id_ = id;
    } else if (!updateMailDatabase(id_, name, address, altAddresses())) {
        return false;
    }
    GlobalResponse = RequestCompleted;
    accept();
    return true;
}

void MailDatabaseForm::reject() {
    GlobalResponse = RequestCancelled;
    QDialog::reject();
}

}  // namespace pm
