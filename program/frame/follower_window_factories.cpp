#include "frame/follower_window_factories.h"

#include "browse/windows/attach_topics_window.h"
#include "browse/windows/find_window.h"
#include "browse/windows/topics_window.h"
#include "common/globals.h"
#include "frame/command_table.h"

namespace pm::frame {

void registerFollowerWindows(WindowFactories& f) {
    f.add("BrowseTopics", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        return new TopicsWindow;
    });
    f.add("AttachTopics", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0) return nullptr;
        return new AttachTopicsWindow;
    });
    f.add("FindText", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0 || Mem.ForumType == TypeMail) return nullptr;
        return new FindWindow;
    });
    f.add("MailFind", [](FrameContext&) -> QWidget* {
        if (Mem.ForumNumber == 0 || Mem.ForumType != TypeMail) return nullptr;
        return new FindWindow;
    });
    for (const char* browse : {"BrowseMsgNmbr", "BrowseMail"})
        f.addCommands(browse, {static_cast<int>(CommandId::StandardSearch), static_cast<int>(CommandId::AttachTopics)});
}

}  // namespace pm::frame
