// Which files a process may still open, once it has said so: the kernel's Landlock, for programs
// that run on files nobody chose to open (a thumbnailer, on every file of a downloaded folder).
// The restriction holds for the rest of the process's life and for every process it starts, and
// restrictions stack: each one can only narrow what the ones before allowed. Looking a name up
// (stat) stays possible everywhere; opening, listing, creating, renaming and removing do not.
#pragma once

#include <string>
#include <vector>

// A folder (or a single file) and what may be done beneath it.
struct AllowedFiles {
    std::string path;
    bool read = false;   // open files for reading, list folders
    bool write = false;  // create, write, rename and remove files (never folders)
};

enum class FileAccess {
    Restricted,   // only what `allowed` names is open to the process now
    Unavailable,  // the kernel offers no Landlock: nothing changed
    Failed,       // a step failed (`error` says which): nothing changed
};

// Restricts the calling process (and what it starts) to `allowed`: everything else can no longer
// be opened for reading or writing, listed, created, renamed, removed or run. A path that does not
// exist is left out. Sets no-new-privileges, which the restriction needs.
FileAccess RestrictFileAccess(const std::vector<AllowedFiles>& allowed, std::string& error);
