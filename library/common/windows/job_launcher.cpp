#include "common/windows/job_launcher.h"

#include "common/windows/job_progress_window.h"

namespace pm {

JobLauncher freeStandingLauncher() {
    return [](const QString& windowName, std::unique_ptr<Job> job) {
        auto* window = new JobProgressWindow(std::move(job));
        window->setObjectName(windowName);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->start();
        return window;
    };
}

}  // namespace pm
