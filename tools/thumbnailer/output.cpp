#include "tools/thumbnailer/output.h"

#include <signal.h>
#include <fcntl.h>     // open
#include <sys/time.h>  // setitimer
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>  // floor
#include <cstdio>
#include <cstring>  // strerror, strncpy

namespace {

using Clock = std::chrono::steady_clock;

// What the handlers need, set before they can run: plain buffers, since a handler may use
// nothing that allocates.
char temporaryPath[4096] = "";
char timeUp[4096] = "";
Clock::time_point deadline;

void EndRun(int signal) {
    if (temporaryPath[0] != '\0') unlink(temporaryPath);
    if (signal == SIGALRM) {
        const ssize_t ignored = write(2, timeUp, std::strlen(timeUp));
        (void)ignored;
        _exit(1);
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void Remember(const std::string& path) {
    std::strncpy(temporaryPath, path.c_str(), sizeof(temporaryPath) - 1);
}

}  // namespace

void GuardRun(const std::string& subject, double seconds) {
    std::snprintf(timeUp, sizeof(timeUp), "%s: did not finish within %g s\n", subject.c_str(),
                  seconds);
    deadline = Clock::now() +
               std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    struct sigaction action {};
    action.sa_handler = EndRun;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGALRM}) sigaddset(&action.sa_mask, signal);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        // A signal the program was started with ignored (nohup) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
    sigaction(SIGALRM, &action, nullptr);
    itimerval timer{};
    timer.it_value.tv_sec = static_cast<time_t>(std::floor(seconds));
    timer.it_value.tv_usec = static_cast<suseconds_t>((seconds - std::floor(seconds)) * 1e6);
    if (timer.it_value.tv_sec == 0 && timer.it_value.tv_usec == 0) timer.it_value.tv_usec = 1;
    setitimer(ITIMER_REAL, &timer, nullptr);
}

double SecondsLeft() {
    return std::chrono::duration<double>(deadline - Clock::now()).count();
}

bool BeginOutput(const std::string& output, std::string& temporary, std::string& error) {
    const size_t slash = output.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : output.substr(0, slash + 1);
    const std::string name = "." + output.substr(slash + 1) + ".";
    // The handlers may run at any moment: they must know the name before the file exists.
    sigset_t held, previous;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGALRM}) sigaddset(&held, signal);
    sigprocmask(SIG_BLOCK, &held, &previous);
    // Opened for writing only (mkstemp would open it for reading too, which the program may no
    // longer do), with the mode of any new file of the user's.
    int fd = -1, made = EEXIST;
    const auto seed = static_cast<unsigned long>(Clock::now().time_since_epoch().count());
    for (unsigned long attempt = 0; fd < 0 && made == EEXIST && attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof(suffix), "%d-%lx", getpid(),
                      (seed + attempt * 7919) % 0xfffff);
        temporary = folder + name + suffix;
        Remember(temporary);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        made = errno;
    }
    if (fd >= 0)
        close(fd);
    else
        temporaryPath[0] = '\0';
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0) {
        error = "cannot write in " + (folder.empty() ? std::string(".") : folder) + " (" +
                std::strerror(made) + ")";
        return false;
    }
    return true;
}

bool FinishOutput(const std::string& temporary, const std::string& output, std::string& error) {
    if (std::rename(temporary.c_str(), output.c_str()) == 0) {
        temporaryPath[0] = '\0';
        return true;
    }
    error = "cannot write " + output + " (" + std::strerror(errno) + ")";
    AbandonOutput(temporary);
    return false;
}

void AbandonOutput(const std::string& temporary) {
    unlink(temporary.c_str());
    temporaryPath[0] = '\0';
}
