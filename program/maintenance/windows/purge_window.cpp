#include "maintenance/windows/purge_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/user_interface.h"

namespace pm {

namespace {

// The age a checked box takes when none was set.
constexpr int kDefaultWeeks = 999;

QString titleOf(PurgeWork work) {
    const bool purge = work == PurgeWork::Purge;
    if (quiet())
        return (purge ? QStringLiteral(" Scheduled Message Purging [") : QStringLiteral(" Scheduled Message Counting [")) +
               QString::fromStdString(Mem.Description) + "]";
    return purge ? QStringLiteral(" Message Purging ") : QStringLiteral(" Message Counting ");
}

QString introOf(PurgeWork work) {
    const QString description = QString::fromStdString(Mem.Description);
    return work == PurgeWork::Purge
               ? PurgeWindow::tr("Removes the messages, threads, sections and persons marked Delete from\n"
                                 "\"%1\" with their index entries, then recounts the messages.")
                     .arg(description)
               : PurgeWindow::tr("Recounts the messages of every person, thread and section of\n\"%1\".").arg(description);
}

}  // namespace

PurgeWindow::PurgeWindow(PurgeWork work, QWidget* parent)
    : RunWindow(titleOf(work), introOf(work),
                work == PurgeWork::Purge ? tr("Start the purging process") : tr("Start the counting process"), parent),
      work_(work) {
    auto* row = new QHBoxLayout;
    aged_ = new QCheckBox(tr("Purge aged threads, older than"), this);
    weeks_ = new QSpinBox(this);
    weeks_->setRange(0, 99999);
    weeks_->setSuffix(tr(" weeks"));
    weeks_->setEnabled(false);
    row->addWidget(aged_);
    row->addWidget(weeks_);
    row->addStretch();
    optionsLayout()->addLayout(row);
    // Mails have no threads; counting purges nothing.
    const bool offered = work == PurgeWork::Purge && Mem.ForumType != TypeMail;
    aged_->setVisible(offered);
    weeks_->setVisible(offered);
    connect(aged_, &QCheckBox::toggled, this, [this](bool on) {
        weeks_->setEnabled(on);
        if (on && weeks_->value() == 0) weeks_->setValue(kDefaultWeeks);
    });
}

RunWindow::Run PurgeWindow::makeRun() {
    PurgeOptions options;
    options.work = work_;
    if (!aged_->isHidden() && aged_->isChecked())
        options.agedWeeks = weeks_->value() > 0 ? weeks_->value() : kDefaultWeeks;
    auto job = std::make_unique<PurgeRun>(options);
    CounterLabels labels = job->counterLabels();
    return {std::move(job), std::move(labels)};
}

void PurgeWindow::lockOptions() {
    aged_->setEnabled(false);
    weeks_->setEnabled(false);
}

}  // namespace pm
