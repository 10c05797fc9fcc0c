#include <fcntl.h>   // pipe2 flags
#include <signal.h>  // sigaction
#include <unistd.h>  // pipe2, write

#include "platform/internal.h"

namespace {

volatile sig_atomic_t signalled = 0;
int wakeUp[2] = {-1, -1};  // written by the handler, polled by waits that must end

void OnQuitSignal(int number) {
    if (signalled != 0) {
        // Asked twice: whatever the program is stuck in, the user wants it gone.
        signal(number, SIG_DFL);
        raise(number);
        return;
    }
    signalled = 1;
    if (wakeUp[1] >= 0) {
        const char byte = 1;
        const ssize_t ignored = write(wakeUp[1], &byte, 1);
        (void)ignored;
    }
}

}  // namespace

void InstallQuitSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    if (pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) wakeUp[0] = wakeUp[1] = -1;
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a wait in progress returns and looks at the flag
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool QuitSignalled() {
    return signalled != 0;
}

int QuitSignalDescriptor() {
    return wakeUp[0];
}
