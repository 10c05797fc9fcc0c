#include "model/confine/interruption.h"

#include <signal.h>
#include <sys/signalfd.h>  // signalfd: pending signals seen by poll, without a handler
#include <unistd.h>        // _exit

namespace {

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t held;
int descriptor = -1;

// The held signal that is pending, or 0.
int PendingSignal() {
    sigset_t pending;
    if (sigpending(&pending) != 0) return 0;
    for (int signal : kSignals) {
        if (sigismember(&held, signal) && sigismember(&pending, signal)) return signal;
    }
    return 0;
}

}  // namespace

void HoldInterruptions() {
    sigemptyset(&held);
    for (int signal : kSignals) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler != SIG_IGN) {
            sigaddset(&held, signal);
        }
    }
    sigprocmask(SIG_BLOCK, &held, nullptr);
    descriptor = signalfd(-1, &held, SFD_CLOEXEC | SFD_NONBLOCK);
}

int InterruptionDescriptor() {
    return descriptor;
}

bool InterruptionPending() {
    return PendingSignal() != 0;
}

void EndIfInterrupted() {
    const int signal = PendingSignal();
    if (signal == 0) return;
    // It acts as it would have had it never been held: delivered as soon as it is unblocked.
    ::signal(signal, SIG_DFL);
    sigset_t just;
    sigemptyset(&just);
    sigaddset(&just, signal);
    sigprocmask(SIG_UNBLOCK, &just, nullptr);
    _exit(128 + signal);  // not reached
}
