#pragma once
// The settings an import run reads when it starts.
//
// The stored settings service is not part of this build yet; until it is,
// these give the preference defaults. They are the one place to switch to
// SpeedVal(SpeedImportMerge) and the completion-time item once it is.

namespace pm {

// Messages or records per slice of import and merge ("Import / Merge").
int importSpeedQuota();

// Whether a finished run shows the time it took ("Show time used to
// complete transaction").
bool showCompletionTime();

}  // namespace pm
