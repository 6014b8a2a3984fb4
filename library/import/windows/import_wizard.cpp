#include "import/windows/import_wizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <vector>

#include "common/windows/host_window.h"
#include "import/driver/format_table.h"
#include "import/driver/mailbox_topics.h"
#include "import/windows/file_selection_dialog.h"
#include "import/windows/outlook_folders_dialog.h"
#include "tables/config/settings.h"
#include "tables/windows/database_choice_field.h"
#include "tables/windows/instruction_pane.h"

namespace pm {

namespace {

// Settings the wizard starts from.
enum : int { ItemDefaultFileType = 12, ItemDefaultImportPath = 14, ItemDefaultMailbox = 19 };

// Instruction texts of the wizard's steps.
enum : int { TextWizard = 0, TextFormat = 1, TextKinds = 2, TextMethods = 3, TextSelectFiles = 4,
             TextSelectDirectory = 5, TextReimport = 6 };

QLabel* heading(const QString& text) {
    auto* label = new QLabel(text);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

bool isAutomation(int format) {
    const FormatEntry* f = formatByNumber(format);
    return f && f->source == SourceKind::Automation;
}

}  // namespace

ImportWizard::ImportWizard(JobLauncher launch, DefinitionSaver saveDefinition, QWidget* parent)
    : QWidget(parent), launch_(std::move(launch)), saveDefinitionTo_(std::move(saveDefinition)) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Import Wizard"));
    setProperty("helpTopic", QStringLiteral("~Import_Wizard"));

    pages_ = new QStackedWidget;
    pages_->addWidget(makeFormatPage());
    pages_->addWidget(makeKindsPage());
    pages_->addWidget(makeSourcePage());
    pages_->addWidget(makeOptionsPage());

    back_ = new QPushButton(QStringLiteral("&Back"));
    back_->setToolTip(QStringLiteral("Go back to previous step"));
    next_ = new QPushButton(QStringLiteral("&Next"));
    next_->setToolTip(QStringLiteral("Proceed to next step"));
    start_ = new QPushButton(QStringLiteral("&Start"));
    start_->setToolTip(QStringLiteral("Start the import"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    cancel_->setToolTip(QStringLiteral("Quit the ImportWizard"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {back_, next_, start_, cancel_}) buttons->addWidget(b);
    connect(back_, &QPushButton::clicked, this, [this] { showPage(page() - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page() + 1); });
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);
    resize(640, 500);

    // The defaults of the preferences.
    const LONG type = configValue(ItemDefaultFileType);
    if (!chooseFormat(type != 0 ? type : DefaultFormatNumber) && formats_->count() > 0) formats_->setCurrentRow(0);
    path_->setText(QString::fromStdString(configText(ItemDefaultImportPath)));
    mailbox_->setDatabase(static_cast<ULONG>(configValue(ItemDefaultMailbox)));
    loadTopics();
    showPage(FormatPage);
    setFocusProxy(formats_);
    setFocusPolicy(Qt::StrongFocus);
}

QWidget* ImportWizard::makeFormatPage() {
    formats_ = new QListWidget;
    for (const FormatEntry* f : pm::formatList()) {
        auto* item = new QListWidgetItem(QString::fromUtf8(f->name), formats_);
        item->setData(Qt::UserRole, f->number);
        if (!f->factory) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
    connect(formats_, &QListWidget::currentRowChanged, this, [this] { formatChanged(); });
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addWidget(heading(QStringLiteral("Type of message file to import from")));
    left->addWidget(formats_, 1);
    auto* pane = new QGroupBox(QStringLiteral(" Instructions for import"));
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->addWidget(instructionPane({TextWizard, TextFormat}));
    layout->addLayout(left, 2);
    layout->addWidget(pane, 3);
    return page;
}

QWidget* ImportWizard::makeKindsPage() {
    mail_ = new QCheckBox(QStringLiteral("Import &mail"));
    forum_ = new QCheckBox(QStringLiteral("Import &forum messages"));
    newsgroup_ = new QCheckBox(QStringLiteral("Import &newsgroup messages"));
    mailbox_ = new DatabaseChoiceField(1, TypeMail);
    target_ = new DatabaseChoiceField(1, TypeForum);
    targetLabel_ = new QLabel(QStringLiteral(" Forum message import to:"));
    auto* form = new QFormLayout;
    form->addRow(mail_);
    form->addRow(QStringLiteral("Mail database (mailbox):"), mailbox_);
    form->addRow(forum_);
    form->addRow(targetLabel_, target_);
    form->addRow(newsgroup_);
    for (QCheckBox* box : {mail_, forum_, newsgroup_})
        connect(box, &QCheckBox::toggled, this, [this] {
            mailbox_->setEnabled(mail_->isChecked());
            target_->setEnabled(forum_->isChecked() && forum_->isEnabled());
            updateButtons();
        });
    connect(mailbox_, &DatabaseChoiceField::chosen, this, [this] { loadTopics(); });
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(heading(QStringLiteral("Messages to import")));
    layout->addLayout(form);
    kindsPane_ = new QGroupBox(QStringLiteral(" Instructions for import"));
    auto* paneLayout = new QVBoxLayout(kindsPane_);
    paneLayout->addWidget(instructionPane({TextKinds}));
    layout->addWidget(kindsPane_, 1);
    return page;
}

QWidget* ImportWizard::makeSourcePage() {
    methodBox_ = new QGroupBox(QStringLiteral("Selection method"));
    methods_ = new QButtonGroup(this);
    auto* methodLayout = new QHBoxLayout(methodBox_);
    const std::pair<BYTE, const char*> choices[] = {
        {SelectDirectoryTree, "Directory &tree"}, {SelectDirectory, "&One directory"}, {SelectFiles, "Selected &files"}};
    for (const auto& [method, text] : choices) {
        auto* radio = new QRadioButton(QString::fromUtf8(text));
        methods_->addButton(radio, method);
        methodLayout->addWidget(radio);
    }
    methods_->button(SelectFiles)->setChecked(true);
    connect(methods_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) methodChanged();
    });

    pathPrompt_ = new QLabel;
    path_ = new QLineEdit;
    path_->setMaxLength(static_cast<int>(ImportPathWidth));
    select_ = new QPushButton(QStringLiteral("&Select..."));
    connect(select_, &QPushButton::clicked, this, &ImportWizard::openFileSelection);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(select_);
    masksPrompt_ = new QLabel;
    masks_ = new QLineEdit;
    masks_->setMaxLength(static_cast<int>(MasksWidth));
    masks_->setToolTip(QStringLiteral("Import file extensions"));
    files_ = new QListWidget;
    files_->setToolTip(QStringLiteral("Selected message file names"));
    connect(masks_, &QLineEdit::textChanged, this, [this] { updateButtons(); });
    connect(path_, &QLineEdit::textChanged, this, [this] { updateButtons(); });

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(heading(QStringLiteral("Message files to import")));
    layout->addWidget(methodBox_);
    layout->addWidget(pathPrompt_);
    layout->addLayout(pathRow);
    layout->addWidget(masksPrompt_);
    layout->addWidget(masks_);
    layout->addWidget(files_, 1);
    auto* pane = new QGroupBox(QStringLiteral(" Instructions for import"));
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->addWidget(instructionPane({TextMethods, TextSelectFiles, TextSelectDirectory}, 140));
    layout->addWidget(pane);
    return page;
}

QWidget* ImportWizard::makeOptionsPage() {
    filter_ = new QCheckBox(QStringLiteral("Only create the &databases, import no messages"));
    reimport_ = new QCheckBox(QStringLiteral("Allow &reimport of already imported messages"));
    topic_ = new QComboBox;
    topic_->setToolTip(QStringLiteral("The topic every imported mail is given"));
    saveDefinition_ = new QCheckBox(QStringLiteral("Save as import &definition (with an inactive task)"));
    saveDefinition_->setEnabled(static_cast<bool>(saveDefinitionTo_));
    auto* form = new QFormLayout;
    form->addRow(filter_);
    form->addRow(reimport_);
    form->addRow(QStringLiteral("Mail topic:"), topic_);
    form->addRow(saveDefinition_);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(heading(QStringLiteral("Import options")));
    layout->addLayout(form);
    auto* pane = new QGroupBox(QStringLiteral(" Instructions for import"));
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->addWidget(instructionPane({TextReimport}));
    layout->addWidget(pane, 1);
    return page;
}

int ImportWizard::page() const { return pages_->currentIndex(); }

void ImportWizard::showPage(int p) {
    if (p < 0 || p >= PageCount) return;
    pages_->setCurrentIndex(p);
    updateButtons();
}

bool ImportWizard::chooseFormat(int number) {
    for (int i = 0; i < formats_->count(); ++i) {
        if (formats_->item(i)->data(Qt::UserRole).toInt() != number) continue;
        formats_->setCurrentRow(i);
        return true;
    }
    return false;
}

int ImportWizard::format() const {
    const QListWidgetItem* item = formats_->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void ImportWizard::formatChanged() {
    const FormatEntry* f = formatByNumber(format());
    if (!f) return;
    masks_->setText(QString::fromUtf8(f->masks));
    const bool mail = (f->kinds & KindMail) != 0;
    const bool forum = (f->kinds & KindForum) != 0;
    const bool news = (f->kinds & KindNews) != 0;
    mail_->setEnabled(mail);
    forum_->setEnabled(forum);
    newsgroup_->setEnabled(news);
    // The kind a format is made for is checked; the mail of the capture
    // formats is asked for separately.
    mail_->setChecked(mail && !forum);
    forum_->setChecked(forum);
    newsgroup_->setChecked(news && !forum);
    mailbox_->setEnabled(mail_->isChecked());
    target_->setEnabled(forum);
    kindsPane_->setTitle(QStringLiteral(" Instructions for import from ") + QString::fromUtf8(f->name));
    // Outlook's folders are chosen by name, from one folder file.
    if (isAutomation(f->number)) {
        methods_->button(SelectFiles)->setChecked(true);
        methodBox_->setEnabled(false);
    } else {
        methodBox_->setEnabled(true);
    }
    methodChanged();
}

void ImportWizard::chooseMethod(BYTE method) {
    if (QAbstractButton* b = methods_->button(method)) b->setChecked(true);
    methodChanged();
}

BYTE ImportWizard::method() const { return static_cast<BYTE>(std::max(0, methods_->checkedId())); }

void ImportWizard::methodChanged() {
    const BYTE m = method();
    const bool outlook = isAutomation(format());
    if (outlook) {
        pathPrompt_->setText(QStringLiteral("Outlook folder file: "));
        masksPrompt_->setText(QStringLiteral("Outlook folders"));
        select_->setToolTip(QStringLiteral("Select Outlook folders"));
    } else if (m == SelectDirectoryTree) {
        pathPrompt_->setText(QStringLiteral("Top directory for import files: "));
        masksPrompt_->setText(QStringLiteral(" Import  file(s) with extensions:"));
        select_->setToolTip(QStringLiteral("Select top directory for import files"));
    } else if (m == SelectDirectory) {
        pathPrompt_->setText(QStringLiteral("Directory for import files: "));
        masksPrompt_->setText(QStringLiteral(" Import  file(s) with extensions:"));
        select_->setToolTip(QStringLiteral("Select import file(s) directory"));
    } else {
        pathPrompt_->setText(QStringLiteral("Directory for import files: "));
        masksPrompt_->setText(QStringLiteral(" Import  file(s):"));
        select_->setToolTip(QStringLiteral("Select import file(s)"));
    }
    masks_->setVisible(m != SelectFiles);
    files_->setVisible(m == SelectFiles);
    updateButtons();
}

void ImportWizard::setSource(const std::string& path, const std::string& masks, const std::vector<std::string>& files) {
    path_->setText(QString::fromStdString(path));
    if (method() != SelectFiles) masks_->setText(QString::fromStdString(masks));
    files_->clear();
    for (const std::string& f : files) files_->addItem(QString::fromStdString(f));
    updateButtons();
}

void ImportWizard::openFileSelection() {
    if (isAutomation(format())) {
        // The folder file first, then its folders.
        QString file = path_->text().trimmed();
        if (file.isEmpty() || !QFileInfo(file).isFile())
            file = QFileDialog::getOpenFileName(this, QStringLiteral("Outlook folders"), file,
                                                QStringLiteral("Outlook folder files (*.pst *.ost);;All files (*)"));
        if (file.isEmpty()) return;
        std::vector<std::string> chosen;
        for (int i = 0; i < files_->count(); ++i) chosen.push_back(files_->item(i)->text().toStdString());
        auto* dialog = new OutlookFoldersDialog(file.toStdString(), chosen, this);
        if (!dialog->listed()) {
            delete dialog;
            return;
        }
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::accepted, this, [this, dialog, file] {
            setSource(file.toStdString(), "", dialog->chosenFolders());
        });
        dialog->open();
        return;
    }
    std::vector<std::string> chosen;
    for (int i = 0; i < files_->count(); ++i) chosen.push_back(files_->item(i)->text().toStdString());
    auto* dialog = new FileSelectionDialog(method(), path_->text().trimmed().toStdString(),
                                           method() == SelectFiles ? "" : masks_->text().toStdString(), chosen, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { setSource(dialog->path(), dialog->masks(), dialog->files()); });
    dialog->open();
}

void ImportWizard::loadTopics() {
    topic_->clear();
    topic_->addItem(QStringLiteral("(no topic)"), 0U);
    for (const MailboxTopic& t : mailboxTopics(mailbox_->databaseId()))
        topic_->addItem(QString::fromStdString(t.name), t.id);
    topic_->setEnabled(topic_->count() > 1);
}

void ImportWizard::updateButtons() {
    back_->setEnabled(page() > 0);
    next_->setEnabled(page() < PageCount - 1);
    start_->setEnabled(format() != 0 && !path_->text().trimmed().isEmpty() &&
                       (mail_->isChecked() || forum_->isChecked() || newsgroup_->isChecked()));
}

}  // namespace pm
