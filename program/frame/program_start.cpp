#include "frame/program_start.h"

#include "frame/frame_settings.h"
#include "tables/windows/new_path_window.h"

namespace pm::frame {

bool NewPathPrompts::askNewPath(int kind) {
    FrameSettings& settings = settings_;
    NewPathWindow window(kind, settings.storedPath(kind),
                         [&settings, kind](const std::string& path) { return settings.storeNewPath(kind, path); },
                         parent_);
    return window.exec() == QDialog::Accepted;
}

StartupOutcome runProgramStart(const std::string& root, FrameSettings& settings) {
    NewPathPrompts prompts(settings);
    return runStartupSettings(root, &prompts);
}

}  // namespace pm::frame
