#include "common/thread_signals.h"

#include <csignal>
#include <pthread.h>

namespace pm {

void blockSignalsOnThisThread() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

}  // namespace pm
