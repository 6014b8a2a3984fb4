#pragma once
// PurgeMess: the purge or counting run on the active database in a
// window. Before the start the person may ask for aged threads to be
// purged too (purge of forum and newsgroup databases); "Start the purging
// process" (or "Start the counting process") runs the job in the one
// progress window, embedded here, with the counters under the window's
// own labels; "End this session" closes (asking the job to stop first
// when it runs). Inside a scheduled task the run starts at once and the
// window closes when it is final.
#include <QWidget>
#include <memory>

#include "maintenance/purge_run.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace pm {

class JobProgressWindow;

class PurgeWindow : public QWidget {
    Q_OBJECT
public:
    // `work` Purge or Count, on the active database.
    explicit PurgeWindow(PurgeWork work, QWidget* parent = nullptr);
    ~PurgeWindow() override;

    PurgeWork work() const { return work_; }
    QCheckBox* agedBox() const { return aged_; }
    QSpinBox* weeksBox() const { return weeks_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* endButton() const { return end_; }
    // The progress window of the run (nullptr before the start).
    JobProgressWindow* progress() const { return progress_; }

    // The start button: makes the job with the options chosen and runs it.
    void startRun();

signals:
    // The run is final: `completed` when it is Done.
    void finished(bool completed);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PurgeWork work_;
    bool unattended_;
    QVBoxLayout* layout_ = nullptr;
    QLabel* intro_ = nullptr;
    QCheckBox* aged_ = nullptr;
    QSpinBox* weeks_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* end_ = nullptr;
    JobProgressWindow* progress_ = nullptr;
};

}  // namespace pm
