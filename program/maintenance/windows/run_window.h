#pragma once
// The windows of the maintenance runs (purge and count, duplicate
// merging): a short text, options a derived window adds, "Start the ...
// process" and "End this session". The start makes the job and runs it in
// the one progress window, embedded here, with the counters under the
// window's own labels. Inside a scheduled task the run starts at once and
// the window closes when it is final.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/job.h"

class QBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace pm {

class JobProgressWindow;

class RunWindow : public QWidget {
    Q_OBJECT
public:
    using CounterLabels = std::vector<std::pair<std::string, std::string>>;
    // The job the start button runs, with the labels of its counters.
    struct Run {
        std::unique_ptr<Job> job;
        CounterLabels labels;
    };

    RunWindow(const QString& title, const QString& intro, const QString& startText, QWidget* parent = nullptr);
    ~RunWindow() override;

    QPushButton* startButton() const { return start_; }
    QPushButton* endButton() const { return end_; }
    // The progress window of the run (nullptr before the start).
    JobProgressWindow* progress() const { return progress_; }

    // The start button: makes the job and runs it.
    void startRun();

signals:
    // The run is final: `completed` when it is Done.
    void finished(bool completed);

protected:
    // Makes the job with the options chosen.
    virtual Run makeRun() = 0;
    // Where a derived window puts its options (above the buttons).
    QVBoxLayout* optionsLayout() const { return options_; }
    // Called when the run starts: options stop being editable.
    virtual void lockOptions() {}
    bool unattended() const { return unattended_; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool unattended_;
    QVBoxLayout* layout_ = nullptr;
    QVBoxLayout* options_ = nullptr;
    QLabel* intro_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* end_ = nullptr;
    JobProgressWindow* progress_ = nullptr;
};

}  // namespace pm
