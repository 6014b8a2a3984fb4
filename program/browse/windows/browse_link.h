#pragma once
// How the browses and the windows that follow them notify each other: the
// browse announces each publication of its context (the shared copy is
// read with readContext() / readMailContext()); a follower asks the browse
// to show a message or to act as if one of its navigation buttons had been
// pressed. All on the GUI thread.
#include <QObject>
#include <optional>

#include "common/types.h"
#include "frame/frame_events.h"

namespace pm {

class BrowseLink : public QObject {
    Q_OBJECT
public:
    static BrowseLink& instance();

signals:
    // The message browse (mail: the mail browse) published its context.
    void contextPublished();
    void mailContextPublished();
    // A follower asks the message browse to show message `number`: in its
    // view when the view holds it, else in the thread view.
    void showMessageRequested(ULONG number);
    // A follower passes on a navigation key as a toolbar button.
    void buttonPressed(pm::frame::ToolbarButton button);
    // The browse closed (followers of it may close too).
    void browseClosed();
    // Topics or their attachments changed (the topic list, the Attach
    // Topics window and a browse in its topic view read them again).
    void topicsChanged();
};

// The browse button a page key stands for in a window that follows the
// browse: Page Up / Page Down, with Ctrl the first / last page; nullopt for
// any other key.
std::optional<frame::ToolbarButton> pageButtonOfKey(int key, bool ctrl);

}  // namespace pm
