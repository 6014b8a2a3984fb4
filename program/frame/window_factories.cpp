#include "frame/window_factories.h"

#include <QTimer>

#include "common/globals.h"
#include "browse/windows/browse_window.h"
#include "browse/windows/thread_tree_window.h"
#include "frame/engine_wiring.h"
#include "frame/follower_window_factories.h"
#include "frame/frame_settings.h"
#include "frame/main_frame.h"
#include "frame/tool_window_factories.h"
#include "frame/windows/about_window.h"
#include "frame/windows/browse_box_window.h"
#include "frame/windows/change_forum_window.h"
#include "frame/windows/set_index_window.h"
#include "frame/windows/startup_wizard.h"
#include "tables/catalog/catalog_edits.h"
#include "maintenance/windows/duplicates_window.h"
#include "maintenance/windows/person_browse_window.h"
#include "maintenance/windows/purge_window.h"
#include "sets/windows/set_operations_window.h"
#include "tables/services/library_services.h"
#include "tables/catalog/catalog_list.h"
#include "common/user_interface.h"
#include "wordindex/windows/auto_index_window.h"
#include "wordindex/windows/index_setup_wizard.h"
#include "wordindex/windows/stop_list_window.h"
#include "wordindex/windows/word_list_window.h"

namespace pm::frame {

QWidget* WindowFactories::create(const QString& name, FrameContext& context) const {
    auto it = factories_.find(name);
    return it == factories_.end() ? nullptr : it->second(context);
}

namespace {

// The commands of the set operations that the browses take.
std::set<int> setOperationCommands() {
    return {static_cast<int>(CommandId::ExportMessages), static_cast<int>(CommandId::PrintMessages),
            static_cast<int>(CommandId::ClassifyMessageSets), static_cast<int>(CommandId::CopyToClipboard)};
}

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
                  {static_cast<int>(CommandId::MessageStatus), static_cast<int>(CommandId::ShowThreadTree),
                   static_cast<int>(CommandId::ProfessionalSearch)});
    f.addCommands("BrowseMsgNmbr", setOperationCommands());
    f.add("BrowseMail", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0 || Mem.ForumType != TypeMail) return nullptr;
        return new BrowseWindow(c.settings);
    });
    f.addCommands("BrowseMail",
                  {static_cast<int>(CommandId::MessageStatus), static_cast<int>(CommandId::ProfessionalSearch)});
    f.addCommands("BrowseMail", setOperationCommands());
    f.add("SetOperations", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        auto* w = new SetOperationsWindow(SetOperationsWindow::presetOperationValue());
        if (w->currentMessage() == 0) {
            delete w;
            return nullptr;
        }
        MainFrame* frame = &c.frame;
        QObject::connect(w, &SetOperationsWindow::finished, w, [frame](bool, bool changed, bool wholeDatabase) {
            // The browse shows the topics and statuses the run changed.
            if (changed)
                for (const char* name : {"BrowseMsgNmbr", "BrowseMail"})
                    if (auto* browse = qobject_cast<BrowseWindow*>(frame->windows().widgetOf(name))) browse->refresh();
            if (wholeDatabase) frame->updateCommandStates();
        });
        return w;
    });
    f.add("SearchWz", [](FrameContext&) -> QWidget* {
        auto* wizard = new IndexSetupWizard;
        if (wizard->loaded()) return wizard;
        delete wizard;
        return nullptr;
    });
    f.add("AutoIndex", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        return new AutoIndexWindow;
    });
    f.add("WordList", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0 || !activeDatabaseIsWordIndexed()) {
            message("Not Indexed", "This database is not indexed.", Icon::Exclamation);
            return nullptr;
        }
        return new WordListWindow;
    });
    f.add("StopList", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        return new StopListWindow;
    });
    f.add("PurgeMess", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        auto* w = new PurgeWindow(GlobalRequest == RequestPurge ? PurgeWork::Purge : PurgeWork::Count);
        MainFrame* frame = &c.frame;
        QObject::connect(w, &PurgeWindow::finished, w, [frame](bool) {
            // A browse left open shows what the run changed.
            for (const char* name : {"BrowseMsgNmbr", "BrowseMail"})
                if (auto* browse = qobject_cast<BrowseWindow*>(frame->windows().widgetOf(name))) browse->refresh();
            if (Mem.DoTask == TaskRunning || Mem.DoTask == TaskFailed) postFrameEvent(EventContinueTasks);
        });
        return w;
    });
    f.add("Duplicates", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        auto* w = new DuplicatesWindow;
        QObject::connect(w, &DuplicatesWindow::finished, w, [](bool) {
            if (Mem.DoTask == TaskRunning || Mem.DoTask == TaskFailed) postFrameEvent(EventContinueTasks);
        });
        return w;
    });
    f.add("BrowsePerson", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        MainFrame* frame = &c.frame;
        return new PersonBrowseWindow([frame](ULONG person) {
            frame->runCommand(CommandId::BrowseMessages);
            for (const char* name : {"BrowseMsgNmbr", "BrowseMail"})
                if (auto* browse = qobject_cast<BrowseWindow*>(frame->windows().widgetOf(name)))
                    browse->showSenderMessages(person);
        });
    });
    f.add("ThreadTree", [](FrameContext& c) -> QWidget* {
        if (Mem.ForumNumber == 0 || Mem.ForumType == TypeMail) return nullptr;
        return new ThreadTreeWindow(c.settings);
    });
    registerToolWindows(f);
    registerFollowerWindows(f);
    registerTaskWindows(f);
}

}  // namespace pm::frame
