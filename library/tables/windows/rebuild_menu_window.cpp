#include "tables/windows/rebuild_menu_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/windows/host_window.h"
#include "common/windows/job_progress_window.h"
#include "tables/windows/instruction_pane.h"
#include "tables/rebuild/rebuild_run.h"

namespace pm {

RebuildMenuWindow::RebuildMenuWindow(JobLauncher launch, QWidget* parent) : QWidget(parent), launch_(std::move(launch)) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Rebuild Utility"));
    setProperty("helpTopic", QStringLiteral("~Rebuild_Utility"));

    QWidget* text = instructionPane({10}, 110);
    outcome_ = new QLabel;
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outcome_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    results_ = new QListWidget;

    rebuild_ = new QPushButton(tr("&Rebuild"));
    rebuild_->setToolTip(QStringLiteral("Start the rebuild procedure"));
    nextId_ = new QPushButton(tr("&Next ID check"));
    nextId_->setToolTip(QStringLiteral("Check for highest ID and bump next ID generator"));
    close_ = new QPushButton(tr("&Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(rebuild_);
    buttons->addWidget(nextId_);
    buttons->addStretch();
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(results_, 1);
    layout->addWidget(outcome_);
    layout->addLayout(buttons);
    resize(560, 420);

    connect(rebuild_, &QPushButton::clicked, this, [this] { start(false); });
    connect(nextId_, &QPushButton::clicked, this, [this] { start(true); });
    connect(close_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });
}

void RebuildMenuWindow::setRunning(bool running) {
    rebuild_->setEnabled(!running);
    nextId_->setEnabled(!running);
    close_->setEnabled(!running);
}

void RebuildMenuWindow::start(bool nextIdOnly) {
    GlobalRequest = nextIdOnly ? NextIdCheckRequest : 0;
    results_->clear();
    outcome_->clear();
    JobProgressWindow* progress =
        launch_ ? launch_(QString::fromLatin1(ProgressWindowName), std::make_unique<RebuildRun>(nextIdOnly)) : nullptr;
    if (!progress) return;
    progress->setCancelText(tr("Abort"));
    setRunning(true);
    connect(progress, &JobProgressWindow::finished, this, [this, progress](bool completed) {
        showResults(static_cast<const RebuildRun&>(progress->job()), completed);
        setRunning(false);
        emit runFinished(completed);
    });
}

void RebuildMenuWindow::showResults(const RebuildRun& run, bool completed) {
    for (const RebuildChange& c : run.changes())
        results_->addItem(QStringLiteral("%1  F%2  %3  %4")
                              .arg(QString::fromLatin1(rebuildChangeName(c.kind)))
                              .arg(c.dirNumber)
                              .arg(QString::fromStdString(c.name), QString::fromStdString(c.detail)));
    if (completed)
        outcome_->setText(tr("Done. The next generated ID is %1.\nThe log is in %2.")
                              .arg(run.nextNumber())
                              .arg(QString::fromStdString(RebuildLog::path())));
    else
        outcome_->setText(
            tr("The run did not complete.\nThe log is in %1.").arg(QString::fromStdString(RebuildLog::path())));
}

}  // namespace pm
