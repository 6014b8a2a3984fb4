// The factories of the task manager's windows: the import procedures, the
// scheduled tasks, the task log and the task start countdown.
#include "frame/tool_window_factories.h"
#include "import/windows/import_definitions_window.h"

namespace pm::frame {

void registerTaskWindows(WindowFactories& f) {
    f.add("BrowseBatch", [](FrameContext&) -> QWidget* { return new ImportDefinitionsWindow; });
}

}  // namespace pm::frame
