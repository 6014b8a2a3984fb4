#pragma once
// Duplicates: the automatic merge of persons that share an address on the
// active database (a run window, run_window.h; the job: duplicate_run.h).
#include "maintenance/windows/run_window.h"

namespace pm {

class DuplicatesWindow : public RunWindow {
    Q_OBJECT
public:
    explicit DuplicatesWindow(QWidget* parent = nullptr);

protected:
    Run makeRun() override;
};

}  // namespace pm
