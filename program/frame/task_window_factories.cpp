// The factories of the task manager's windows (the import procedures, the
// scheduled tasks, the task log and the start countdown) and the services
// of the scheduler: the idle-time check (206) and the task run (208).
#include "common/globals.h"
#include "frame/main_frame.h"
#include "frame/task_scheduler.h"
#include "frame/tool_window_factories.h"
#include "common/dates.h"
#include "common/user_interface.h"
#include "import/definitions/import_definitions.h"
#include "import/windows/import_definitions_window.h"
#include "import/windows/import_wizard.h"
#include "tables/services/library_services.h"
#include "tasks/task_store.h"
#include "tasks/windows/task_log_window.h"
#include "tasks/windows/task_start_dialog.h"
#include "tasks/windows/tasks_window.h"

namespace pm::frame {

namespace {

// A wizard run saved as an import definition, with the inactive task that
// runs it. A failure has been reported; the import starts all the same.
bool saveWizardRun(const ImportRequest& request) {
    if (const DefinitionCheck path = checkDefinitionPath(request.importPath); !path.ok()) {
        message(path.caption, path.text, Icon::Exclamation);
        return false;
    }
    const std::string description = wizardDefinitionDescription(now());
    ImportDefinition definition = definitionFromRequest(request, description);
    if (saveImportDefinition(definition) != SaveOutcome::Saved) return false;
    return addWizardTask(definition.record.ID, description) != 0;
}

}  // namespace

void registerTaskWindows(WindowFactories& f) {
    f.add("ImportMeny", [](FrameContext& c) -> QWidget* { return new ImportWizard(frameLauncher(c.frame), &saveWizardRun); });
    f.add("BrowseBatch", [](FrameContext&) -> QWidget* { return new ImportDefinitionsWindow; });
    f.add("BrowseTasks", [](FrameContext&) -> QWidget* { return new TasksWindow; });
    f.add("ShowLog", [](FrameContext&) -> QWidget* { return new TaskLogWindow; });
    f.add("StartTask", [](FrameContext& c) -> QWidget* {
        TaskScheduler& scheduler = TaskScheduler::of(c.frame);
        std::optional<TaskDefinition> task = readTask(scheduler.dueTask());
        if (!task) {
            Mem.DoTask = TaskIdle;
            return nullptr;
        }
        auto* dialog = new TaskStartDialog(task->record);
        QObject::connect(dialog, &TaskStartDialog::startRequested, &scheduler, &TaskScheduler::startRequested);
        return dialog;
    });
    registerService(ServiceInstallTaskCheck, [] {
        MainFrame* frame = MainFrame::instance();
        if (!frame) return LONG{0};
        TaskScheduler::of(*frame).install();
        return LONG{1};
    });
    registerService(ServiceContinueTasks, [] {
        MainFrame* frame = MainFrame::instance();
        return LONG{frame && TaskScheduler::of(*frame).runStartedTask() ? 1 : 0};
    });
}

}  // namespace pm::frame
