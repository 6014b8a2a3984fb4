#include "tasks/windows/task_editor.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "common/date_pictures.h"
#include "common/globals.h"
#include "common/windows/record_list_window.h"
#include "common/user_interface.h"
#include "import/definitions/import_definitions.h"
#include "tasks/windows/task_texts.h"

namespace pm {

namespace {

const char* const WeekdayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

QCheckBox* flag(const char* text, BYTE value) {
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setChecked(value != 0);
    return box;
}

}  // namespace

TaskEditor::TaskEditor(LONG request, const TaskDefinition& task, QWidget* parent)
    : QDialog(parent), request_(request), kept_(task), saved_(task) {
    setObjectName(QStringLiteral("TaskEditor"));
    setProperty("helpTopic", QStringLiteral("~Task_Editor"));
    const QString what = QStringLiteral("Task");
    setWindowTitle(recordEditorTitle(request, what));
    const TASRecord& r = task.record;

    description_ = new QLineEdit(QString::fromStdString(r.DESCRIPTION.str()));
    description_->setMaxLength(static_cast<int>(decltype(TASRecord::DESCRIPTION)::width));
    runNow_ = new QCheckBox(QStringLiteral("Run &now"));
    runNow_->setChecked(request != InsertRecord && (r.RUNNOWDATE != 0 || r.RUNNOWTIME != 0));
    nextDate_ = new QLineEdit(QString::fromStdString(taskDateText(r.RUNNEXTDATE)));
    nextDate_->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
    nextTime_ = new QLineEdit(QString::fromStdString(r.RUNNEXTDATE != 0 || r.RUNNEXTTIME != 0 ? taskTimeText(r.RUNNEXTTIME) : ""));
    nextTime_->setPlaceholderText(QStringLiteral("HH:MM"));
    auto* when = new QHBoxLayout;
    when->addWidget(nextDate_);
    when->addWidget(nextTime_);

    auto* weekBox = new QGroupBox(QStringLiteral("Repeat on weekdays"));
    auto* weekLayout = new QHBoxLayout(weekBox);
    for (int d = 0; d < 7; ++d) {
        weekdays_[static_cast<std::size_t>(d)] = flag(WeekdayNames[d], r.DAYS[d]);
        weekLayout->addWidget(weekdays_[static_cast<std::size_t>(d)]);
    }
    auto* monthBox = new QGroupBox(QStringLiteral("Repeat on days of the month (0 = unused)"));
    auto* monthLayout = new QHBoxLayout(monthBox);
    for (int i = 0; i < 5; ++i) {
        auto* day = new QSpinBox;
        day->setRange(0, 31);
        day->setValue(r.MONTHDAYS[i]);
        monthDays_[static_cast<std::size_t>(i)] = day;
        monthLayout->addWidget(day);
    }

    duplicates_ = flag("Merge &duplicate persons", r.DODUPELIM);
    purge_ = flag("&Purge deleted messages", r.DOPURGE);
    count_ = flag("&Count messages", r.DOCOUNT);
    index_ = flag("Build word &index", r.DOINDEX);
    auto* jobsBox = new QGroupBox(QStringLiteral("After the imports, on every database that received messages"));
    auto* jobsLayout = new QGridLayout(jobsBox);
    jobsLayout->addWidget(duplicates_, 0, 0);
    jobsLayout->addWidget(purge_, 0, 1);
    jobsLayout->addWidget(count_, 1, 0);
    jobsLayout->addWidget(index_, 1, 1);

    steps_ = new QListWidget;
    steps_->setToolTip(QStringLiteral("The import procedures the task runs"));
    for (const BATRecord& d : listImportDefinitions()) {
        auto* item = new QListWidgetItem(QString::fromStdString(d.DESCRIPTION.str()), steps_);
        item->setData(Qt::UserRole, static_cast<uint>(d.ID));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool chosen = std::find(task.steps.begin(), task.steps.end(), d.ID) != task.steps.end();
        item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
    }
    inactive_ = new QCheckBox(QStringLiteral("&Inactive"));
    inactive_->setChecked(request != InsertRecord && r.ACTIVE == 0);
    deactivateAll_ = new QCheckBox(QStringLiteral("Deactivate all tasks"));
    deactivateAll_->setChecked(tasksDeactivated());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Description:"), description_);
    form->addRow(QString(), runNow_);
    form->addRow(QStringLiteral("Next run (date, time):"), when);
    auto* flags = new QHBoxLayout;
    flags->addWidget(inactive_);
    flags->addWidget(deactivateAll_);
    flags->addStretch();

    QHBoxLayout* buttons =
        recordEditorButtons(this, recordEditorAcceptText(request, what), accept_, cancel_, [this] { acceptTask(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(weekBox);
    layout->addWidget(monthBox);
    layout->addWidget(jobsBox);
    layout->addWidget(new QLabel(QStringLiteral("Import procedures to run:")));
    layout->addWidget(steps_, 1);
    layout->addLayout(flags);
    layout->addLayout(buttons);
    resize(600, 620);
    if (request == DeleteRecord)
        for (QWidget* w : findChildren<QWidget*>())
            if (w != accept_ && w != cancel_ && !qobject_cast<QGroupBox*>(w) && !qobject_cast<QLabel*>(w))
                w->setEnabled(false);
}

bool TaskEditor::chooseStep(ULONG id, bool chosen) {
    for (int i = 0; i < steps_->count(); ++i) {
        if (steps_->item(i)->data(Qt::UserRole).toUInt() != id) continue;
        steps_->item(i)->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
        return true;
    }
    return false;
}

bool TaskEditor::readTask(TaskDefinition& t) {
    t = kept_;
    TASRecord& r = t.record;
    r.DESCRIPTION = description_->text().trimmed().toStdString();
    const DateTime moment = now();
    r.RUNNOWDATE = runNow_->isChecked() ? moment.date : 0;
    r.RUNNOWTIME = runNow_->isChecked() ? std::max<LONG>(moment.time, 1) : 0;
    LONG date = 0, time = 0;
    if (!parseTaskDate(nextDate_->text().trimmed().toStdString(), date)) {
        message("Invalid date", "Please enter the date of the next run as YYYY-MM-DD.", Icon::Exclamation);
        nextDate_->setFocus();
        nextDate_->selectAll();
        return false;
    }
    if (!parseTaskTime(nextTime_->text().trimmed().toStdString(), time)) {
        message("Invalid time", "Please enter the time of the next run as HH:MM.", Icon::Exclamation);
        nextTime_->setFocus();
        nextTime_->selectAll();
        return false;
    }
    r.RUNNEXTDATE = date;
    r.RUNNEXTTIME = time;
    for (int d = 0; d < 7; ++d) r.DAYS[d] = weekdays_[static_cast<std::size_t>(d)]->isChecked() ? 1 : 0;
    for (int i = 0; i < 5; ++i) r.MONTHDAYS[i] = static_cast<BYTE>(monthDays_[static_cast<std::size_t>(i)]->value());
    r.DODUPELIM = duplicates_->isChecked() ? 1 : 0;
    r.DOPURGE = purge_->isChecked() ? 1 : 0;
    r.DOCOUNT = count_->isChecked() ? 1 : 0;
    r.DOINDEX = index_->isChecked() ? 1 : 0;
    r.ACTIVE = inactive_->isChecked() ? 0 : 1;
    t.steps.clear();
    for (int i = 0; i < steps_->count(); ++i)
        if (steps_->item(i)->checkState() == Qt::Checked) t.steps.push_back(steps_->item(i)->data(Qt::UserRole).toUInt());
    return true;
}

bool TaskEditor::acceptTask() {
    if (request_ == DeleteRecord) {
        if (!deleteTask(kept_.record.ID)) return false;
        accept();
        return true;
    }
    TaskDefinition t;
    if (!readTask(t)) return false;
    // The time field is where a date without a time is mended.
    if (const TaskCheck check = checkTask(t); check.problem == TaskProblem::NoTime) {
        message(check.caption, check.text, Icon::Exclamation);
        nextTime_->setFocus();
        return false;
    }
    switch (saveTask(t, request_ == ChangeRecord ? &kept_ : nullptr)) {
        case SaveOutcome::Saved:
            saved_ = t;
            setTasksDeactivated(deactivateAll_->isChecked());
            accept();
            return true;
        default:
            return false;
    }
}

}  // namespace pm
