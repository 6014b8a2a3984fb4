#pragma once
// The reply structure of one thread as an indented list of lines.
//
// Building: the thread's messages are read in thread-key order (message
// numbers ascending) with their parents (MSG:REFNUMBER unless it is the
// message's own number) and sender names. Levels are assigned in passes:
// a message whose parent is not in the thread is a top message (level 1);
// one whose parent has a level gets the parent's level plus one. A pass
// that places nothing while messages are left means their references form
// a cycle: the first of them (by number) is then taken as a top message,
// so every message is shown and the passes end. The display list starts
// with one blank line and follows depth first: each top message in number
// order, each reply directly under its parent, replies in number order.
#include <string>
#include <vector>

#include "browse/browse_context.h"
#include "common/types.h"

namespace pm {

// One line of the tree.
struct ThreadTreeLine {
    std::string text;
    ULONG number = 0;  // 0 for the blank first line
    int level = 0;     // tree level: 0 for top messages
    int icon = 0;      // 1 file (top message), 2 folder (reply), 0 none
};

// Thread tree line formats (settings item 16).
enum ThreadTreeStyle : int {
    StyleSender = 1,               // sender name
    StyleSenderNumber = 2,         // sender name, message number
    StyleSenderDate = 3,           // sender name, date
    StyleSenderNumberDate = 4,     // sender name, message number, date
    StyleSenderDateNumber = 5,     // sender name, date, message number
};

// The date picture of a thread-tree date format: 1 or the settings code 2
// mm-dd-yyyy, 2 or 6 dd-mm-yyyy, 3 or 10 yyyy-mm-dd, 4 or 17 the system's
// short date; "" (no date) for any other value.
std::string threadTreeDatePicture(LONG dateFormat);

class ThreadTree {
public:
    // `style` is a ThreadTreeStyle (another value shows the sender name
    // alone); `dateFormat` as threadTreeDatePicture() takes it.
    ThreadTree(int style, LONG dateFormat);

    // Rebuilds the tree for the selection in `context` when it differs from
    // the one of the last call: the selected message's thread, unless that
    // thread is shown already. Returns true when the lines were rebuilt.
    bool follow(const BrowseContext& context);
    // Loads thread `thread` and builds its lines (a missing thread gives the
    // blank line alone). The tables of the active database must be open.
    void build(ULONG thread);
    void clear();

    ULONG thread() const { return thread_; }
    const std::vector<ThreadTreeLine>& lines() const { return lines_; }
    // The line of message `number`; -1 when the tree does not show it.
    int lineOf(ULONG number) const;

    // The tree of messages already read (tests, other sources): each entry
    // is (number, parent, sender name, date), in any order.
    struct Message {
        ULONG number = 0;
        ULONG parent = 0;
        std::string sender;
        LONG date = 0;
    };
    void buildFrom(std::vector<Message> messages);

private:
    std::string lineText(const Message& m) const;

    int style_;
    std::string datePicture_;
    BrowseContext last_;
    bool haveLast_ = false;
    ULONG thread_ = 0;
    std::vector<ThreadTreeLine> lines_;
};

}  // namespace pm
