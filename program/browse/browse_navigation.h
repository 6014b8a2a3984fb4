#pragma once
// Stepping a browse's narrowing value to the next or previous thread,
// section, sender, receiver or mail partner, and applying the step to a
// context. No answer (the end of the file, or another section) leaves the
// context unchanged. The tables of the active database must be open.
#include <string>

#include "browse/browse_context.h"
#include "common/types.h"

namespace pm {

struct ThreadStep {
    ULONG number = 0;
    std::string heading;   // the 100-byte heading
    std::string alpha;     // THR:ALPHA
    ULONG messages = 0;    // THR:MSGCOUNT
    ULONG section = 0;
};

// The thread after (direction > 0) or before `thread` in THR:SecKey order,
// if it is still in section `section`.
bool stepThreadInSection(ULONG thread, ULONG section, int direction, ThreadStep& out);
// The thread after or before `thread` in THR:AlphaKey order.
bool stepThread(ULONG thread, int direction, ThreadStep& out);

struct SectionStep {
    ULONG id = 0;          // SEC:SECSYSID
    ULONG number = 0;
    std::string description;
    ULONG messages = 0;
};
// The section after or before section `id` in SEC:SectionKey order.
bool stepSection(ULONG id, int direction, SectionStep& out);

struct PersonStep {
    ULONG id = 0;
    std::string lastName, firstName;
    std::string alpha;     // the sort text the messages carry (FROMALPHA, TOALPHA, PAIRALPHA)
    ULONG messages = 0;    // PER:FROMCOUNT (sender) or PER:TOCOUNT (receiver)
};
enum class PersonRole { Sender, Receiver, Partner };
// The person whose messages follow (or precede) those of `person` in the
// message key of `role` (MSG:FromKey, MSG:ToKey; in a mail database
// MAI:FromKey, MAI:ToKey, MAI:PairKey).
bool stepPerson(ULONG person, PersonRole role, bool mail, int direction, PersonStep& out);

// Steps the narrowing value of the context's view in `direction`; true
// when the context changed. Views without a narrowing value never change.
bool stepFilterValue(BrowseContext& context, int direction);
bool stepFilterValue(MailBrowseContext& context, int direction);

}  // namespace pm
