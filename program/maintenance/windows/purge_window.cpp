#include "maintenance/windows/purge_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/user_interface.h"
#include "common/windows/job_progress_window.h"
#include "frame/windows/child_window.h"

namespace pm {

namespace {

// The age a checked box takes when none was set.
constexpr int kDefaultWeeks = 999;

}  // namespace

PurgeWindow::PurgeWindow(PurgeWork work, QWidget* parent)
    : QWidget(parent), work_(work), unattended_(quiet()) {
    const bool purge = work == PurgeWork::Purge;
    const QString description = QString::fromStdString(Mem.Description);
    if (unattended_)
        setWindowTitle((purge ? QStringLiteral(" Scheduled Message Purging [") : QStringLiteral(" Scheduled Message Counting [")) +
                       description + "]");
    else
        setWindowTitle(purge ? QStringLiteral(" Message Purging ") : QStringLiteral(" Message Counting "));
    layout_ = new QVBoxLayout(this);
    intro_ = new QLabel(purge ? tr("Removes the messages, threads, sections and persons marked Delete from\n"
                                   "\"%1\" with their index entries, then recounts the messages.")
                                    .arg(description)
                              : tr("Recounts the messages of every person, thread and section of\n\"%1\".")
                                    .arg(description),
                        this);
    layout_->addWidget(intro_);
    auto* agedRow = new QHBoxLayout;
    aged_ = new QCheckBox(tr("Purge aged threads, older than"), this);
    weeks_ = new QSpinBox(this);
    weeks_->setRange(0, 99999);
    weeks_->setSuffix(tr(" weeks"));
    weeks_->setEnabled(false);
    agedRow->addWidget(aged_);
    agedRow->addWidget(weeks_);
    agedRow->addStretch();
    layout_->addLayout(agedRow);
    // Mails have no threads; counting purges nothing.
    const bool agedOffered = purge && Mem.ForumType != TypeMail;
    aged_->setVisible(agedOffered);
    weeks_->setVisible(agedOffered);
    connect(aged_, &QCheckBox::toggled, this, [this](bool on) {
        weeks_->setEnabled(on);
        if (on && weeks_->value() == 0) weeks_->setValue(kDefaultWeeks);
    });

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(purge ? tr("Start the purging process") : tr("Start the counting process"), this);
    end_ = new QPushButton(tr("End this session"), this);
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(end_);
    layout_->addStretch();
    layout_->addLayout(buttons);
    connect(start_, &QPushButton::clicked, this, &PurgeWindow::startRun);
    connect(end_, &QPushButton::clicked, this, [this] { frame::closeChildWindow(this); });
}

PurgeWindow::~PurgeWindow() = default;

void PurgeWindow::closeEvent(QCloseEvent* event) {
    if (progress_ && progress_->running()) {
        progress_->requestCancel();
        if (progress_->running()) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void PurgeWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (unattended_ && !progress_) QTimer::singleShot(0, this, &PurgeWindow::startRun);
}

void PurgeWindow::startRun() {
    if (progress_) return;
    PurgeOptions options;
    options.work = work_;
    if (aged_->isVisible() && aged_->isChecked()) options.agedWeeks = weeks_->value() > 0 ? weeks_->value() : kDefaultWeeks;
    auto job = std::make_unique<PurgeRun>(options);
    const auto labels = job->counterLabels();
    progress_ = new JobProgressWindow(std::move(job), this);
    for (const auto& [name, label] : labels) progress_->setCounterLabel(name, QString::fromStdString(label));
    progress_->setCloseWhenFinished(false);
    aged_->setEnabled(false);
    weeks_->setEnabled(false);
    start_->setEnabled(false);
    intro_->hide();
    layout_->insertWidget(1, progress_);
    connect(progress_, &JobProgressWindow::finished, this, [this](bool completed) {
        emit finished(completed);
        if (unattended_) frame::closeChildWindow(this);
    });
    progress_->start();
}

}  // namespace pm
