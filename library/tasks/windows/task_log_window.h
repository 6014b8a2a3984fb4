#pragma once
// ShowLog: the task log (" Task Log"). The runs of the chosen task (or of
// all tasks) with their start, finish, duration and result ("Not run",
// "OK", "Error"; failed runs in a highlight colour), and the items of the
// highlighted run: each import step and maintenance job with its result.
#include <QWidget>

#include "common/types.h"

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace pm {

class TaskLogWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "ShowLog";

    explicit TaskLogWindow(QWidget* parent = nullptr);

    // Shows the runs of task `taskId` (0: all tasks); false when the task
    // is not in the chooser.
    bool showTask(ULONG taskId);
    // Reads the tasks and the log again.
    void refresh();

    QComboBox* taskChooser() const { return tasks_; }
    QTreeWidget* runs() const { return runs_; }
    QTreeWidget* items() const { return items_; }

private:
    void loadRuns();
    void loadItems();

    QComboBox* tasks_;
    QTreeWidget* runs_;
    QTreeWidget* items_;
    QPushButton* refresh_;
    QPushButton* close_;
};

}  // namespace pm
