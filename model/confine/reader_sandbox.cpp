#include "model/confine/reader_sandbox.h"

#include <fcntl.h>    // open, O_* flags the filter looks at
#include <seccomp.h>  // libseccomp: the filter
#include <signal.h>
#include <sys/prctl.h>     // PR_SET_PDEATHSIG, PR_SET_NO_NEW_PRIVS
#include <sys/resource.h>  // setrlimit
#include <sys/syscall.h>   // SYS_exit_group
#include <sys/ioctl.h>     // TCGETS
#include <unistd.h>

#include <cerrno>
#include <cmath>    // ceil
#include <cstdlib>  // free
#include <cstring>  // strerror
#include <vector>

#include "model/confine/file_access.h"
#include "model/confine/memory_limit.h"

namespace {

// What reading a model needs, with or without a sanitizer: the calls the readers of every file
// of assimp-testmodels make, and the few abort() needs. Calls that take a descriptor can reach
// only what the reader opened itself: its two pipes are the only others it has. Opening, writing
// and fcntl are allowed further below, with their arguments checked.
const int kAllowed[] = {
    // Memory: malloc and new take it with brk and mmap and give it back with munmap and madvise;
    // realloc of a large block moves it with mremap.
    SCMP_SYS(brk),
    SCMP_SYS(mmap),
    SCMP_SYS(munmap),
    SCMP_SYS(madvise),
    SCMP_SYS(mremap),
    // Files once open: the model, the files it names (OBJ materials, glTF buffers, ...) and its
    // pictures, read through stdio, iostreams and mapped memory.
    SCMP_SYS(read),
    SCMP_SYS(lseek),
    SCMP_SYS(close),
    // Files by name: whether one exists and is a regular file (glibc's stat and fstat both), and
    // the model's folder listed for a picture named in another letter case.
    SCMP_SYS(newfstatat),
    SCMP_SYS(getdents64),
    // Locks: libstdc++ and glibc take them even with one thread.
    SCMP_SYS(futex),
    // abort(), from a failed assertion or an exception nothing catches, ends the process by
    // SIGABRT: it unblocks the signal, resets its handler and raises it (tgkill, allowed below
    // on this process only), so that the importer can say the reader crashed.
    SCMP_SYS(rt_sigprocmask),
    SCMP_SYS(rt_sigaction),
    SCMP_SYS(getpid),
    SCMP_SYS(gettid),
    // Ending.
    SCMP_SYS(exit_group),
};

// What the sanitizers' runtime needs besides, in sanitizer builds only (AddressSanitizer comes
// with UndefinedBehaviorSanitizer here): UndefinedBehaviorSanitizer tells readable memory from
// unreadable by writing it into a pipe of its own (so writing is allowed to any descriptor), and a
// report runs on the alternate signal stack, finds the program by /proc/self/exe and its modules
// by /proc/self/maps (opened with open, for reading only) and asks whether standard error is a
// terminal (ioctl TCGETS) to choose its colours.
const int kSanitizerAllowed[] = {SCMP_SYS(pipe), SCMP_SYS(pipe2), SCMP_SYS(write),
                                 SCMP_SYS(sigaltstack), SCMP_SYS(readlink)};

// Any flag that could create, change or write a file. O_TMPFILE is written with O_DIRECTORY in
// it, which opening a folder to list it needs.
constexpr uint64_t kWritingFlags =
    O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND | O_EXCL | (O_TMPFILE & ~O_DIRECTORY);

volatile int* stoppedCallWord = nullptr;

void OnForbiddenCall(int, siginfo_t* info, void*) {
    if (stoppedCallWord != nullptr) *stoppedCallWord = info->si_syscall;
    // The system call itself: a sanitizer's _exit makes calls of its own, which would be
    // forbidden too.
    syscall(SYS_exit_group, kStoppedStatus);
}

bool Failed(const std::string& step, int number, std::string& error) {
    error = step + " (" + std::strerror(number) + ")";
    return false;
}

// The answer on kAnswerDescriptor, standard output and error on the diagnostics' pipe (so that
// the file size limit does not stop a message when the importer's standard error is a file),
// nothing to read on standard input, everything else closed.
bool ArrangeDescriptors(int answer, int diagnostics, std::string& error) {
    // Out of the way first: either may be numbered 0 to 3 when the importer was started with a
    // standard descriptor closed.
    const int answerCopy = fcntl(answer, F_DUPFD, 10);
    const int diagnosticsCopy = fcntl(diagnostics, F_DUPFD, 10);
    if (answerCopy < 0 || diagnosticsCopy < 0 || dup2(answerCopy, kAnswerDescriptor) < 0 ||
        dup2(diagnosticsCopy, 1) < 0 || dup2(diagnosticsCopy, 2) < 0) {
        return Failed("cannot arrange its descriptors", errno, error);
    }
    if (close_range(kAnswerDescriptor + 1, ~0U, 0) != 0) {
        for (int fd = kAnswerDescriptor + 1; fd < 1024; ++fd) close(fd);
    }
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing < 0 || dup2(nothing, 0) < 0) return Failed("cannot open /dev/null", errno, error);
    if (nothing > kAnswerDescriptor) close(nothing);
    return true;
}

// Lowers both limits of `resource`, never raising one.
bool Lower(int resource, rlim_t soft, rlim_t hard, const char* what, std::string& error) {
    rlimit limit;
    if (getrlimit(resource, &limit) != 0) return Failed(what, errno, error);
    if (limit.rlim_max > hard) limit.rlim_max = hard;
    limit.rlim_cur = soft < limit.rlim_max ? soft : limit.rlim_max;
    return setrlimit(resource, &limit) == 0 || Failed(what, errno, error);
}

bool LimitResources(double seconds, std::string& error) {
    CapMemory();
    // The parent's clock ends the reader after `seconds`; this is the reader's own end should the
    // parent be stopped. Processor time never exceeds the time of a single thread.
    const rlim_t cpu = static_cast<rlim_t>(std::ceil(seconds)) + 1;
    return Lower(RLIMIT_CPU, cpu, cpu + 1, "cannot cap its processor time", error) &&
           Lower(RLIMIT_FSIZE, 0, 0, "cannot forbid writing files", error) &&
           Lower(RLIMIT_NOFILE, 32, 32, "cannot cap its open files", error) &&
           Lower(RLIMIT_CORE, 0, 0, "cannot forbid a core file", error);
}

// One condition on argument `index` of a call, every field set (libseccomp's SCMP_A0.. macros leave
// the second datum to the compiler, which clang warns of).
scmp_arg_cmp Argument(unsigned index, scmp_compare op, scmp_datum_t a, scmp_datum_t b = 0) {
    scmp_arg_cmp condition;
    condition.arg = index;
    condition.op = op;
    condition.datum_a = a;
    condition.datum_b = b;
    return condition;
}

bool LoadFilter(std::string& error) {
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_TRAP);
    if (filter == nullptr) return Failed("cannot make its system call filter", ENOMEM, error);
    int status = seccomp_attr_set(filter, SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS);
    for (int call : kAllowed) {
        if (status == 0) status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0);
    }
    // Opening for reading only.
    if (status == 0) {
        status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(openat), 1,
                                  Argument(2, SCMP_CMP_MASKED_EQ, kWritingFlags, 0));
    }
    // Writing the answer to its pipe, and messages to standard output and error (the diagnostics'
    // pipe, which the importer passes on to its own standard error): a reader's own, and glibc's
    // last words (writev) when it finds its heap corrupted and aborts.
    for (int fd : {kAnswerDescriptor, 1, 2}) {
        if (status == 0 && !kAddressSanitized) {
            status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(write), 1,
                                      Argument(0, SCMP_CMP_EQ, static_cast<scmp_datum_t>(fd)));
        }
        if (status == 0 && fd != kAnswerDescriptor) {
            status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(writev), 1,
                                      Argument(0, SCMP_CMP_EQ, static_cast<scmp_datum_t>(fd)));
        }
    }
    if (kAddressSanitized) {
        if (status == 0) {
            status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(open), 1,
                                      Argument(1, SCMP_CMP_MASKED_EQ, kWritingFlags, 0));
        }
        if (status == 0) {
            status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(ioctl), 1,
                                      Argument(1, SCMP_CMP_EQ, static_cast<scmp_datum_t>(TCGETS)));
        }
        for (int call : kSanitizerAllowed) {
            if (status == 0) status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0);
        }
    }
    // Listing a folder (fdopendir) asks how its descriptor was opened and marks it close-on-exec.
    for (int command : {F_GETFL, F_GETFD, F_SETFD}) {
        if (status == 0) {
            status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(fcntl), 1,
                                      Argument(1, SCMP_CMP_EQ, static_cast<scmp_datum_t>(command)));
        }
    }
    // Raising a signal on itself (abort).
    if (status == 0) {
        status = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1,
                                  Argument(0, SCMP_CMP_EQ, static_cast<scmp_datum_t>(getpid())));
    }
    if (status == 0) status = seccomp_load(filter);
    seccomp_release(filter);
    return status == 0 || Failed("cannot load its system call filter", -status, error);
}

}  // namespace

bool ConfineReader(int answer, int diagnostics, pid_t parent, double seconds,
                   const std::string& onlyFolder, volatile int* stoppedCall, std::string& error) {
    // Dies with the importer, also when the importer died before this line.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
        return Failed("cannot follow the importer", errno, error);
    }
    if (getppid() != parent) return Failed("cannot follow the importer", ESRCH, error);
    if (!ArrangeDescriptors(answer, diagnostics, error) || !LimitResources(seconds, error)) {
        return false;
    }
    if (!onlyFolder.empty()) {
        if (RestrictFileAccess({{onlyFolder, true, false}}, error) == FileAccess::Failed) {
            return false;
        }
    }
    stoppedCallWord = stoppedCall;
    struct sigaction action {};
    action.sa_sigaction = OnForbiddenCall;
    action.sa_flags = SA_SIGINFO;
    if (sigaction(SIGSYS, &action, nullptr) != 0) {
        return Failed("cannot watch for forbidden calls", errno, error);
    }
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        return Failed("cannot give up gaining privileges", errno, error);
    }
    return LoadFilter(error);
}

std::string CallName(int number) {
    char* name = seccomp_syscall_resolve_num_arch(SCMP_ARCH_NATIVE, number);
    const std::string named = name != nullptr ? name : "system call " + std::to_string(number);
    std::free(name);
    return named;
}
