#include "tasks/windows/task_start_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/dates.h"
#include "common/globals.h"
#include "common/user_interface.h"
#include "common/windows/host_window.h"
#include "tables/services/library_services.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"
#include "tasks/windows/task_texts.h"

namespace pm {

namespace {

constexpr const char* Explanation =
    "It is time to start task processing! \r\nYou cannot do other work in Postmoor during task processing. If you "
    "do not want to run the task now, select an appropriate option and click on the OK button. \r\n\r\nOtherwise "
    "task processing will commence within a minute with the task below and all open windows will close.";
}  // namespace

TaskStartDialog::TaskStartDialog(const TASRecord& task, QWidget* parent) : QWidget(parent), task_(task) {
    setObjectName(QString::fromLatin1(WindowName));
    setProperty("helpTopic", QStringLiteral("~Task_Start"));

    auto* text = new QLabel(QString::fromLatin1(Explanation).replace("\r\n", "\n"));
    text->setWordWrap(true);
    auto* taskLabel = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromStdString(task.DESCRIPTION.str()).toHtmlEscaped()));

    options_ = new QButtonGroup(this);
    auto* box = new QGroupBox(QStringLiteral("Options"));
    auto* boxLayout = new QVBoxLayout(box);
    hours_ = new QSpinBox;
    hours_->setRange(1, 24);
    hours_->setValue(1);
    hours_->setSuffix(QStringLiteral(" hour(s)"));
    const std::pair<Option, const char*> choices[] = {
        {RunNow, "&Run the task now"},
        {Postpone, "&Postpone task processing for"},
        {Skip, "&Skip this run"},
        {Deactivate, "&Deactivate this task"},
        {DeactivateAll, "Deactivate &all tasks"},
    };
    for (const auto& [option, label] : choices) {
        auto* radio = new QRadioButton(QString::fromUtf8(label));
        options_->addButton(radio, option);
        if (option == Postpone) {
            auto* row = new QHBoxLayout;
            row->addWidget(radio);
            row->addWidget(hours_);
            row->addStretch();
            boxLayout->addLayout(row);
        } else {
            boxLayout->addWidget(radio);
        }
    }
    options_->button(RunNow)->setChecked(true);

    ok_ = new QPushButton(QStringLiteral("OK"));
    ok_->setDefault(true);
    clear_ = new QPushButton(QStringLiteral("&Clear postponement"));
    clear_->setToolTip(QStringLiteral("Tasks may start again at once"));
    connect(ok_, &QPushButton::clicked, this, &TaskStartDialog::ok);
    connect(clear_, &QPushButton::clicked, this, &TaskStartDialog::clearPostponement);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clear_);
    buttons->addWidget(ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(taskLabel);
    layout->addWidget(box);
    layout->addLayout(buttons);
    resize(520, 400);
    setFocusProxy(ok_);

    showCountdown();
    connect(&timer_, &QTimer::timeout, this, &TaskStartDialog::tick);
    timer_.start(TickSeconds * 1000);
}

TaskStartDialog::~TaskStartDialog() {
    // Closed by any other way (the frame closing its windows) without a start.
    if (!started_ && Mem.DoTask == TaskDue) Mem.DoTask = TaskIdle;
}

void TaskStartDialog::choose(Option option, int hours) {
    options_->button(option)->setChecked(true);
    hours_->setValue(hours);
}

TaskStartDialog::Option TaskStartDialog::option() const { return static_cast<Option>(options_->checkedId()); }

void TaskStartDialog::showCountdown() {
    setWindowTitle(QStringLiteral(" Task processing starts in %1 seconds").arg(secondsLeft_, 2, 10, QLatin1Char('0')));
}

void TaskStartDialog::tick() {
    if (finished_) return;
    if (starting_) {
        startTask();
        return;
    }
    secondsLeft_ = std::max(0, secondsLeft_ - TickSeconds);
    showCountdown();
    if (secondsLeft_ > 0) return;
    if (option() == RunNow && !taskBusy()) {
        Mem.DoTask = TaskRunning;
        starting_ = true;
        setWindowTitle(QStringLiteral(" Task processing starting up!"));
        return;
    }
    finish();
}

void TaskStartDialog::ok() {
    if (finished_) return;
    switch (option()) {
        case RunNow:
            if (taskBusy()) {
                message(" Task Start Error ", "Another Task is already active!", Icon::Exclamation);
                return;
            }
            Mem.DoTask = TaskRunning;
            startTask();
            return;
        case Postpone:
            setTaskPostponement(postponedUntil(now(), hours_->value()));
            setWindowTitle(QStringLiteral(" Task processing postponed %1 hour(s)").arg(hours_->value()));
            break;
        case Skip: skipTaskRun(task_.ID, now()); break;
        case Deactivate: setTaskActive(task_.ID, false); break;
        case DeactivateAll: setTasksDeactivated(true); break;
    }
    finish();
}

void TaskStartDialog::clearPostponement() {
    clearTaskPostponement();
    finish();
}

void TaskStartDialog::startTask() {
    started_ = true;
    finished_ = true;
    timer_.stop();
    emit startRequested(task_.ID);
    closeHostWindow(this);
}

void TaskStartDialog::finish() {
    finished_ = true;
    timer_.stop();
    Mem.DoTask = TaskIdle;
    postFrameEvent(EventRefreshActiveDatabase);
    closeHostWindow(this);
}

}  // namespace pm
