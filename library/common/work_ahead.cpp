#include "common/work_ahead.h"

#include <csignal>
#include <pthread.h>

namespace pm {

void blockSignalsOnThisThread() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

}  // namespace pm
