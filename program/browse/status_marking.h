#pragma once
// Marking messages, threads, sections, mail partners and whole databases
// Normal, Keep or Delete. Each mark holds the record, rewrites its status
// byte and commits, in one transaction with the 5-second lock wait; a hold
// or write that fails is reported, rolled back and leaves the status as it
// was. The tables of the active database must be open.
#include <functional>
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

// What a status menu item marks.
enum class StatusTarget { Message, Thread, Section, Database, Mail, Partner };

struct StatusMenuItem {
    const char* text;
    StatusTarget target;
    BYTE status;
};

// The selectable items of the status pop-up menu, in menu order (items are
// numbered from 1): twelve for forum and newsgroup databases, nine for mail
// databases.
const std::vector<StatusMenuItem>& statusMenuItems(BYTE databaseType);
// The menu as its text: items separated by "|", "-" for a separator line.
std::string statusMenuText(BYTE databaseType);

// The identifiers of the selected row.
struct StatusTargets {
    ULONG message = 0;  // MSG:MSGNUMBER, or MAI:MAILID in a mail database
    ULONG thread = 0;
    ULONG section = 0;
    ULONG partner = 0;  // MAI:PAIRID
};

// Preset choices of the status keys (Delete or Shift+D, Shift+K, Shift+N):
// the message items of both menus.
enum StatusChoice : int { ChoiceAsk = 0, ChoiceNormalMessage = 1, ChoiceKeepMessage = 2, ChoiceDeleteMessage = 3 };

struct StatusResult {
    int item = 0;        // the menu item chosen (0: cancelled)
    bool written = false;
};

// Sets a status as menu item `choice` of the active database's menu says;
// with ChoiceAsk, `ask` shows the menu and returns the item (0 = cancel).
// The database item also sets Mem.ForumCheck.
StatusResult SetStatus(int choice, const StatusTargets& targets, const std::function<int()>& ask = {});

// One mark: the status of `target` (identified by `id`; the database needs
// none). False after reporting when the record cannot be held or written.
bool markStatus(StatusTarget target, ULONG id, BYTE status);

}  // namespace pm
