// How q7mctl hears SIGINT, SIGTERM and SIGHUP on POSIX systems.
#include <csignal>

#include "q7mctl_link.h"

namespace q7mctl {

namespace {
volatile std::sig_atomic_t gSignal = 0;
void onSignal(int sig) { gSignal = sig; }
}  // namespace

void installSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a wait in the library wakes and ends within its time-out
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

int stopSignal() { return gSignal; }

}  // namespace q7mctl
