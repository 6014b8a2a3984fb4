#include "wordindex/windows/auto_index_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/user_interface.h"
#include "common/windows/job_progress_window.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/config/settings.h"
#include "tables/records/config_tables.h"
#include "tables/services/library_services.h"
#include "wordindex/index_fixup.h"
#include "wordindex/index_run.h"

namespace pm {

namespace {

QString titleFor(BYTE type) {
    const char* kind = type == TypeMail ? "Mail" : type == TypeNewsgroup ? "Newsgroup" : "Forum";
    return QStringLiteral(" Indexing of %1 database [%2]").arg(kind, QString::fromStdString(Mem.Description));
}

}  // namespace

AutoIndexWindow::AutoIndexWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(titleFor(Mem.ForumType));
    pages_ = new QStackedLayout(this);

    auto* start = new QWidget(this);
    auto* layout = new QVBoxLayout(start);
    heading_ = new QLabel(start);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    layout->addWidget(heading_);
    auto* box = new QGroupBox(tr("Recommended Action"), start);
    auto* boxLayout = new QVBoxLayout(box);
    advice_ = new QLabel(box);
    advice_->setWordWrap(true);
    boxLayout->addWidget(advice_);
    layout->addWidget(box);
    auto* buttons = new QHBoxLayout;
    full_ = new QPushButton(tr("&Full Index"), start);
    partial_ = new QPushButton(tr("&Partial Index"), start);
    recount_ = new QPushButton(tr("&Recount"), start);
    cancel_ = new QPushButton(tr("&Cancel"), start);
    for (QPushButton* b : {full_, partial_, recount_, cancel_}) buttons->addWidget(b);
    layout->addLayout(buttons);
    layout->addStretch();
    pages_->addWidget(start);
    resize(520, 200);

    connect(full_, &QPushButton::clicked, this, [this] { startRun(1); });
    connect(partial_, &QPushButton::clicked, this, [this] { startRun(2); });
    connect(recount_, &QPushButton::clicked, this, &AutoIndexWindow::recount);
    connect(cancel_, &QPushButton::clicked, this, &QWidget::close);
    check(true);
}

AutoIndexWindow::~AutoIndexWindow() = default;

const IndexRun* AutoIndexWindow::lastRun() const {
    const JobProgressWindow* w = progress_ ? progress_ : finishedProgress_.get();
    return w ? static_cast<const IndexRun*>(&w->job()) : nullptr;
}

bool AutoIndexWindow::readCatalog(ULONG& position, ULONG& count) {
    TableScope scope({&Forums});
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Mem.ForumNumber == 0 || Forums.get(FOR_ForumKey) != StorageStatus::Ok) return false;
    position = FOR.LASTMSGID;
    count = FOR.RECSLASTTIME;
    return true;
}

void AutoIndexWindow::check(bool quick) {
    ULONG position = 0, count = 0;
    readable_ = readCatalog(position, count);
    if (!readable_) {
        message("Disk Error",
                quick ? "Unable to read forum data!|Indexing not possible now."
                      : "Unable to read forum data!|Recount not possible now.",
                Icon::Hand);
    } else {
        WSIndexFixup(recommendation_, 4, position, count, quick, !quick);
    }
    showRecommendation();
}

QString AutoIndexWindow::recommendationText() const {
    if (!readable_) return tr("Unable to read forum data!");
    switch (recommendation_) {
        case PartialForNewMessages:
        case PartialForMarks: return QStringLiteral("Partial indexing recommended!");
        case FullNeeded: return QStringLiteral("Full indexing needed!");
        default: return QStringLiteral("No indexing needed!");
    }
}

void AutoIndexWindow::showRecommendation() {
    heading_->setText(recommendationText());
    QString detail;
    if (readable_) {
        switch (recommendation_) {
            case PartialForNewMessages: detail = tr("New messages have not been indexed yet."); break;
            case PartialForMarks: detail = tr("Words marked for deletion wait for the next run."); break;
            case FullNeeded: detail = tr("The database has no word index yet (or it must be built again)."); break;
            default: detail = tr("Every message is indexed."); break;
        }
    }
    advice_->setText(detail);
    const bool partialOk = recommendation_ == PartialForNewMessages || recommendation_ == PartialForMarks;
    full_->setEnabled(readable_);
    partial_->setEnabled(readable_ && partialOk);
    recount_->setEnabled(readable_);
    QPushButton* recommended = partialOk ? partial_ : full_;
    recommended->setDefault(true);
    setFocusProxy(recommended);  // Space starts what is recommended
}

void AutoIndexWindow::recount() { check(false); }

void AutoIndexWindow::startRun(int indexType) {
    if (progress_ || !readable_) return;
    IndexRunOptions options;
    options.indexType = indexType;
    options.batchSize = batchSize_ > 0 ? batchSize_ : (loadSpeedValues() ? SpeedVal(SpeedIndexing) : 4);
    auto run = std::make_unique<IndexRun>(Mem.ForumNumber, Mem.ForumType, options);
    finishedProgress_.reset();
    progress_ = new JobProgressWindow(std::move(run), this);
    progress_->setCloseWhenFinished(false);
    progress_->setCounterLabel("messages", tr("Messages indexed:"));
    progress_->setCounterLabel("of", tr("Messages to index:"));
    connect(progress_, &JobProgressWindow::finished, this, &AutoIndexWindow::onRunFinished);
    connect(progress_, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    setWindowTitle(progress_->windowTitle());
    pages_->addWidget(progress_);
    pages_->setCurrentWidget(progress_);
    postFrameEvent(EventDisableMessageCommands);
    progress_->start();
}

void AutoIndexWindow::onRunFinished(bool completed) {
    postFrameEvent(EventEnableMessageCommands);
    // The finished run stays readable (lastRun) until the next one starts.
    pages_->removeWidget(progress_);
    progress_->hide();
    progress_->setParent(nullptr);
    finishedProgress_.reset(progress_);
    progress_ = nullptr;
    setWindowTitle(titleFor(Mem.ForumType));
    pages_->setCurrentIndex(0);
    check(true);
    emit runFinished(completed);
    if (closeAfterRun_) close();
}

void AutoIndexWindow::closeEvent(QCloseEvent* event) {
    // A run under way is asked to stop; the window stays until it ended
    // (the stop flushes what was indexed).
    if (progress_) {
        progress_->requestCancel();
        if (progress_) {
            closeAfterRun_ = true;
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

}  // namespace pm
