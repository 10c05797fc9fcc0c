#include "model/confine/confined_read.h"

#include <fcntl.h>  // O_CLOEXEC, F_SETPIPE_SZ
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>     // the shared word of the stopped call
#include <sys/syscall.h>  // SYS_pidfd_open: glibc 2.36 declares pidfd_open for C only
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>  // min
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>   // snprintf
#include <cstdlib>  // realloc, free
#include <cstring>  // strerror, strsignal
#include <exception>
#include <new>  // set_new_handler
#include <vector>

#include "model/confine/interruption.h"
#include "model/confine/memory_limit.h"
#include "model/confine/model_wire.h"
#include "model/confine/reader_sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;

// An honest answer stays far below this: the reader's 4 GiB must hold both the model and its
// encoding.
constexpr size_t kMaxAnswerBytes = size_t{2} << 30;
// The answer's pipe holds this much, so that a large answer crosses in few turns of the two
// processes (Linux lets anyone ask for up to 1 MiB); reads take at least this much room.
constexpr int kPipeBytes = 1 << 20;
// Enough for any sanitizer's report; a reader that says more is cut short.
constexpr size_t kMaxDiagnosticBytes = 64 * 1024;

void OutOfMemory() {
    _exit(kOutOfMemoryStatus);
}

void WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // the parent is gone or stopped listening
        done += static_cast<size_t>(written);
    }
}

// The child: confines itself, reads, answers and ends without running anything of the parent's
// (no return into its code, no handlers at exit).
[[noreturn]] void RunReader(int answer, int diagnostics, pid_t parent, const std::string& path,
                            double seconds, const std::string& onlyFolder, ModelReader reader,
                            volatile int* stoppedCall) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ConfineReader(answer, diagnostics, parent, seconds, onlyFolder, stoppedCall, error)) {
        bytes = EncodeRefusal("the model reader could not be confined: " + error, {});
    } else {
        std::set_new_handler(OutOfMemory);
        try {
            ModelData model;
            bytes = reader(path, model, error) ? EncodeModelData(model)
                                               : EncodeRefusal(error, model.warnings);
        } catch (const std::exception& exception) {
            bytes = EncodeRefusal(exception.what(), {});
        } catch (...) {  // nothing may unwind into the parent's code
            bytes = EncodeRefusal("the model reader failed", {});
        }
    }
    WriteAll(kAnswerDescriptor, bytes);
    // Closed now, so that the importer goes on while the kernel frees this process's memory.
    for (int fd : {kAnswerDescriptor, 1, 2}) close(fd);
    _exit(0);
}

// The parent's ends of the child's pipes and of the child itself.
struct ChildEnds {
    pid_t child = -1;
    int answer = -1;                      // the answer's pipe
    int diagnostics = -1;                 // the child's standard output and error
    int ended = -1;                       // pidfd: readable once the child has ended
    volatile int* stoppedCall = nullptr;  // shared with the child: the call it was stopped for
    bool quiet = false;                   // its messages dropped
};

// The answer as it arrives: grown by realloc, which moves a large block by remapping its pages
// rather than copying them, and never filling what is not read yet.
struct AnswerBytes {
    AnswerBytes() = default;
    ~AnswerBytes() { std::free(data); }
    AnswerBytes(const AnswerBytes&) = delete;
    AnswerBytes& operator=(const AnswerBytes&) = delete;

    uint8_t* data = nullptr;
    size_t size = 0;      // bytes read
    size_t capacity = 0;  // bytes allocated
};

// How the child's run went, as the parent saw it.
struct Watched {
    AnswerBytes bytes;       // all it wrote, when it was not stopped early
    bool late = false;       // killed at the deadline
    bool oversized = false;  // killed for writing more than kMaxAnswerBytes, or than memory holds
    int status = 0;          // from waitpid, once it has ended
};

int Milliseconds(Clock::duration left) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms < 0 ? 0 : ms > 3600000 ? 3600000 : static_cast<int>(ms);
}

// Reads one piece of the answer; false at its end.
bool ReadAnswer(int fd, Watched& watched) {
    AnswerBytes& bytes = watched.bytes;
    if (bytes.capacity - bytes.size < kPipeBytes) {
        const size_t capacity = 2 * bytes.capacity + kPipeBytes;
        void* grown = std::realloc(bytes.data, capacity);
        if (grown == nullptr) {
            watched.oversized = true;
            return false;
        }
        bytes.data = static_cast<uint8_t*>(grown);
        bytes.capacity = capacity;
    }
    const ssize_t got = read(fd, bytes.data + bytes.size, bytes.capacity - bytes.size);
    if (got > 0) bytes.size += static_cast<size_t>(got);
    return got > 0 || (got < 0 && errno == EINTR);
}

// Passes one piece of the child's messages on to standard error (unless `quiet`), the first
// kMaxDiagnosticBytes of them; false at their end.
bool PassDiagnostics(int fd, bool quiet, size_t& passed) {
    char piece[4096];
    const ssize_t got = read(fd, piece, sizeof(piece));
    if (got <= 0) return got < 0 && errno == EINTR;
    if (quiet) return true;
    const size_t pass = std::min(static_cast<size_t>(got), kMaxDiagnosticBytes - passed);
    if (pass > 0 && write(2, piece, pass) > 0) passed += pass;
    return true;
}

// Kills and reaps the child, then ends the process, when `interruption` (polled on
// InterruptionDescriptor) says a held signal has arrived.
void EndIfAsked(const pollfd& interruption, pid_t child) {
    if (interruption.revents == 0) return;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EndIfInterrupted();
}

// Waits until `fd` is readable; false, after killing the child, when the deadline passes first.
bool AwaitReadable(int fd, pid_t child, Clock::time_point deadline) {
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {InterruptionDescriptor(), POLLIN, 0}};
        const int ready = poll(fds, 2, Milliseconds(deadline - Clock::now()));
        EndIfAsked(fds[1], child);
        if (fds[0].revents != 0) return true;
        if ((ready == 0 && Clock::now() >= deadline) || (ready < 0 && errno != EINTR)) {
            kill(child, SIGKILL);
            return false;
        }
    }
}

// Reads what the child writes, while it writes (so that it never waits on a full pipe), until it
// has closed both pipes, as it does at its end; kills it at the deadline or when it writes too
// much.
void Watch(const ChildEnds& ends, Clock::time_point deadline, Watched& watched) {
    bool answering = true, talking = true;
    size_t passed = 0;
    while (answering || talking) {
        pollfd fds[3] = {{answering ? ends.answer : -1, POLLIN, 0},
                         {talking ? ends.diagnostics : -1, POLLIN, 0},
                         {InterruptionDescriptor(), POLLIN, 0}};
        const int ready = poll(fds, 3, Milliseconds(deadline - Clock::now()));
        EndIfAsked(fds[2], ends.child);
        if (fds[0].revents != 0) answering = ReadAnswer(ends.answer, watched);
        if (fds[1].revents != 0) talking = PassDiagnostics(ends.diagnostics, ends.quiet, passed);
        watched.oversized = watched.oversized || watched.bytes.size > kMaxAnswerBytes;
        watched.late = (ready == 0 && Clock::now() >= deadline) || (ready < 0 && errno != EINTR);
        if (watched.oversized || watched.late) {
            kill(ends.child, SIGKILL);
            return;
        }
    }
}

// Waits for the child's end (killing it at the deadline) and reaps it.
void AwaitEnd(const ChildEnds& ends, Clock::time_point deadline, Watched& watched) {
    if (!AwaitReadable(ends.ended, ends.child, deadline)) watched.late = true;
    while (waitpid(ends.child, &watched.status, 0) < 0 && errno == EINTR) {
    }
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g s", seconds);
    return text;
}

std::string SignalName(int signal) {
    std::string name = strsignal(signal);
    if (!name.empty() && name[0] >= 'A' && name[0] <= 'Z')
        name[0] = static_cast<char>(name[0] + 32);
    return "signal " + std::to_string(signal) + ": " + name;
}

// Why the child gave no model, from how it ended; empty when it ended well and its answer is to
// be read.
std::string Ending(const Watched& watched, int stoppedCall, double seconds) {
    const int status = watched.status;
    if (watched.late || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)) {
        return "the model reader did not finish within " + Seconds(seconds);
    }
    if (watched.oversized) return "the model reader sent more than the importer can hold (2 GiB)";
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGKILL) return "the model reader was killed (" + SignalName(signal) + ")";
        return "the model reader crashed on this file (" + SignalName(signal) + ")";
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == kOutOfMemoryStatus) return kOutOfMemory;
    if (code == kStoppedStatus) {
        return "the model reader was stopped by its sandbox for calling " + CallName(stoppedCall) +
               ", which reading a model never needs";
    }
    if (code != 0) {
        return "the model reader ended with status " + std::to_string(code) + " and no answer";
    }
    return "";
}

// Starts the reader; false, with `error` saying why, when it could not be started and watched.
bool StartReader(const std::string& path, double seconds, const std::string& onlyFolder,
                 ModelReader reader, ChildEnds& ends, std::string& error) {
    // With SIGCHLD ignored, as some programs start others, the child would be reaped unasked and
    // how it ended lost.
    signal(SIGCHLD, SIG_DFL);
    int answer[2] = {-1, -1}, diagnostics[2] = {-1, -1};
    if (pipe2(answer, O_CLOEXEC) == 0 && pipe2(diagnostics, O_CLOEXEC) == 0) {
        fcntl(answer[0], F_SETPIPE_SZ, kPipeBytes);  // smaller when refused: slower, no worse
        const pid_t parent = getpid();
        ends.child = fork();
        if (ends.child == 0) {
            RunReader(answer[1], diagnostics[1], parent, path, seconds, onlyFolder, reader,
                      ends.stoppedCall);
        }
    }
    const int startError = errno;
    ends.answer = answer[0];
    ends.diagnostics = diagnostics[0];
    for (int fd : {answer[1], diagnostics[1]}) {
        if (fd >= 0) close(fd);
    }
    if (ends.child < 0) {
        error = std::string("cannot start the model reader (") + std::strerror(startError) + ")";
        return false;
    }
    // Readable once the child has ended, so that poll() can wait for its end.
    ends.ended = static_cast<int>(syscall(SYS_pidfd_open, ends.child, 0));
    if (ends.ended >= 0) return true;
    error = std::string("cannot watch the model reader (") + std::strerror(errno) + ")";
    kill(ends.child, SIGKILL);
    waitpid(ends.child, nullptr, 0);
    return false;
}

// The child's answer once it has given one, or why it gave none.
WireAnswer FinishReading(const ChildEnds& ends, Clock::time_point deadline, double seconds,
                         ModelData& model, std::string& error) {
    Watched run;
    Watch(ends, deadline, run);
    const WireAnswer answer = run.late || run.oversized
                                  ? WireAnswer::Malformed
                                  : DecodeModelData(run.bytes.data, run.bytes.size, model, error);
    if (answer != WireAnswer::Malformed) {
        // A whole answer: what remains of the child is the kernel freeing its memory, which is
        // not waited for. Killed all the same, in case it meant to stay.
        kill(ends.child, SIGKILL);
        waitpid(ends.child, nullptr, WNOHANG);
        return answer;
    }
    const std::string malformed = error;
    AwaitEnd(ends, deadline, run);
    error = Ending(run, *ends.stoppedCall, seconds);
    if (error.empty()) error = "the model reader sent malformed data (" + malformed + ")";
    model = ModelData();
    return answer;
}

}  // namespace

bool ReadConfined(const std::string& path, double seconds, ModelReader reader, ModelData& model,
                  std::string& error, const ReaderConfinement& confinement) {
    model = ModelData();
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                          std::chrono::duration<double>(seconds));
    // Where the child's SIGSYS handler leaves the number of the call it was stopped for.
    void* shared =
        mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        error = std::string("cannot start the model reader (") + std::strerror(errno) + ")";
        return false;
    }
    ChildEnds ends;
    ends.stoppedCall = static_cast<volatile int*>(shared);
    ends.quiet = confinement.quiet;
    *ends.stoppedCall = -1;
    const bool read = StartReader(path, seconds, confinement.onlyFolder, reader, ends, error) &&
                      FinishReading(ends, deadline, seconds, model, error) == WireAnswer::Model;
    for (int fd : {ends.answer, ends.diagnostics, ends.ended}) {
        if (fd >= 0) close(fd);
    }
    munmap(shared, sizeof(int));
    return read;
}
