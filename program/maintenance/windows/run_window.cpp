#include "maintenance/windows/run_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "common/user_interface.h"
#include "common/windows/job_progress_window.h"
#include "frame/windows/child_window.h"

namespace pm {

RunWindow::RunWindow(const QString& title, const QString& intro, const QString& startText, QWidget* parent)
    : QWidget(parent), unattended_(quiet()) {
    setWindowTitle(title);
    layout_ = new QVBoxLayout(this);
    intro_ = new QLabel(intro, this);
    layout_->addWidget(intro_);
    options_ = new QVBoxLayout;
    layout_->addLayout(options_);
    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(startText, this);
    end_ = new QPushButton(tr("End this session"), this);
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(end_);
    layout_->addStretch();
    layout_->addLayout(buttons);
    // Return presses the focused button; the window opens with the focus
    // on its start button, so the keyboard alone runs it.
    start_->setAutoDefault(true);
    end_->setAutoDefault(true);
    setFocusProxy(start_);
    connect(start_, &QPushButton::clicked, this, &RunWindow::startRun);
    connect(end_, &QPushButton::clicked, this, [this] { frame::closeChildWindow(this); });
}

RunWindow::~RunWindow() = default;

void RunWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (unattended_ && !progress_) QTimer::singleShot(0, this, &RunWindow::startRun);
}

void RunWindow::closeEvent(QCloseEvent* event) {
    if (progress_ && !progress_->stopForClose()) return event->ignore();
    QWidget::closeEvent(event);
}

void RunWindow::startRun() {
    if (progress_) return;
    Run run = makeRun();
    progress_ = new JobProgressWindow(std::move(run.job), this);
    for (const auto& [name, label] : run.labels) progress_->setCounterLabel(name, QString::fromStdString(label));
    progress_->setCloseWhenFinished(false);
    lockOptions();
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
