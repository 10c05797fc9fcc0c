#include "app/report.h"

#include <fcntl.h>     // open
#include <sys/stat.h>  // stat, umask, fchmod
#include <unistd.h>    // write, fsync, close, readlink, access

#include <cerrno>
#include <cstdio>   // rename, remove
#include <cstdlib>  // mkstemp
#include <string>

namespace {

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// The file a path names in the end: a symbolic link is written through to its target (which may
// not exist yet), as any editor would, rather than replaced by a plain file.
std::string FollowLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        char target[4096];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0) return path;  // not a link (or nothing there yet)
        target[length] = '\0';
        path = target[0] == '/' ? std::string(target) : DirectoryOf(path) + "/" + target;
    }
    return path;  // a loop of links: the open below fails on it
}

enum class Replacement { Done, Failed, NoTemporary };

// The new report goes to a temporary file beside the old one and is renamed over it only once it
// is complete on disk, so that a failure part-way leaves the earlier report whole.
Replacement ReplaceByRename(const std::string& path, const std::string& text, mode_t mode) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return Replacement::NoTemporary;
    fchmod(fd, mode);  // mkstemp's 0600 is not what a report should get
    bool complete = WriteAll(fd, text.data(), text.size()) && fsync(fd) == 0;
    complete = close(fd) == 0 && complete;
    if (complete && std::rename(temporary.c_str(), path.c_str()) == 0) return Replacement::Done;
    std::remove(temporary.c_str());
    return Replacement::Failed;
}

void WriteInPlace(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return;
    WriteAll(fd, text.data(), text.size());
    close(fd);
}

}  // namespace

std::string FormatTotals(int64_t vertexCount, int64_t faceCount, int64_t objectCount, bool spaced) {
    return "Total used vertexes: " + std::to_string(vertexCount) +
           "\nTotal rendered faces: " + std::to_string(faceCount) + (spaced ? "\n\n" : "\n") +
           "Total rendered objects: " + std::to_string(objectCount) + "\n";
}

void WriteReport(const Scene& scene, const char* path) {
    const std::string report =
        FormatTotals(scene.worldVertexCount, scene.worldFaceCount, scene.objectCount, true) +
        "\nAverage fps : for now unknown, not enough i suppose ;-)";

    const std::string target = FollowLinks(path);
    struct stat info = {};
    const bool exists = stat(target.c_str(), &info) == 0;
    // A report the user made read-only, or may not be written by us, is left as it is; so is
    // anything that is not a plain file.
    if (exists && (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 ||
                   access(target.c_str(), W_OK) != 0)) {
        return;
    }
    // Renaming gives the file our ownership: a report of someone else's is written in place.
    if (!exists || info.st_uid == geteuid()) {
        const mode_t mask = umask(0);
        umask(mask);
        const mode_t mode = exists ? (info.st_mode & 07777) : (0666 & ~mask);
        if (ReplaceByRename(target, report, mode) != Replacement::NoTemporary) return;
    }
    // No temporary file can be made beside it (a read-only directory): written in place.
    WriteInPlace(target, report);
}
