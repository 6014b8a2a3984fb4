#pragma once
// StartTask: the countdown before a due task starts. It shows the task and
// counts down from 60 seconds in its title, every 5 seconds. The person may
// run the task now (the default), postpone task processing by some hours,
// skip this run (the next run is computed as after a run), deactivate the
// task, or deactivate all tasks; OK applies the choice, a separate button
// clears a postponement. When the countdown ends with "run now" and nothing
// holds the busy counter, the task starts at the next tick; otherwise the
// dialog closes without a start.
//
// Starting emits startRequested() (Mem.DoTask is TaskRunning then) and
// closes; closing without a start sets Mem.DoTask back to idle and tells
// the frame (EventRefreshActiveDatabase).
#include <QTimer>
#include <QWidget>

#include "common/types.h"
#include "tables/records/config_tables.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QSpinBox;

namespace pm {

class TaskStartDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "StartTask";
    enum Option { RunNow = 0, Postpone = 1, Skip = 2, Deactivate = 3, DeactivateAll = 4 };
    static constexpr int CountdownSeconds = 60;
    static constexpr int TickSeconds = 5;

    explicit TaskStartDialog(const TASRecord& task, QWidget* parent = nullptr);
    ~TaskStartDialog() override;

    void choose(Option option, int hours = 1);
    Option option() const;
    int secondsLeft() const { return secondsLeft_; }
    ULONG taskId() const { return task_.ID; }

    // OK: starts (run now) or applies the option and closes.
    void ok();
    // Clears the postponement and closes.
    void clearPostponement();
    // One step of the countdown (the timer calls it every 5 seconds).
    void tick();

    QPushButton* okButton() const { return ok_; }
    QPushButton* clearButton() const { return clear_; }
    QSpinBox* hours() const { return hours_; }

signals:
    void startRequested(ULONG taskId);

private:
    void startTask();
    void finish();
    void showCountdown();

    TASRecord task_;
    int secondsLeft_ = CountdownSeconds;
    bool starting_ = false;
    bool started_ = false;
    bool finished_ = false;
    QTimer timer_;
    QButtonGroup* options_;
    QSpinBox* hours_;
    QPushButton* ok_;
    QPushButton* clear_;
};

}  // namespace pm
