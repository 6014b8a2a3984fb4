#pragma once
// Worker threads block every signal, so an interrupt always reaches the
// thread that runs the step machine and can stop it between slices.

namespace pm {

// Blocks every signal on the calling thread (a worker's first act).
void blockSignalsOnThisThread();

}  // namespace pm
