#include "common/windows/job_progress_window.h"

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

QString trimmed(const std::string& text) {
    // Status texts may end in a line break; the label shows the line alone.
    return QString::fromStdString(text).trimmed();
}

}  // namespace

JobProgressWindow::JobProgressWindow(std::unique_ptr<Job> job, QWidget* parent)
    : QWidget(parent), job_(std::move(job)) {
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    QFont bold = status_->font();
    bold.setBold(true);
    status_->setFont(bold);
    layout->addWidget(status_);
    detailLayout_ = new QVBoxLayout;
    layout->addLayout(detailLayout_);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);

    counters_ = new QFormLayout;
    counters_->setLabelAlignment(Qt::AlignLeft);
    layout->addLayout(counters_);

    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    layout->addWidget(bar_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_ = new QPushButton(tr("Cancel"), this);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(cancel_, &QPushButton::clicked, this, &JobProgressWindow::requestCancel);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &JobProgressWindow::tick);
    refresh();
}

JobProgressWindow::~JobProgressWindow() = default;

void JobProgressWindow::setCounterLabel(const std::string& name, const QString& label) {
    counterLabels_[name] = label;
    if (auto row = counterRows_.find(name); row != counterRows_.end()) row->second.first->setText(label);
}

void JobProgressWindow::setCancelText(const QString& text) { cancel_->setText(text); }

void JobProgressWindow::start() {
    if (started_) return;
    started_ = true;
    sinceRefresh_.start();
    timer_.start();
}

void JobProgressWindow::resume() {
    if (!started_ || job_->status() != JobStatus::Running) return;
    cancel_->setEnabled(true);
    timer_.start();
}

bool JobProgressWindow::running() const { return !job_->finished(); }

void JobProgressWindow::tick() {
    const JobStatus status = job_->step();
    if (status == JobStatus::Paused) {
        timer_.stop();
        refresh();
        emit paused();
        return;
    }
    if (status != JobStatus::Running) {
        finish();
        return;
    }
    if (sinceRefresh_.elapsed() >= refreshMilliseconds_) {
        refresh();
        sinceRefresh_.restart();
    }
}

void JobProgressWindow::requestCancel() {
    if (job_->finished()) return;
    // A question runs its own event loop: no slice may run meanwhile.
    const bool wasActive = timer_.isActive();
    timer_.stop();
    job_->requestStop(StopRequest::Ask);
    if (job_->finished()) finish();
    else if (wasActive || job_->status() == JobStatus::Running) timer_.start();  // go on, or wind down
}

bool JobProgressWindow::stopForClose() {
    if (running()) requestCancel();
    return !running();
}

void JobProgressWindow::closeEvent(QCloseEvent* event) {
    if (!stopForClose()) return event->ignore();
    QWidget::closeEvent(event);
}

QLabel* JobProgressWindow::counterValue(const std::string& name, const std::string& caption) {
    if (auto row = counterRows_.find(name); row != counterRows_.end()) return row->second.second;
    auto known = counterLabels_.find(name);
    auto* label = new QLabel(known != counterLabels_.end() ? known->second : QString::fromStdString(caption + ":"), this);
    auto* value = new QLabel(this);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setMinimumWidth(90);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    counters_->addRow(label, value);
    counterRows_[name] = {label, value};
    return value;
}

void JobProgressWindow::refresh() {
    const ProgressReport report = job_->report();
    const QLocale locale;
    setWindowTitle(QString::fromStdString(report.title));
    status_->setText(report.lines.empty() ? QString() : trimmed(report.lines.front()));
    const std::size_t details = report.lines.empty() ? 0 : report.lines.size() - 1;
    while (lines_.size() < details) {
        auto* line = new QLabel(this);
        line->setTextFormat(Qt::PlainText);
        line->setMinimumWidth(420);
        detailLayout_->addWidget(line);
        lines_.push_back(line);
    }
    // Lines that a report no longer has stay as empty rows: the window keeps its size.
    for (std::size_t i = 0; i < lines_.size(); ++i)
        lines_[i]->setText(i < details ? trimmed(report.lines[i + 1]) : QString());
    for (const auto& [name, value] : report.counters)
        counterValue(name, counterCaption(report, name))->setText(locale.toString(value));
    bar_->setRange(0, report.percent < 0 && job_->status() == JobStatus::Running ? 0 : 100);
    bar_->setValue(report.percent < 0 ? 0 : report.percent);
}

void JobProgressWindow::finish() {
    timer_.stop();
    cancel_->setEnabled(false);
    refresh();
    if (finishedSent_) return;
    finishedSent_ = true;
    emit finished(job_->status() == JobStatus::Done);
    if (closeWhenFinished_) close();
}

}  // namespace pm
