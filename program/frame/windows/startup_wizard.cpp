#include "frame/windows/startup_wizard.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "frame/frame_events.h"
#include "frame/frame_settings.h"
#include "frame/windows/child_window.h"
#include "tables/menu_text.h"
#include "tables/services/library_services.h"
#include "tables/windows/new_path_window.h"

namespace pm::frame {

namespace {

// Instruction texts of the wizard's panes.
enum : int { TextWelcome = 28, TextImportDefaults = 29, TextSearchEngines = 30, TextFirstImport = 31,
             TextMailAddresses = 41 };

QString paragraphs(const std::string& text) {
    QString t = QString::fromStdString(text);
    t.replace("\r\n", "\n");
    return t;
}

}  // namespace

StartUpWizard::StartUpWizard(FrameSettings& settings, const FileTypeSource& fileTypes,
                             std::function<void()> openMailSetup, QWidget* parent)
    : QWidget(parent), settings_(settings), openMailSetup_(std::move(openMailSetup)) {
    setWindowTitle(QStringLiteral(" StartUp Wizard"));

    // Import defaults.
    fileTypes_ = new QComboBox;
    const LONG current = settings.value(ItemDefaultFileType) != 0 ? settings.value(ItemDefaultFileType) : 17;
    if (fileTypes) {
        for (const FileTypeChoice& t : fileTypes()) {
            fileTypes_->addItem(QString::fromStdString(t.name), t.number);
            if (t.number == current) fileTypes_->setCurrentIndex(fileTypes_->count() - 1);
        }
    }
    fileTypes_->setEnabled(fileTypes_->count() > 0);
    importPath_ = new QLineEdit(QString::fromStdString(settings.text(ItemDefaultImportPath)));
    importPath_->setMaxLength(100);
    auto* select = new QPushButton(QStringLiteral("Select..."));
    select->setToolTip(QStringLiteral("Choose the directory of your message files"));
    connect(select, &QPushButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Default path to import files"),
                                                              importPath_->text());
        if (!dir.isEmpty()) importPath_->setText(dir);
    });
    auto* defaults = new QWidget;
    auto* defaultsLayout = new QVBoxLayout(defaults);
    defaultsLayout->setContentsMargins(0, 0, 0, 0);
    defaultsLayout->addWidget(fileTypes_);
    defaultsLayout->addWidget(new QLabel(QStringLiteral("Default path to import files")));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(importPath_);
    pathRow->addWidget(select);
    defaultsLayout->addLayout(pathRow);

    // Mail database.
    mailSetup_ = new QPushButton(QStringLiteral("&Mail Database Setup"));
    mailSetup_->setToolTip(QStringLiteral("Set up a Mail Database"));
    mailSetup_->setEnabled(static_cast<bool>(openMailSetup_));
    connect(mailSetup_, &QPushButton::clicked, this, [this] {
        if (openMailSetup_) openMailSetup_();
    });
    auto* mail = new QWidget;
    auto* mailLayout = new QHBoxLayout(mail);
    mailLayout->setContentsMargins(0, 0, 0, 0);
    mailLayout->addWidget(mailSetup_);
    mailLayout->addStretch();

    pages_ = new QStackedWidget;
    pages_->addWidget(makePage(" Welcome to the StartUpWizard!", nullptr, GetMenuText(TextWelcome), nullptr));
    pages_->addWidget(makePage(" Default import file type ", " Instructions for setting import defaults ",
                               GetMenuText(TextImportDefaults), defaults));
    pages_->addWidget(makePage(" Mail database name ", " Instructions for setting up your mail database ",
                               GetMenuText(TextMailAddresses), mail));
    pages_->addWidget(makePage(nullptr, " Instructions for starting your first import",
                               GetMenuText(TextSearchEngines) + "\r\n\r\n" + GetMenuText(TextFirstImport), nullptr));

    back_ = new QPushButton(QStringLiteral("&Back"));
    back_->setToolTip(QStringLiteral("Go back to previous step"));
    next_ = new QPushButton(QStringLiteral("&Next"));
    next_->setToolTip(QStringLiteral("Proceed to next step"));
    start_ = new QPushButton(QStringLiteral("S&tart"));
    start_->setToolTip(QStringLiteral("Start the ImportWizard"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    cancel_->setToolTip(QStringLiteral("Quit the StartUpWizard"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);
    resize(620, 460);

    connect(back_, &QPushButton::clicked, this, [this] { showPage(page() - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page() + 1); });
    connect(start_, &QPushButton::clicked, this, &StartUpWizard::start);
    connect(cancel_, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    updateButtons();
}

QWidget* StartUpWizard::makePage(const char* heading, const char* paneTitle, const std::string& text, QWidget* fields) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* head = new QLabel(heading ? heading : "");
    head->setObjectName(QStringLiteral("heading"));
    QFont f = head->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    head->setFont(f);
    head->setVisible(heading != nullptr);
    layout->addWidget(head);
    if (fields) layout->addWidget(fields);
    auto* pane = new QGroupBox(paneTitle ? paneTitle : "");
    pane->setObjectName(QStringLiteral("pane"));
    auto* paneLayout = new QVBoxLayout(pane);
    auto* browser = new QTextBrowser;
    browser->setObjectName(QStringLiteral("paneText"));
    browser->setPlainText(paragraphs(text));
    browser->setFocusPolicy(Qt::NoFocus);
    paneLayout->addWidget(browser);
    layout->addWidget(pane, 1);
    return page;
}

int StartUpWizard::page() const { return pages_->currentIndex(); }

void StartUpWizard::showPage(int p) {
    if (p < 0 || p >= PageCount) return;
    pages_->setCurrentIndex(p);
    updateButtons();
}

QString StartUpWizard::heading() const {
    auto* label = pages_->currentWidget()->findChild<QLabel*>(QStringLiteral("heading"));
    return label && label->isVisibleTo(pages_->currentWidget()) ? label->text() : QString();
}

QString StartUpWizard::paneTitle() const {
    return pages_->currentWidget()->findChild<QGroupBox*>(QStringLiteral("pane"))->title();
}

QString StartUpWizard::paneText() const {
    return pages_->currentWidget()->findChild<QTextBrowser*>(QStringLiteral("paneText"))->toPlainText();
}

void StartUpWizard::updateButtons() {
    back_->setEnabled(page() > 0);
    next_->setEnabled(page() < PageCount - 1);
}

void StartUpWizard::start() {
    if (fileTypes_->currentIndex() >= 0)
        settings_.setValue(ItemDefaultFileType, fileTypes_->currentData().toInt());
    const QString path = importPath_->text().trimmed();
    if (NewPathWindow::pathExists(path)) settings_.setText(ItemDefaultImportPath, path.toStdString());
    settings_.saveGeneral();
    pm::postFrameEvent(EventOpenImportWizard);
    closeChildWindow(this);
}

}  // namespace pm::frame
