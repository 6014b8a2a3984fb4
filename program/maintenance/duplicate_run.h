#pragma once
// Merging persons of the active database: automatically, every group of
// persons that share an address (the Duplicates window, dedupe-persons),
// or by hand, chosen persons into one (MergePersons, person merge). A job
// (common/job.h).
//
// Phases of the automatic merge, each step one slice in one transaction:
//   Correct     "Correcting non wellformed CIS addresses": a person without
//               an address (mail: also one whose string holds "CSINET" or
//               whose address holds the old code page's vertical bar)
//               whose string yields one gets it, with the name split
//               again; then the address normaliser runs on every address.
//               Renamed persons' headers are renewed in Recode.
//   Identify    "Identifying duplicate ..." / "Updating count for suspected
//               duplicates": persons whose upper-cased addresses are equal
//               (blank ones never) form groups.
//   Suspects    "Processing Step 1": each suspect's sent messages and the
//               date of its newest.
//   Choose      "Processing Step 3": each group's survivor; the others are
//               merged into it. The mailbox owner is never merged away.
// Then, for both kinds:
//   Recode      "Recoding Message Receiver ID": headers naming a merged
//               person name its survivor (and renamed persons' headers
//               their new short names).
//   Retire      "Deleting duplicate persons": each merged person's aliases
//               and own string become the survivor's aliases, and it goes.
//   Recount     "Updating message counts per person" (message_counts.h), and
//               the catalog's count.
// Killed or stopped anywhere, a new run finds the same groups again (the
// merged persons are deleted last) and ends where one run would have.
//
// Both kinds first take the installation's writing turn (writing_run_lock.h)
// and only then open their tables: while another process imports, merges,
// purges or rebuilds, the run waits ("Waiting for ..."), and is refused
// with a warning once the wait is over, having written nothing.
#include <memory>
#include <string>
#include <vector>

#include "common/job.h"
#include "common/types.h"

namespace pm {

namespace duplicate_counter {
inline constexpr const char* Before = "persons_before";
inline constexpr const char* Obsolete = "persons_without_messages";
inline constexpr const char* Duplicates = "duplicates_merged";
inline constexpr const char* Remaining = "persons_remaining";
inline constexpr const char* Phase = "phase";
}  // namespace duplicate_counter

class DuplicateRun final : public Job {
public:
    // The automatic merge of the active database (none active: the run
    // fails at its first step).
    DuplicateRun();
    // The manual merge: `merged` into `survivor`, in list order. At the
    // first step, once the turn is taken, the mailbox owner in `merged` is
    // refused ("Warning!") and left out; unknown ids are left out; an
    // unknown survivor fails the run.
    DuplicateRun(ULONG survivor, const std::vector<ULONG>& merged);
    ~DuplicateRun() override;

    JobStatus step() override;
    JobStatus status() const override;
    ProgressReport report() const override;
    // An automatic run asks "Duplicate Person elimination interrupted"
    // first (Ask); the answer No goes on.
    bool requestStop(StopRequest how) override;

    // The window's labels of the counters for the database type.
    std::vector<std::pair<std::string, std::string>> counterLabels() const;
    // The persons merged away (manual: those accepted).
    const std::vector<ULONG>& merged() const;

    struct State;

private:
    std::unique_ptr<State> s_;
};

// The text the mailbox owner's protection shows.
inline constexpr const char* OwnerProtectedText = "You are not allowed to change the mail default address!";

}  // namespace pm
