#pragma once
// The task editor: a scheduled task's description, its run-now request,
// next run, weekly or monthly repetition, maintenance job switches, the
// import definitions it runs, and the installation's "Deactivate all tasks"
// setting. Opened to add (" Add New Task"), change (" Update Task") or
// delete (" Delete Task") a task; the accept button saves through the task
// store and closes, a refused or conflicting save keeps it open.
#include <QDialog>
#include <array>

#include "common/types.h"
#include "tasks/task_store.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace pm {

class TaskEditor : public QDialog {
    Q_OBJECT
public:
    // `request` is InsertRecord, ChangeRecord or DeleteRecord; `task` the
    // one to change or delete (ignored for an insert).
    TaskEditor(LONG request, const TaskDefinition& task, QWidget* parent = nullptr);

    // The task the fields describe (run-now set to the moment when checked);
    // false when the next-run date or time cannot be read (the field is
    // selected and the person told).
    bool readTask(TaskDefinition& task);
    // Saves (or deletes) and closes; false when it stays open.
    bool acceptTask();
    const TaskDefinition& saved() const { return saved_; }

    // Marks the import definition `id` as a step; false when not listed.
    bool chooseStep(ULONG id, bool chosen);

    QLineEdit* description() const { return description_; }
    QCheckBox* runNow() const { return runNow_; }
    // The next run as typed: "YYYY-MM-DD" and "HH:MM" (empty: none).
    QLineEdit* nextDate() const { return nextDate_; }
    QLineEdit* nextTime() const { return nextTime_; }
    QCheckBox* weekday(int day) const { return weekdays_.at(static_cast<std::size_t>(day)); }  // 0 Sunday
    QSpinBox* monthDay(int i) const { return monthDays_.at(static_cast<std::size_t>(i)); }
    QCheckBox* duplicates() const { return duplicates_; }
    QCheckBox* purge() const { return purge_; }
    QCheckBox* count() const { return count_; }
    QCheckBox* index() const { return index_; }
    QCheckBox* inactive() const { return inactive_; }
    QCheckBox* deactivateAll() const { return deactivateAll_; }
    QListWidget* steps() const { return steps_; }
    QPushButton* acceptButton() const { return accept_; }

private:
    LONG request_;
    TaskDefinition kept_;
    TaskDefinition saved_;
    QLineEdit* description_;
    QCheckBox* runNow_;
    QLineEdit* nextDate_;
    QLineEdit* nextTime_;
    std::array<QCheckBox*, 7> weekdays_{};
    std::array<QSpinBox*, 5> monthDays_{};
    QCheckBox* duplicates_;
    QCheckBox* purge_;
    QCheckBox* count_;
    QCheckBox* index_;
    QCheckBox* inactive_;
    QCheckBox* deactivateAll_;
    QListWidget* steps_;
    QPushButton* accept_;
    QPushButton* cancel_;
};

}  // namespace pm
