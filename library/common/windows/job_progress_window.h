#pragma once
// The one progress window of long work (common/job.h): it drives a job with
// a zero-interval timer, one slice per tick, and shows the report's title,
// status line (bold), detail lines, counters and percentage. Cancel (or
// closing the window) asks the job to stop (StopRequest::Ask: the job may
// ask the person first); the window closes itself once the job is final,
// unless told otherwise.
//
// A job that pauses (a search between blocks) stops the timer and emits
// paused(); after the job's own resume call, resume() drives it again.
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/job.h"

class QFormLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace pm {

class JobProgressWindow : public QWidget {
    Q_OBJECT

public:
    // Takes the job; nothing runs until start().
    explicit JobProgressWindow(std::unique_ptr<Job> job, QWidget* parent = nullptr);
    ~JobProgressWindow() override;

    // Shows the report's counter `name` under `label` (default: the
    // report's caption for it, else its name, and a colon).
    // Counters appear in the order the report first names them.
    void setCounterLabel(const std::string& name, const QString& label);
    // When set (the default) the window closes itself after finished().
    void setCloseWhenFinished(bool on) { closeWhenFinished_ = on; }
    // The caption of the stop button ("Cancel" unless told otherwise).
    void setCancelText(const QString& text);
    // How often the display is redrawn while slices run (0: after every
    // slice, for a view that must show each step).
    void setRefreshInterval(int milliseconds) { refreshMilliseconds_ = milliseconds; }

    // Starts driving the job. Does nothing once started.
    void start();
    // Drives a paused job again (after its own resume call).
    void resume();
    // Whether the job is not final yet.
    bool running() const;
    // For this window or one that hosts it, asked to close: a job still
    // running is asked to stop as Cancel asks; true when it is final now
    // and the window may close.
    bool stopForClose();
    Job& job() { return *job_; }
    const Job& job() const { return *job_; }

signals:
    // The job is final: `completed` when it is Done, false when it failed
    // or was stopped.
    void finished(bool completed);
    // The job paused.
    void paused();

public slots:
    // The Cancel button: asks the job to stop between slices.
    void requestCancel();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void tick();

private:
    void refresh();
    void finish();
    QLabel* counterValue(const std::string& name, const std::string& caption);

    std::unique_ptr<Job> job_;
    QTimer timer_;
    QElapsedTimer sinceRefresh_;
    bool started_ = false;
    bool finishedSent_ = false;
    bool closeWhenFinished_ = true;
    int refreshMilliseconds_ = 100;

    QVBoxLayout* detailLayout_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<QLabel*> lines_;
    QFormLayout* counters_ = nullptr;
    std::map<std::string, QString> counterLabels_;
    std::map<std::string, std::pair<QLabel*, QLabel*>> counterRows_;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pm
