#include "merge/windows/merge_wizard.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/windows/host_window.h"
#include "common/windows/job_progress_window.h"
#include "merge/merge_run.h"
#include "tables/windows/instruction_pane.h"
#include "tables/windows/database_choice_field.h"

namespace pm {

MergeWizard::MergeWizard(JobLauncher launch, QWidget* parent) : QWidget(parent), launch_(std::move(launch)) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Merge Databases"));
    setProperty("helpTopic", QStringLiteral("~Merge_Databases"));

    QWidget* text = instructionPane({8}, 130);
    source_ = new DatabaseChoiceField(0, 0);
    target_ = new DatabaseChoiceField(0, 0);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Enter name of Source Forum"), source_);
    form->addRow(QStringLiteral("Enter name of Target Forum"), target_);
    outcome_ = new QLabel;
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    start_ = new QPushButton(tr("&Start"));
    start_->setToolTip(tr("Merge the messages of the source into the target"));
    close_ = new QPushButton(tr("&Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(outcome_);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(520, 320);
    // The first thing to type is the source: the window hands its focus on.
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(source_);

    // A target of another kind is refused as soon as it is chosen.
    connect(target_, &DatabaseChoiceField::chosen, this, [this](ULONG id) {
        if (id != 0 && source_->databaseId() != 0 && target_->databaseType() != source_->databaseType()) {
            message(IllegalSelectionCaption, DifferentKindsText, Icon::Exclamation);
            target_->setDatabase(0);
        }
        updateButtons();
    });
    connect(source_, &DatabaseChoiceField::chosen, this, [this] { updateButtons(); });
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(close_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });
    updateButtons();
}

void MergeWizard::updateButtons() {
    start_->setEnabled(!running_ && source_->databaseId() != 0 && target_->databaseId() != 0);
    close_->setEnabled(!running_);
}

bool MergeWizard::start() {
    const ULONG source = source_->databaseId(), target = target_->databaseId();
    if (!checkMergePair(source, target)) return false;
    JobProgressWindow* progress =
        launch_ ? launch_(QString::fromLatin1(ProgressWindowName), std::make_unique<MergeRun>(source, target)) : nullptr;
    if (!progress) return false;
    running_ = true;
    outcome_->clear();
    updateButtons();
    connect(progress, &JobProgressWindow::finished, this, [this, progress](bool completed) {
        const auto& run = static_cast<const MergeRun&>(progress->job());
        const QString status = QString::fromStdString(run.report().lines.front());
        outcome_->setText(tr("%1\nMerged: %2   Skipped: %3").arg(status).arg(run.merged()).arg(run.skipped()));
        running_ = false;
        updateButtons();
        emit mergeFinished(completed);
    });
    return true;
}

}  // namespace pm
