#include "wordindex/windows/stop_list_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/globals.h"
#include "wordindex/word_list_edits.h"

namespace pm {

StopWordForm::StopWordForm(Kind kind, const QString& word, QWidget* parent) : QDialog(parent), kind_(kind) {
    const char* title = kind == Kind::Add ? " Add New Non Index Word"
                        : kind == Kind::Update ? " Update Non Index Word"
                                               : " Delete Non Index Word";
    const char* button = kind == Kind::Add ? " Accept New Non Index Word"
                         : kind == Kind::Update ? " Accept update of Non Index Word"
                                                : " Confirm deletion of Non Index Word";
    setWindowTitle(QString::fromLatin1(title));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    word_ = new QLineEdit(word, this);
    word_->setMaxLength(40);
    word_->setReadOnly(kind == Kind::Delete);
    form->addRow(QStringLiteral("Non Index Word"), word_);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    accept_ = new QPushButton(QString::fromLatin1(button), this);
    accept_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(accept_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

StopListWindow::StopListWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral(" Ignore List [%1]").arg(QString::fromStdString(Mem.Description)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Non Index Words"), this));
    auto* locateRow = new QHBoxLayout;
    locateRow->addWidget(new QLabel(QStringLiteral("Locate:"), this));
    locate_ = new QLineEdit(this);
    locateRow->addWidget(locate_);
    layout->addLayout(locateRow);
    list_ = new QListWidget(this);
    layout->addWidget(list_);
    auto* add = new QPushButton(QStringLiteral("Add a new non index word"), this);
    auto* update = new QPushButton(QStringLiteral("Update highlighted non index word"), this);
    auto* remove = new QPushButton(QStringLiteral("Delete highlighted non index word"), this);
    for (QPushButton* b : {add, update, remove}) layout->addWidget(b);
    connect(add, &QPushButton::clicked, this, &StopListWindow::addWord);
    connect(update, &QPushButton::clicked, this, &StopListWindow::updateWord);
    connect(remove, &QPushButton::clicked, this, &StopListWindow::deleteWord);
    connect(locate_, &QLineEdit::textChanged, this, [this](const QString& typed) {
        const QString key = typed.toUpper();
        for (int i = 0; i < list_->count(); ++i) {
            if (list_->item(i)->text() >= key) {
                list_->setCurrentRow(i);
                return;
            }
        }
    });
    reload();
    resize(360, 460);
}

void StopListWindow::reload(const QString& select) {
    list_->clear();
    for (const std::string& word : stopWords()) list_->addItem(QString::fromStdString(word));
    const QList<QListWidgetItem*> hit = list_->findItems(select, Qt::MatchExactly);
    if (!hit.isEmpty()) list_->setCurrentItem(hit.front());
    else if (list_->count() > 0) list_->setCurrentRow(0);
}

QString StopListWindow::highlighted() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text() : QString();
}

bool StopListWindow::runForm(StopWordForm& form) {
    return formChooser_ ? formChooser_(form) : form.exec() == QDialog::Accepted;
}

void StopListWindow::addWord() {
    StopWordForm form(StopWordForm::Kind::Add, {}, this);
    if (!runForm(form)) return;
    const QString word = form.wordField()->text();
    if (addStopWord(word.toStdString())) reload(QString::fromStdString(stopWordKey(word.toStdString())));
}

void StopListWindow::updateWord() {
    const QString old = highlighted();
    if (old.isEmpty()) return;
    StopWordForm form(StopWordForm::Kind::Update, old, this);
    if (!runForm(form)) return;
    const QString word = form.wordField()->text();
    if (updateStopWord(old.toStdString(), word.toStdString()))
        reload(QString::fromStdString(stopWordKey(word.toStdString())));
}

void StopListWindow::deleteWord() {
    const QString word = highlighted();
    if (word.isEmpty()) return;
    StopWordForm form(StopWordForm::Kind::Delete, word, this);
    if (!runForm(form)) return;
    if (deleteStopWord(word.toStdString())) reload();
}

}  // namespace pm
