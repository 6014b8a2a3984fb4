#include "import/windows/import_progress_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace pm {

namespace {

// The display is redrawn at most this often while slices run.
constexpr int kRefreshMilliseconds = 100;

QLabel* valueLabel(QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(90);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString trimmed(const std::string& text) {
    // Status texts may end in a line break; the label shows the line alone.
    return QString::fromStdString(text).trimmed();
}

}  // namespace

ImportProgressWindow::ImportProgressWindow(ImportRequest request, ImportOptions options, QWidget* parent)
    : QWidget(parent), run_(std::make_unique<ImportRun>(std::move(request), std::move(options))) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QString::fromStdString(run_->progress().title));

    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    QFont bold = status_->font();
    bold.setBold(true);
    status_->setFont(bold);
    layout->addWidget(status_);
    for (QLabel*& line : lines_) {
        line = new QLabel(this);
        line->setTextFormat(Qt::PlainText);
        line->setMinimumWidth(420);
        layout->addWidget(line);
    }

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);

    auto* counters = new QFormLayout;
    counters->setLabelAlignment(Qt::AlignLeft);
    imported_ = valueLabel(this);
    skipped_ = valueLabel(this);
    workRecords_ = valueLabel(this);
    headerRecords_ = valueLabel(this);
    counters->addRow(tr("Messages imported:"), imported_);
    counters->addRow(tr("Messages skipped:"), skipped_);
    counters->addRow(tr("Messages converted:"), workRecords_);
    counters->addRow(tr("Messages in database:"), headerRecords_);
    layout->addLayout(counters);

    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    layout->addWidget(bar_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_ = new QPushButton(tr("Cancel"), this);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(cancel_, &QPushButton::clicked, this, &ImportProgressWindow::requestCancel);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ImportProgressWindow::tick);
    refresh();
}

ImportProgressWindow::~ImportProgressWindow() = default;

void ImportProgressWindow::start() {
    if (started_) return;
    started_ = true;
    sinceRefresh_.start();
    timer_.start();
}

bool ImportProgressWindow::running() const { return !run_->finished(); }

void ImportProgressWindow::tick() {
    const StepResult result = run_->step();
    if (result != StepResult::Running) {
        finish();
        return;
    }
    // A new state shows its status at once; counters follow at the refresh pace.
    if (run_->state() != shownState_ || sinceRefresh_.elapsed() >= kRefreshMilliseconds) {
        shownState_ = run_->state();
        refresh();
        sinceRefresh_.restart();
    }
}

void ImportProgressWindow::requestCancel() {
    if (run_->finished()) return;
    // The question (if any) runs its own event loop: no slice may run meanwhile.
    const bool wasActive = timer_.isActive();
    timer_.stop();
    const bool stopped = run_->cancel();
    if (stopped) finish();
    else if (wasActive) timer_.start();
}

void ImportProgressWindow::closeEvent(QCloseEvent* event) {
    if (!run_->finished()) {
        requestCancel();
        if (!run_->finished()) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void ImportProgressWindow::refresh() {
    const ImportProgress& p = run_->progress();
    const QLocale locale;
    setWindowTitle(QString::fromStdString(p.title));
    status_->setText(trimmed(p.status));
    for (std::size_t i = 0; i < 3; ++i) lines_[i]->setText(i < p.lines.size() ? trimmed(p.lines[i]) : QString());
    imported_->setText(locale.toString(p.imported));
    skipped_->setText(locale.toString(p.skipped));
    workRecords_->setText(locale.toString(p.workRecords));
    headerRecords_->setText(locale.toString(p.headerRecords));
    bar_->setValue(p.percent);
}

void ImportProgressWindow::finish() {
    timer_.stop();
    cancel_->setEnabled(false);
    refresh();
    if (finishedSent_) return;
    finishedSent_ = true;
    emit finished(run_->outcome() == ImportOutcome::Completed);
    if (closeWhenFinished_) close();
}

}  // namespace pm
