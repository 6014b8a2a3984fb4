#pragma once
// RebuildMeny: the rebuild utility's menu. One button rebuilds the database
// list and then checks the identifier counter, the other does the Next ID
// check alone; either runs in the progress window "RebuildIt". When the run
// ends the window lists what it corrected, dropped and attached.
#include <QWidget>

#include "common/windows/job_launcher.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace pm {

class RebuildRun;

class RebuildMenuWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "RebuildMeny";
    static constexpr const char* ProgressWindowName = "RebuildIt";

    explicit RebuildMenuWindow(JobLauncher launch, QWidget* parent = nullptr);

    QPushButton* rebuildButton() const { return rebuild_; }
    QPushButton* nextIdButton() const { return nextId_; }
    QPushButton* closeButton() const { return close_; }
    QListWidget* results() const { return results_; }
    QLabel* outcome() const { return outcome_; }

    // Starts the rebuild (or, with `nextIdOnly`, the Next ID check alone).
    void start(bool nextIdOnly);

signals:
    // The run ended; `completed` when it was Done.
    void runFinished(bool completed);

private:
    void showResults(const RebuildRun& run, bool completed);
    void setRunning(bool running);

    JobLauncher launch_;
    QLabel* outcome_;
    QListWidget* results_;
    QPushButton* rebuild_;
    QPushButton* nextId_;
    QPushButton* close_;
};

}  // namespace pm
