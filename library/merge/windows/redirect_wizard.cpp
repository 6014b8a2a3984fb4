#include "merge/windows/redirect_wizard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/windows/host_window.h"
#include "common/windows/job_progress_window.h"
#include "merge/redirection_purge.h"
#include "merge/redirection_run.h"
#include "merge/redirection_settings.h"
#include "tables/catalog/catalog_list.h"
#include "tables/windows/instruction_pane.h"

namespace pm {

namespace {

ULONG idOf(const QListWidgetItem* item) { return item ? item->data(Qt::UserRole).toUInt() : 0; }

}  // namespace

RedirectWizard::RedirectWizard(JobLauncher launch, QWidget* parent) : QWidget(parent), launch_(std::move(launch)) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Import Redirection"));
    setProperty("helpTopic", QStringLiteral("~Import_Redirection"));

    // Page 1: newsgroups and targets.
    newsgroups_ = new QTableWidget(0, 2);
    newsgroups_->setHorizontalHeaderLabels({tr("Newsgroup database"), tr("Redirected to")});
    newsgroups_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    newsgroups_->verticalHeader()->hide();
    newsgroups_->setSelectionBehavior(QAbstractItemView::SelectRows);
    newsgroups_->setSelectionMode(QAbstractItemView::SingleSelection);
    newsgroups_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    targets_ = new QListWidget;
    redirectedTitle_ = new QLabel(QStringLiteral("Newsgroups redirected to "));
    redirected_ = new QListWidget;
    addTarget_ = new QPushButton(QStringLiteral("Add Target Newsgroup Database"));
    redirect_ = new QPushButton(tr("&Redirect"));
    redirect_->setToolTip(tr("Redirect the highlighted newsgroup to the highlighted target database"));
    remove_ = new QPushButton(tr("Re&move redirection"));
    remove_->setToolTip(tr("Import the highlighted newsgroup into its own database again"));

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(tr("Target databases")));
    right->addWidget(targets_, 1);
    right->addWidget(addTarget_);
    right->addWidget(redirectedTitle_);
    right->addWidget(redirected_, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(newsgroups_, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(redirect_);
    actions->addWidget(remove_);
    actions->addStretch();
    left->addLayout(actions);
    auto* settings = new QWidget;
    auto* settingsLayout = new QHBoxLayout(settings);
    settingsLayout->addLayout(left, 3);
    settingsLayout->addLayout(right, 2);

    // Page 2: the run.
    outcome_ = new QLabel;
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* startPage = new QWidget;
    auto* startLayout = new QVBoxLayout(startPage);
    startLayout->addWidget(instructionPane({45}, 160));
    startLayout->addWidget(outcome_);
    startLayout->addStretch();

    pages_ = new QStackedWidget;
    pages_->addWidget(instructionPane({43, 44}));
    pages_->addWidget(settings);
    pages_->addWidget(startPage);

    back_ = new QPushButton(tr("&Back"));
    back_->setToolTip(QStringLiteral("Go back to previous step"));
    next_ = new QPushButton(tr("&Next"));
    next_->setToolTip(QStringLiteral("Proceed to next step"));
    start_ = new QPushButton(tr("S&tart"));
    start_->setToolTip(QStringLiteral("Start the RedirectionWizard"));
    cancel_ = new QPushButton(tr("Cancel"));
    cancel_->setToolTip(QStringLiteral("Quit the RedirectionWizard"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {back_, next_, start_, cancel_}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);
    resize(720, 460);

    connect(back_, &QPushButton::clicked, this, [this] { showPage(page() - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page() + 1); });
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });
    connect(addTarget_, &QPushButton::clicked, this, [this] { addTarget(); });
    connect(redirect_, &QPushButton::clicked, this, [this] { redirectHighlighted(true); });
    connect(remove_, &QPushButton::clicked, this, [this] { redirectHighlighted(false); });
    connect(targets_, &QListWidget::currentRowChanged, this, [this] {
        showRedirectedTo();
        updateButtons();
    });
    connect(newsgroups_, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });

    // The state before the person's changes is what the run compares with.
    prepareRedirectionChanges();
    reload();
    showPage(IntroductionPage);
}

int RedirectWizard::page() const { return pages_->currentIndex(); }

void RedirectWizard::showPage(int page) {
    if (page < 0 || page >= PageCount) return;
    pages_->setCurrentIndex(page);
    updateButtons();
}

void RedirectWizard::updateButtons() {
    back_->setEnabled(!running_ && page() > IntroductionPage);
    next_->setEnabled(!running_ && page() < StartPage);
    start_->setEnabled(!running_ && page() == StartPage);
    cancel_->setEnabled(!running_);
    const bool newsgroup = newsgroups_->currentRow() >= 0;
    redirect_->setEnabled(newsgroup && targets_->currentItem() != nullptr);
    remove_->setEnabled(newsgroup);
}

void RedirectWizard::reload() {
    const ULONG keepNewsgroup =
        newsgroups_->currentRow() >= 0 ? newsgroups_->item(newsgroups_->currentRow(), 0)->data(Qt::UserRole).toUInt() : 0;
    const ULONG keepTarget = idOf(targets_->currentItem());
    const std::vector<CatalogEntry> catalog = readCatalog(CatalogOrder::ByName, TypeNewsgroup);
    auto nameOf = [&catalog](ULONG id) {
        for (const CatalogEntry& e : catalog)
            if (e.id == id) return QString::fromStdString(e.name);
        return QString();
    };
    newsgroups_->setRowCount(0);
    targets_->clear();
    for (const CatalogEntry& e : catalog) {
        const int row = newsgroups_->rowCount();
        newsgroups_->insertRow(row);
        auto* name = new QTableWidgetItem(QString::fromStdString(e.name));
        name->setData(Qt::UserRole, static_cast<uint>(e.id));
        newsgroups_->setItem(row, 0, name);
        newsgroups_->setItem(row, 1, new QTableWidgetItem(nameOf(e.redirectNow)));
        if (e.id == keepNewsgroup) newsgroups_->setCurrentCell(row, 0);
        if (e.targetNewsgroup != 0) {
            auto* item = new QListWidgetItem(QString::fromStdString(e.name), targets_);
            item->setData(Qt::UserRole, static_cast<uint>(e.id));
            if (e.id == keepTarget) targets_->setCurrentItem(item);
        }
    }
    showRedirectedTo();
    updateButtons();
}

void RedirectWizard::showRedirectedTo() {
    redirected_->clear();
    const QListWidgetItem* target = targets_->currentItem();
    redirectedTitle_->setText(QStringLiteral("Newsgroups redirected to ") + (target ? target->text() : QString()));
    if (!target) return;
    for (int row = 0; row < newsgroups_->rowCount(); ++row)
        if (newsgroups_->item(row, 1)->text() == target->text()) redirected_->addItem(newsgroups_->item(row, 0)->text());
}

bool RedirectWizard::addTarget() {
    const QString name = askName_ ? askName_(this)
                                  : QInputDialog::getText(this, QStringLiteral("Add Target Newsgroup Database"),
                                                          tr("Name of the new target database:"));
    if (name.trimmed().isEmpty()) return false;
    const ULONG id = createTargetNewsgroupDatabase(name.trimmed().toStdString());
    if (id == 0) return false;
    reload();
    for (int i = 0; i < targets_->count(); ++i)
        if (idOf(targets_->item(i)) == id) targets_->setCurrentRow(i);
    return true;
}

bool RedirectWizard::redirectHighlighted(bool toTarget) {
    const int row = newsgroups_->currentRow();
    if (row < 0) return false;
    const ULONG newsgroup = newsgroups_->item(row, 0)->data(Qt::UserRole).toUInt();
    const ULONG target = toTarget ? idOf(targets_->currentItem()) : 0;
    if (toTarget && target == 0) return false;
    const bool stored = setRedirection(newsgroup, target);
    reload();
    return stored;
}

bool RedirectWizard::start() {
    JobProgressWindow* progress = launch_ ? launch_(QString::fromLatin1(RunWindowName), std::make_unique<RedirectionRun>())
                                          : nullptr;
    if (!progress) return false;
    running_ = true;
    outcome_->clear();
    updateButtons();
    connect(progress, &JobProgressWindow::finished, this, [this, progress](bool completed) {
        const auto& run = static_cast<const RedirectionRun&>(progress->job());
        outcome_->setText(tr("Messages moved: %1   already there: %2").arg(run.moved()).arg(run.skipped()));
        if (completed) {
            purge(run.jobs());
            return;
        }
        running_ = false;
        updateButtons();
        emit redirectionFinished(false);
    });
    return true;
}

void RedirectWizard::purge(std::vector<RedirectionJob> jobs) {
    JobProgressWindow* progress =
        launch_(QString::fromLatin1(PurgeWindowName), std::make_unique<RedirectionPurge>(std::move(jobs)));
    if (!progress) {
        running_ = false;
        updateButtons();
        emit redirectionFinished(false);
        return;
    }
    connect(progress, &JobProgressWindow::finished, this, [this, progress](bool completed) {
        const PurgeSummary& s = static_cast<const RedirectionPurge&>(progress->job()).summary();
        outcome_->setText(outcome_->text() +
                          tr("\nMessages before purging: %1   Deleted during this session: %2   Messages after "
                             "purging: %3")
                              .arg(s.before)
                              .arg(s.deleted)
                              .arg(s.after));
        running_ = false;
        reload();
        emit redirectionFinished(completed);
    });
}

}  // namespace pm
