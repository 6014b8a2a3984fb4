#pragma once
// PurgeMess: the purge or counting run on the active database (a run
// window, run_window.h). A purge of a forum or newsgroup database offers
// the aged threads too: checked without an age, 999 weeks.
#include "maintenance/purge_run.h"
#include "maintenance/windows/run_window.h"

class QCheckBox;
class QSpinBox;

namespace pm {

class PurgeWindow : public RunWindow {
    Q_OBJECT
public:
    // `work` Purge or Count, on the active database.
    explicit PurgeWindow(PurgeWork work, QWidget* parent = nullptr);

    PurgeWork work() const { return work_; }
    QCheckBox* agedBox() const { return aged_; }
    QSpinBox* weeksBox() const { return weeks_; }

protected:
    Run makeRun() override;
    void lockOptions() override;

private:
    PurgeWork work_;
    QCheckBox* aged_ = nullptr;
    QSpinBox* weeks_ = nullptr;
};

}  // namespace pm
