#pragma once
// The installation: its root directory with CFG and TEMP, and the start-up
// settings every run goes through before it touches a database.
#include <string>

namespace pm {

// What the start-up may ask the person (the frame shows windows, command
// mode cannot ask and aborts instead).
class StartupPrompts {
public:
    virtual ~StartupPrompts() = default;
    // Asks for a lost top directory: kind 1 databases, kind 2 word index.
    // Returns true when a path was stored (Mem.FileDir / MasIdxPath set).
    virtual bool askNewPath(int kind) = 0;
};

enum class StartupOutcome { Ready, FirstStart, Aborted };

// Whether `root` holds an installation (its configuration store exists).
bool installationExists(const std::string& root);

// The start-up settings: sets the directories from `root` and the stored
// settings, creates CFG and TEMP when missing, loads the configuration and
// upgrades old settings. `prompts` may be null (nothing can be asked).
StartupOutcome runStartupSettings(const std::string& root, StartupPrompts* prompts);

}  // namespace pm
