// The confinement of the model reader's process (confined_read.h forks it). Once confined it can
// open files for reading only, write only to the pipes of its answer and its messages, and can
// neither reach the network nor start a program or a thread; its memory, processor time, file
// size and open files are capped, and it dies with the importer. A call its filter does not allow
// ends it at once, with exit status kStoppedStatus and the call's number left for the importer.
#pragma once

#include <sys/types.h>  // pid_t

#include <string>

// Exit statuses of a reader that could not go on; 0 is an answer sent.
constexpr int kStoppedStatus = 120;      // made a call its filter does not allow
constexpr int kOutOfMemoryStatus = 121;  // an allocation failed

// The descriptor the answer's pipe is moved to.
constexpr int kAnswerDescriptor = 3;

// Confines the calling process, a single-threaded child of `parent` that writes its answer to
// the pipe `answer` and its messages to the pipe `diagnostics`: the first becomes
// kAnswerDescriptor, the second standard output and error, standard input reads nothing, and
// every other descriptor is closed. Its processor time is capped at about `seconds`. When a
// forbidden call stops it, the call's number is stored in `*stoppedCall` (memory the parent
// sees). With `onlyFolder` named, it can open nothing but what lies beneath that folder, where
// the kernel offers Landlock (file_access.h). False, with `error` saying why, when a step fails:
// the process must then not read the model.
bool ConfineReader(int answer, int diagnostics, pid_t parent, double seconds,
                   const std::string& onlyFolder, volatile int* stoppedCall, std::string& error);

// The name of system call `number` of this machine, for reports ("socket"); the number when it
// has none.
std::string CallName(int number);
