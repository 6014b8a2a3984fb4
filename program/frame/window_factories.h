#pragma once
// The windows the frame can open, by window name. A window exists for the
// frame once its factory is registered here: the commands, toolbar buttons
// and library service codes that open it are enabled from then on.
#include <QString>
#include <functional>
#include <map>
#include <set>

class QWidget;

namespace pm::frame {

class MainFrame;
class FrameSettings;

// What a factory gets to build its window with.
struct FrameContext {
    MainFrame& frame;
    FrameSettings& settings;
};

// Builds the window's widget (the frame wraps it in a sub-window); nullptr
// when it cannot open now (it has told the person why).
using WindowFactory = std::function<QWidget*(FrameContext&)>;

class WindowFactories {
public:
    // Registers (or replaces) the factory of `name`.
    void add(const QString& name, WindowFactory factory) { factories_[name] = std::move(factory); }
    void remove(const QString& name) { factories_.erase(name); }
    bool has(const QString& name) const { return factories_.count(name) != 0; }
    // A new window `name`; nullptr when no factory is registered or it refused.
    QWidget* create(const QString& name, FrameContext& context) const;

    // The menu commands (CommandId values) window `name` carries out when
    // the frame passes them on; the frame enables only those. Calls add up.
    void addCommands(const QString& name, const std::set<int>& commands) {
        commands_[name].insert(commands.begin(), commands.end());
    }
    bool handles(const QString& name, int command) const {
        auto it = commands_.find(name);
        return it != commands_.end() && it->second.count(command) != 0;
    }

private:
    std::map<QString, WindowFactory> factories_;
    std::map<QString, std::set<int>> commands_;
};

// Registers every window this program has built so far.
void registerProgramWindows(WindowFactories& factories);

}  // namespace pm::frame
