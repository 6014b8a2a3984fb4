#pragma once
// The program start before the frame: the start-up settings, asking for a
// lost top directory with the NewPath window.
#include <string>

#include "tables/config/installation.h"

class QWidget;

namespace pm::frame {

class FrameSettings;

// The start-up's questions, answered by the NewPath window.
class NewPathPrompts final : public StartupPrompts {
public:
    explicit NewPathPrompts(FrameSettings& settings, QWidget* parent = nullptr)
        : settings_(settings), parent_(parent) {}
    // Shows NewPath modally; true when a path was stored.
    bool askNewPath(int kind) override;

private:
    FrameSettings& settings_;
    QWidget* parent_;
};

// Runs the start-up settings on `root` with the NewPath window as prompts.
// Aborted means the program ends without showing the frame.
StartupOutcome runProgramStart(const std::string& root, FrameSettings& settings);

}  // namespace pm::frame
