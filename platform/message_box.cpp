#include <poll.h>      // poll: the answer or a quit signal, whichever comes first
#include <signal.h>    // kill
#include <spawn.h>     // posix_spawn: the box's own process
#include <sys/wait.h>  // waitpid
#include <unistd.h>

#include <cerrno>
#include <cstdio>   // fprintf to stderr when no box can be shown
#include <cstdlib>  // getenv
#include <cstring>  // memcpy, strcmp
#include <string>
#include <vector>

#include "platform/internal.h"
#include "platform/platform.h"

extern char** environ;

// A box is shown by a process of its own: this program again, started with the box in its
// environment. SDL waits for an answer without end and without looking at signals, and a box
// shown from a fork of this process would share its X connection; a fresh process has neither
// problem, and a quit signal to the viewer can take its box away.
namespace {

constexpr const char* kBoxVariable = "QUORVANE_MESSAGE_BOX";  // buttons and icon, then text
constexpr const char* kCaptionVariable = "QUORVANE_MESSAGE_BOX_CAPTION";
constexpr const char kBoxProcessName[] = "quorvane-message-box";  // its argv[0]
constexpr int kBoxNotShown = -1;  // the process could not run, or a quit signal ended it

BoxAnswer DefaultAnswer(BoxButtons buttons) {
    return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
}

// Set by ServeMessageBoxes: the program knows to show a box when started for one.
bool served = false;

// The exit status of the box's process, or kBoxNotShown.
int RunBoxProcess(const char* text, const char* caption, BoxButtons buttons, BoxIcon icon) {
    const std::string description = std::string(buttons == BoxButtons::YesNo ? "y" : "o") +
                                    (icon == BoxIcon::Error     ? "e"
                                     : icon == BoxIcon::Warning ? "w"
                                                                : "n") +
                                    text;
    std::vector<std::string> settings = {std::string(kBoxVariable) + "=" + description,
                                         std::string(kCaptionVariable) + "=" + caption};
    std::vector<char*> environment;
    for (std::string& setting : settings) environment.push_back(setting.data());
    for (char** entry = environ; *entry != nullptr; ++entry) environment.push_back(*entry);
    environment.push_back(nullptr);
    char name[sizeof kBoxProcessName];
    std::memcpy(name, kBoxProcessName, sizeof name);
    char* arguments[] = {name, nullptr};
    // A process group of its own, so that the process SDL forks to draw the box goes with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = -1;
    const int spawned =
        posix_spawn(&child, "/proc/self/exe", nullptr, &attributes, arguments, environment.data());
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        std::fprintf(stderr, "(no message box could be shown: cannot start its process)\n");
        return kBoxNotShown;
    }
    int status = 0;
    pollfd signal = {QuitSignalDescriptor(), POLLIN, 0};
    for (;;) {
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child) break;
        if (QuitSignalled()) {
            kill(-child, SIGTERM);  // nobody is there to answer any more
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) continue;
            std::fprintf(stderr, "(message box taken away: the program was asked to end)\n");
            return kBoxNotShown;
        }
        poll(&signal, 1, 50);  // woken at once by a signal, else it looks again soon
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : kBoxNotShown;
}

BoxAnswer ShowPlatformMessageBox(const char* text, const char* caption, BoxButtons buttons,
                                 BoxIcon icon) {
    // Started again, a program that does not serve boxes would run its whole self instead.
    if (!served) return PrintMessageBox(text, caption, buttons, icon);
    for (;;) {
        const int outcome =
            QuitSignalled() ? kBoxNotShown : RunBoxProcess(text, caption, buttons, icon);
        if (outcome >= kBoxAnswerBase) return static_cast<BoxAnswer>(outcome - kBoxAnswerBase);
        // Closed by the window manager: that acknowledges a notice but answers no question.
        if (outcome == kBoxClosed && buttons == BoxButtons::YesNo) continue;
        if (outcome == kBoxClosed) return BoxAnswer::Ok;
        if (outcome == kBoxPrinted) return DefaultAnswer(buttons);
        return PrintMessageBox(text, caption, buttons, icon);
    }
}

MessageBoxHandler handler = ShowPlatformMessageBox;

}  // namespace

void ServeMessageBoxes(int argc, char** argv) {
    const char* description = std::getenv(kBoxVariable);
    const char* caption = std::getenv(kCaptionVariable);
    if (argc > 0 && std::strcmp(argv[0], kBoxProcessName) == 0 && description != nullptr &&
        caption != nullptr) {
        ShowBoxAndExit(description, caption);
    }
    served = true;
}

BoxAnswer PrintMessageBox(const char* text, const char* caption, BoxButtons buttons, BoxIcon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return DefaultAnswer(buttons);
}

BoxAnswer ShowMessageBox(const char* text, const char* caption, BoxButtons buttons, BoxIcon icon) {
    return handler(text, caption, buttons, icon);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler replacement) {
    const MessageBoxHandler previous = handler;
    handler = replacement != nullptr ? replacement : ShowPlatformMessageBox;
    return previous;
}
