#pragma once
// The progress window of an import run ("ImportIt"): the job progress
// window over an ImportRun, with the import's counter captions. Cancel (or
// closing the window) asks the run to stop; in phase B the run asks the
// person first.
#include <memory>

#include "common/windows/job_progress_window.h"
#include "import/driver/import_run.h"

namespace pm {

class ImportProgressWindow : public JobProgressWindow {
    Q_OBJECT

public:
    // The window name the window manager registers it under, and its group.
    static constexpr const char* WindowName = "ImportIt";
    static constexpr const char* WindowGroup = "ImportGroup";

    // Prepares the run (nothing is opened until start()).
    explicit ImportProgressWindow(ImportRequest request, ImportOptions options = {}, QWidget* parent = nullptr);

    const ImportRun& run() const { return static_cast<const ImportRun&>(job()); }
};

}  // namespace pm
