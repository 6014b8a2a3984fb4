#include "wordindex/windows/index_setup_wizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>

#include "common/user_interface.h"
#include "common/word_definition.h"
#include "tables/config/settings.h"

namespace pm {

namespace {

constexpr int kFirstFlagColumn = 2;  // code, character, then Start, Inside, End
constexpr LONG kLowestPause = 1000;

QWizardPage* makePage(const QString& title, const QString& text) {
    auto* p = new QWizardPage;
    p->setTitle(title);
    auto* layout = new QVBoxLayout(p);
    auto* label = new QLabel(text, p);
    label->setWordWrap(true);
    layout->addWidget(label);
    return p;
}

QString characterOf(int code) {
    if (code < 32 || code == 127) return QStringLiteral("^%1").arg(QChar(code < 32 ? code + 64 : '?'));
    const char c = static_cast<char>(code);
    return QString::fromLatin1(&c, 1);  // shown as Latin-1, near enough to the stored Windows-1252 code
}

}  // namespace

IndexSetupWizard::IndexSetupWizard(QWidget* parent) : QWizard(parent) {
    setWindowTitle(QStringLiteral("Word Index SetUp Wizard"));
    const std::optional<IndexSettings> loaded = loadIndexSettings();
    if (!loaded) {
        message("Config Problem", "Unable to read configuration file.", Icon::Hand);
        return;
    }
    loaded_ = true;
    settings_ = *loaded;
    rows_ = rowsOf(currentWordDefinition());
    addPage(definitionPage());
    addPage(numbersPage());
    addPage(footersPage());
    addPage(stopWordsPage());
    addPage(pausePage());
    // Finished or cancelled, the wizard's frame window goes with it.
    connect(this, &QDialog::finished, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->close();
        else close();
    });
}

QWizardPage* IndexSetupWizard::definitionPage() {
    QWizardPage* p = makePage(QStringLiteral("Word Definition"),
                          QStringLiteral("Which characters may start a word, stand inside it and end it. Click a "
                                         "cell to change it; a character that can not stand inside a word can not "
                                         "end one either."));
    auto* layout = static_cast<QVBoxLayout*>(p->layout());
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Definition set:"), p));
    sets_ = new QComboBox(p);
    sets_->addItem(QString::fromLatin1(CurrentSelectionName));
    for (const std::string& name : wordDefinitionSetNames()) sets_->addItem(QString::fromStdString(name));
    row->addWidget(sets_, 1);
    layout->addLayout(row);
    grid_ = new QTableWidget(256, 5, p);
    grid_->setHorizontalHeaderLabels({QStringLiteral("Code"), QStringLiteral("Char"), QStringLiteral("Start"),
                                      QStringLiteral("Inside"), QStringLiteral("End")});
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    for (int code = 0; code < 256; ++code) {
        grid_->setItem(code, 0, new QTableWidgetItem(QString::number(code)));
        grid_->setItem(code, 1, new QTableWidgetItem(characterOf(code)));
        for (int c = 0; c < 3; ++c) grid_->setItem(code, kFirstFlagColumn + c, new QTableWidgetItem);
        showRow(code);
    }
    grid_->resizeColumnsToContents();
    layout->addWidget(grid_);
    auto* save = new QPushButton(QStringLiteral("Save Word Definition"), p);
    layout->addWidget(save);
    connect(grid_, &QTableWidget::cellClicked, this, [this](int code, int column) {
        if (column >= kFirstFlagColumn) toggleCell(code, column - kFirstFlagColumn);
    });
    connect(sets_, &QComboBox::currentTextChanged, this, &IndexSetupWizard::chooseSet);
    connect(save, &QPushButton::clicked, this, &IndexSetupWizard::saveWordDefinition);
    return p;
}

QWizardPage* IndexSetupWizard::numbersPage() {
    QWizardPage* p = makePage(QStringLiteral("Numbers"),
                          QStringLiteral("When numbers are not indexed, neither decimal nor hexadecimal numbers nor "
                                         "words beginning with a digit are indexed. Long numbers, dates and times "
                                         "from headers are never indexed."));
    numbers_ = new QCheckBox(QStringLiteral("Index numbers"), p);
    numbers_->setChecked(settings_.indexNumbers != 0);
    p->layout()->addWidget(numbers_);
    return p;
}

QWizardPage* IndexSetupWizard::footersPage() {
    QWizardPage* p = makePage(QStringLiteral("Headers and Footers"),
                          QStringLiteral("Mail headers are never indexed. The footer of a forum or newsgroup "
                                         "message (everything after its last empty line: tag lines, signatures) is "
                                         "left out unless chosen here."));
    forumFooters_ = new QCheckBox(QStringLiteral("Index footers of forum messages"), p);
    newsgroupFooters_ = new QCheckBox(QStringLiteral("Index footers of newsgroup messages"), p);
    forumFooters_->setChecked(settings_.forumFooters != 0);
    newsgroupFooters_->setChecked(settings_.newsgroupFooters != 0);
    p->layout()->addWidget(forumFooters_);
    p->layout()->addWidget(newsgroupFooters_);
    return p;
}

QWizardPage* IndexSetupWizard::stopWordsPage() {
    QWizardPage* p = makePage(QStringLiteral("Non Indexed Words"),
                          QStringLiteral("Once more than 10000 messages of a database are indexed, a word found in "
                                         "more than a quarter of them can become a non indexed word by itself."));
    forumStop_ = new QCheckBox(QStringLiteral("Automatic non index words in forum databases"), p);
    newsgroupStop_ = new QCheckBox(QStringLiteral("Automatic non index words in newsgroup databases"), p);
    mailStop_ = new QCheckBox(QStringLiteral("Automatic non index words in mail databases"), p);
    forumStop_->setChecked(settings_.forumAutoStop != 0);
    newsgroupStop_->setChecked(settings_.newsgroupAutoStop != 0);
    mailStop_->setChecked(settings_.mailAutoStop != 0);
    for (QCheckBox* b : {forumStop_, newsgroupStop_, mailStop_}) p->layout()->addWidget(b);
    return p;
}

QWizardPage* IndexSetupWizard::pausePage() {
    QWizardPage* p = makePage(QStringLiteral("Search Pause"),
                          QStringLiteral("How many indexed words a search scans before it asks whether to go on "
                                         "(at least 1000)."));
    pause_ = new QSpinBox(p);
    pause_->setRange(0, 100000000);
    pause_->setValue(settings_.searchPause);
    p->layout()->addWidget(pause_);
    return p;
}

QCheckBox* IndexSetupWizard::autoStopBox(BYTE databaseType) const {
    return databaseType == TypeMail ? mailStop_ : databaseType == TypeNewsgroup ? newsgroupStop_ : forumStop_;
}

void IndexSetupWizard::showRow(int code) {
    const WordDefinitionRow& r = rows_[static_cast<std::size_t>(code)];
    const BYTE values[] = {r.startWord, r.inWord, r.endWord};
    for (int c = 0; c < 3; ++c) {
        QTableWidgetItem* item = grid_->item(code, kFirstFlagColumn + c);
        const bool yes = values[c] == 0;
        item->setIcon(style()->standardIcon(yes ? QStyle::SP_DialogYesButton : QStyle::SP_DialogNoButton));
        item->setText(yes ? QStringLiteral("yes") : QStringLiteral("no"));
    }
}

void IndexSetupWizard::toggleCell(int code, int column) {
    if (code < 0 || code > 255 || column < 0 || column > 2) return;
    WordDefinitionRow& row = rows_[static_cast<std::size_t>(code)];
    row = toggleWordDefinitionCell(row, static_cast<WordDefinitionColumn>(column));
    showRow(code);
}

void IndexSetupWizard::chooseSet(const QString& name) {
    rows_ = wordDefinitionSet(name.toStdString());
    for (int code = 0; code < 256; ++code) showRow(code);
}

bool IndexSetupWizard::saveWordDefinition() {
    const WordDefinition current = currentWordDefinition();
    if (rows_ == rowsOf(current)) {
        message("No Changes", "Nothing has changed!|No save needed.", Icon::Information);
        return false;
    }
    const std::string name = sets_->currentText().toStdString();
    if (message("Save Word Definition",
                "This will save the set: |" + name + "|as your current word definition.|Is that what you want to do?",
                Icon::Question, ButtonYes | ButtonNo, ButtonNo) != ButtonYes)
        return false;
    if (anyDatabaseWordIndexed() &&
        message("Save and Reindex",
                "Are you SURE you want to save and REINDEX?|It may take hours!|Searching will not work until you "
                "reindex.",
                Icon::Exclamation, ButtonYes | ButtonNo, ButtonNo) != ButtonYes)
        return false;
    setCurrentWordDefinition(definitionOf(rows_, current));
    // Stored at once: the indexes deleted below are rebuilt with the new
    // definition, which must not fall back to the old one at the next start
    // when the wizard is cancelled.
    if (!WSVars(4)) {
        setCurrentWordDefinition(current);
        message("Not Saved", "Unable to save changes.", Icon::Hand);
        return false;
    }
    return deleteEveryWordIndex() >= 0;
}

bool IndexSetupWizard::storeSettings() {
    IndexSettings s = settings_;
    s.indexNumbers = numbers_->isChecked() ? 1 : 0;
    s.forumFooters = forumFooters_->isChecked() ? 1 : 0;
    s.newsgroupFooters = newsgroupFooters_->isChecked() ? 1 : 0;
    s.forumAutoStop = forumStop_->isChecked() ? 1 : 0;
    s.newsgroupAutoStop = newsgroupStop_->isChecked() ? 1 : 0;
    s.mailAutoStop = mailStop_->isChecked() ? 1 : 0;
    s.searchPause = std::max<LONG>(kLowestPause, pause_->value());
    pause_->setValue(s.searchPause);
    if (!saveIndexSettings(s)) {
        message("Not Saved", "Unable to save changes.", Icon::Hand);
        return false;
    }
    settings_ = s;
    return true;
}

void IndexSetupWizard::accept() {
    if (storeSettings()) QWizard::accept();
}

}  // namespace pm
