#include "tables/windows/new_path_window.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/user_interface.h"

namespace pm {

namespace {

struct NewPathTexts {
    const char* caption;
    const char* box;
    const char* prompt;
    const char* explanation;
};

const NewPathTexts kDatabaseTexts = {
    " Path to database files", " Top directory for database files ",
    "Directory under which to place database directory tree",
    "The previously saved path to your data files is no longer valid. Please enter the appropriate top directory "
    "below which your database files reside and press TAB to enable the OK button. "};

const NewPathTexts kWordIndexTexts = {
    " Path to word index files", " Top directory for word index files ",
    "Directory in which the word index files will be created",
    "The previously saved path to your word index files is no longer valid. Please enter the appropriate top "
    "directory below which your word index files reside and press TAB to enable the OK button."};

}  // namespace

bool NewPathWindow::pathExists(const QString& path) {
    const QFileInfo info(path.trimmed());
    return !path.trimmed().isEmpty() && info.isAbsolute() && info.isDir();
}

NewPathWindow::NewPathWindow(int kind, const std::string& storedPath, StorePath store, QWidget* parent)
    : QDialog(parent), store_(std::move(store)) {
    const NewPathTexts& t = kind == 2 ? kWordIndexTexts : kDatabaseTexts;
    setWindowTitle(t.caption);
    setProperty("helpTopic", QStringLiteral("~Path_to_files"));

    box_ = new QGroupBox(t.box);
    prompt_ = new QLabel(t.prompt);
    entry_ = new QLineEdit(QString::fromStdString(storedPath));
    entry_->setMaxLength(100);
    prompt_->setBuddy(entry_);
    browse_ = new QPushButton(tr("&Browse..."));
    browse_->setToolTip(tr("Choose the directory"));
    browse_->setAutoDefault(false);
    // Reached by Tab; a click must not first complete (and complain about)
    // the entry it is about to fill.
    browse_->setFocusPolicy(Qt::TabFocus);
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(entry_, 1);
    entryRow->addWidget(browse_);
    auto* boxLayout = new QVBoxLayout(box_);
    boxLayout->addWidget(prompt_);
    boxLayout->addLayout(entryRow);

    explanation_ = new QLabel(t.explanation);
    explanation_->setWordWrap(true);

    // The explanation speaks of the OK button: so does the button.
    save_ = new QPushButton(tr("OK"));
    save_->setToolTip(tr("Save changes"));
    save_->setEnabled(false);
    save_->setAutoDefault(true);
    exit_ = new QPushButton(tr("Exit Postmoor"));
    // Leaving the entry by a click on this button must not first complain
    // about the path; Tab still reaches it.
    exit_->setFocusPolicy(Qt::TabFocus);
    exit_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(exit_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box_);
    layout->addWidget(explanation_);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    connect(entry_, &QLineEdit::editingFinished, this, &NewPathWindow::entryCompleted);
    // A changed entry must be completed (TAB) again before it can be saved.
    connect(entry_, &QLineEdit::textEdited, this, [this] { save_->setEnabled(false); });
    connect(save_, &QPushButton::clicked, this, &NewPathWindow::saveChanges);
    connect(browse_, &QPushButton::clicked, this, &NewPathWindow::browseForDirectory);
    setTabOrder(entry_, browse_);
    setTabOrder(browse_, save_);
    setTabOrder(save_, exit_);
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
}

QString NewPathWindow::prompt() const { return prompt_->text(); }
QString NewPathWindow::explanation() const { return explanation_->text(); }
QString NewPathWindow::boxTitle() const { return box_->title(); }

void NewPathWindow::entryCompleted() {
    const QString path = entry_->text().trimmed();
    if (pathExists(path)) {
        save_->setEnabled(true);
        save_->setDefault(true);
        save_->setFocus();
        return;
    }
    save_->setEnabled(false);
    message(path.toStdString(), "This path does not exist!\r\nPlease enter a valid path\r\n", Icon::Exclamation);
}

void NewPathWindow::browseForDirectory() {
    // Start at the entry's directory, or the nearest one above it that exists.
    QString from = entry_->text().trimmed();
    while (!from.isEmpty() && !QFileInfo(from).isDir()) {
        const QString up = QFileInfo(from).path();
        if (up == from) break;
        from = up;
    }
    if (from.isEmpty() || !QFileInfo(from).isAbsolute() || !QFileInfo(from).isDir()) from = QDir::homePath();
    const QString chosen = choose_ ? choose_(from)
                                   : QFileDialog::getExistingDirectory(this, windowTitle().trimmed(), from);
    if (chosen.isEmpty()) return;
    entry_->setText(QDir::toNativeSeparators(chosen));
    entryCompleted();
}

void NewPathWindow::saveChanges() {
    const QString path = QDir::cleanPath(entry_->text().trimmed());
    if (!pathExists(path)) {
        save_->setEnabled(false);
        return;
    }
    if (store_ && store_(path.toStdString())) accept();
}

}  // namespace pm
