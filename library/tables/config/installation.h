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
// settings, creates CFG and TEMP when missing, loads every settings block
// (creating missing records) and upgrades old settings. A stored top
// directory that is gone is reported ("Path not found!") and asked for
// through `prompts`; without prompts (null: nothing can be asked) or when
// the person gives up, the result is Aborted, as it is when a settings
// block cannot be read or written. FirstStart when the installation is new.
// An installation whose configuration store cannot be written (a read-only
// mount) sets Mem.ReadOnly and is only read: nothing is created or saved,
// and the temporary directory is one of the process's own (removed with its
// run store at the end), as it is when the installation's temporary
// directory cannot be written.
StartupOutcome runStartupSettings(const std::string& root, StartupPrompts* prompts);

// The engine half of NewPath: makes the existing directory `path` the
// database top directory (kind 1, item 18, Mem.FileDir) or the word-index
// top directory (kind 2, item 44, MasIdxPath) and saves the block. Returns
// false, changing nothing, when `path` is not an existing directory (the
// window then says so) or the block cannot be saved.
bool storeNewPath(int kind, const std::string& path);

}  // namespace pm
