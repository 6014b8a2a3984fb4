#pragma once
// The Next ID check in the rebuild progress window (" Next ID check"):
// "Checking for highest ID number", the status line "Checking for highest
// existing ID ..." (with "OK!" once done), an "Abort" button. When the check
// ends, done or aborted, the window says so through checkEnded() (the frame
// hands it to the rebuild menu window) and closes.
#include "common/windows/job_progress_window.h"

namespace pm {

class NextIdCheck;

class NextIdCheckWindow : public JobProgressWindow {
    Q_OBJECT
public:
    // The window the frame opens for the check (the rebuild window's name),
    // and the window it notifies.
    static constexpr const char* WindowName = "RebuildIt";
    static constexpr const char* NotifiedWindow = "RebuildMeny";

    explicit NextIdCheckWindow(QWidget* parent = nullptr);
    const NextIdCheck& check() const;

signals:
    // The check ended: `completed` when the counter was written.
    void checkEnded(bool completed);
};

}  // namespace pm
