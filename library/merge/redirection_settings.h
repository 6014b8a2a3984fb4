#pragma once
// Newsgroup redirection: which newsgroup databases feed which target
// database, and the moves that bring the stored messages in line with it.
//
// Each newsgroup database's catalog record holds the target it is
// redirected to now (FOR:REDIRNOW, 0 none) and the target its messages were
// in when the redirection was last changed (FOR:REDIRBEFORE). As for the
// import, a redirection is in force when its target exists, is a newsgroup
// database and is not redirected itself; otherwise the newsgroup's
// messages belong in its own database.
//
// A newsgroup's messages inside another database are those filed under its
// own section (SEC:SECSYSID = the newsgroup's FOR:ID). The moves are jobs:
//   kind 1, redirection removed: the newsgroup's section from its former
//           target back into its own database;
//   kind 2, newly redirected: the database's messages into its target
//           (the sections of other newsgroups that have their own job out
//           of it stay for those jobs);
//   kind 3, target changed: the newsgroup's section from the former target
//           into the new one.
// A job takes its messages from wherever they may be (the newsgroup's own
// database, its former target, its present setting's target) to where they
// belong, so a job whose source holds nothing moves nothing, and building
// the jobs again after an interrupted run gives the same jobs.
#include <string>
#include <vector>

#include "common/types.h"
#include "merge/source_conversion.h"

namespace pm {

enum RedirectionKind : int { RedirectionRemoved = 1, NewlyRedirected = 2, TargetChanged = 3 };

struct RedirectionJob {
    ULONG newsgroup = 0;     // the newsgroup database the job concerns (its FOR:ID)
    ULONG source = 0;        // where its messages are taken from
    ULONG target = 0;        // where they go
    int kind = NewlyRedirected;
    MessageSelection selection;
    std::string newsgroupName, sourceName, targetName;
};

// Opening the redirection wizard: under a 5-second lock of the catalog,
// every database redirected now whose REDIRBEFORE is 0 gets REDIRBEFORE =
// REDIRNOW, so that the state before the person's changes is known.
// Returns the next free directory number (for new target databases), 0
// after reporting when the catalog cannot be locked or written.
ULONG prepareRedirectionChanges();

// Sets the redirection of newsgroup database `newsgroup` to `target` (0 =
// none). Refused with a message (false) when `newsgroup` is not a newsgroup
// database, `target` is not a target newsgroup database (FOR:TARGETNG 1),
// or both are the same.
bool setRedirection(ULONG newsgroup, ULONG target);

// "Add Target Newsgroup Database": a newsgroup database with FOR:TARGETNG
// = 1, its directory and identity record. Returns its FOR:ID, 0 after
// reporting (a name in use, a failed write).
ULONG createTargetNewsgroupDatabase(const std::string& name);

// Builds the jobs from the catalog. Under a 5-second lock of the catalog the
// settings are validated first: a REDIRBEFORE naming a database that is
// gone or has no directory becomes 0, a REDIRNOW naming a database that is
// gone becomes 0 (the record is rewritten). `ok` is false after reporting
// when the catalog cannot be locked or written.
std::vector<RedirectionJob> buildRedirectionJobs(bool& ok);

// After every job's messages have been moved and purged: the REDIRBEFORE of
// every newsgroup database becomes the target in force now (0 when none),
// except for newsgroups in `unsettled` (messages that could not be moved
// are still in their former database). False after reporting a failure.
bool settleRedirections(const std::vector<ULONG>& unsettled);

}  // namespace pm
