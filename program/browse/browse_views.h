#pragma once
// How a browse context becomes a list: the file, key and range of each
// view, which message a list record stands for, and whether a message
// belongs to the view. The tables of the active database must be open.
#include <vector>

#include "browse/browse_context.h"
#include "browse/paged_list.h"

namespace pm {

// The range of the message browse's view `context.SORTORDER` (a view out
// of 1-9 reads as view 1).
KeyRange messageViewRange(const BrowseContext& context);
// The range of the mail browse's view (out of 1-8 reads as view 1).
KeyRange mailViewRange(const MailBrowseContext& context);

// Whether the view lists MasIdx, SIndex or Search records, each naming a
// message, instead of the messages themselves.
bool viewListsReferences(const KeyRange& range);
// The message (or mail) the record in the range table's buffer stands for.
ULONG listedMessage(const KeyRange& range);
// Fills the range table's buffer with the list record of message `number`
// (for positioning on it); false when the view holds no such record.
bool findListRecord(const KeyRange& range, ULONG number);

// Whether the message browse view is narrowed (the professional search
// keeps only the found messages it holds): thread, sender or receiver views
// with a value chosen, the section view, and the key-word, topic and search
// views.
bool viewIsNarrowed(const BrowseContext& context);
bool viewIsNarrowed(const MailBrowseContext& context);

// Whether message `number` is in the view: it exists and, in a narrowed
// view, carries the context's thread, section, sender or receiver, or is
// paired with its key word, topic or search result.
bool messageInView(const BrowseContext& context, ULONG number);
bool mailInView(const MailBrowseContext& context, ULONG number);

// Narrow the context to person `id` (its sort text read from the person
// record; a person that does not exist narrows to no messages) or to
// thread `thread` (0: not narrowed). The partner role is the mail
// browse's; in the message browse it reads as the sender. The view is
// not changed.
void setPersonFilter(BrowseContext& context, BrowsePersonRole role, ULONG id);
void setPersonFilter(MailBrowseContext& context, BrowsePersonRole role, ULONG id);
void setThreadFilter(BrowseContext& context, ULONG thread);

// Which views step a narrowing value with next/previous and a look-up list
// (the thread, section, sender and receiver views; in the mail browse the
// partner, sender and receiver views).
bool viewHasFilterValue(const BrowseContext& context);
bool viewHasFilterValue(const MailBrowseContext& context);

}  // namespace pm
