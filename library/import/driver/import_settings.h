#pragma once
// The settings an import run reads when it starts.

namespace pm {

// Messages or records per slice of import and merge ("Import / Merge").
int importSpeedQuota();

// Whether a finished run shows the time it took ("Show time used to
// complete transaction", general item 9: 1 Yes, 2 No).
bool showCompletionTime();

// The general settings item that holds the completion-time choice.
inline constexpr int kShowCompletionTimeItem = 9;

}  // namespace pm
