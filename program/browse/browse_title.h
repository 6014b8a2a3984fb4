#pragma once
// The browse window's title and the count it shows for a view.
#include <string>

#include "browse/browse_context.h"
#include "common/types.h"

namespace pm {

// The count of the message browse's view: every MsgNmbr record in views 1
// and 6 and in the thread, sender and receiver views without a value; the
// thread's THR:MSGCOUNT, the section's SEC:MSGCOUNT, the person's
// PER:FROMCOUNT or PER:TOCOUNT when narrowed; the stored count of the key
// word or topic (0 when none is chosen); the Search records in view 9.
// A record that cannot be read counts 0.
ULONG messageViewCount(const BrowseContext& context);
// The same for the mail browse: every Mail record in the date and subject
// views and in the partner, sender and receiver views without a value;
// the partner's mails counted in the partner view; PER:FROMCOUNT or
// PER:TOCOUNT; the key word's or topic's count; the Search records.
ULONG mailViewCount(const MailBrowseContext& context);

// " Forum database: NAME Messages [N]" (" Newsgroup database: " for other
// types); the mail browse: " Mail database: NAME Messages [N]".
std::string browseTitle(BYTE databaseType, const std::string& description, ULONG count);

}  // namespace pm
