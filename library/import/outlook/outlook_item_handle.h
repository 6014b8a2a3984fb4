#pragma once
// The library handle behind a MailItem (shared by the folder that hands
// items out and the item itself).
#include "import/outlook/outlook_session.h"
#include "import/outlook/pff_access.h"

namespace pm::outlook {

struct MailItem::Handle {
    pff::Item message;
};

}  // namespace pm::outlook
