#include "frame/window_factories.h"

#include "common/globals.h"
#include "browse/windows/browse_window.h"
#include "browse/windows/thread_tree_window.h"
#include "frame/engine_wiring.h"
#include "frame/frame_settings.h"
#include "frame/main_frame.h"
#include "frame/tool_window_factories.h"
#include "frame/windows/about_window.h"
#include "frame/windows/browse_box_window.h"
#include "frame/windows/change_forum_window.h"
#include "frame/windows/set_index_window.h"
#include "frame/windows/startup_wizard.h"
#include "tables/catalog/catalog_list.h"

namespace pm::frame {

QWidget* WindowFactories::create(const QString& name, FrameContext& context) const {
    auto it = factories_.find(name);
    return it == factories_.end() ? nullptr : it->second(context);
}

namespace {

// The first mail database set up becomes the import wizard's default, and
// so does a new one when the default has gone.
void adoptAsDefaultMailDatabase(FrameSettings& settings, ULONG id) {
    const auto current = static_cast<ULONG>(settings.value(ItemDefaultMailDatabase));
    CatalogEntry e;
    if (current != 0 && readCatalogEntry(current, e) && e.type == TypeMail) return;
    settings.setValue(ItemDefaultMailDatabase, static_cast<LONG>(id));
    settings.saveGeneral();
}

}  // namespace

void registerProgramWindows(WindowFactories& f) {
    // Later windows register here under their window names.
    f.add("ChangeForum", [](FrameContext& c) -> QWidget* { return new ChangeForumWindow(c.settings); });
    f.add("BrowseBox", [](FrameContext& c) -> QWidget* {
        FrameSettings& settings = c.settings;
        return new BrowseBoxWindow(settings, [&settings](ULONG id) { adoptAsDefaultMailDatabase(settings, id); });
    });
    f.add("SetIndex", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        return new SetIndexWindow;
    });
    f.add("StartUpWizard", [](FrameContext& c) -> QWidget* {
        MainFrame* frame = &c.frame;
        return new StartUpWizard(c.settings, &importFileTypes,
                                 [frame] { frame->runCommand(CommandId::MailDatabaseSetup); });
    });
    f.add("About", [](FrameContext&) -> QWidget* { return new AboutWindow; });
    f.add("BrowseMsgNmbr", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0 || Mem.ForumType == TypeMail) return nullptr;
        return new BrowseWindow(c.settings);
    });
    f.addCommands("BrowseMsgNmbr",
                  {static_cast<int>(CommandId::MessageStatus), static_cast<int>(CommandId::ShowThreadTree)});
    f.add("BrowseMail", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0 || Mem.ForumType != TypeMail) return nullptr;
        return new BrowseWindow(c.settings);
    });
    f.addCommands("BrowseMail", {static_cast<int>(CommandId::MessageStatus)});
    f.add("ThreadTree", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0 || Mem.ForumType == TypeMail) return nullptr;
        return new ThreadTreeWindow(c.settings);
    });
    registerToolWindows(f);
}

}  // namespace pm::frame
