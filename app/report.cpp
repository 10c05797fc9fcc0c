#include "app/report.h"

#include <cerrno>
#include <cstdio>   // snprintf, rename, remove
#include <cstdlib>  // mkstemp
#include <string>

#include <sys/stat.h>  // umask, fchmod: the report gets the permissions of a plain new file
#include <unistd.h>    // write, fsync, close

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

// mkstemp creates its file with mode 0600; a report should be readable like any other file the
// user creates, so it gets 0666 less the umask, as an ordinary open would give it.
void GivePlainFileMode(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

}  // namespace

void WriteReport(const Scene& scene, const char* path) {
    char text[256];
    const int length =
        std::snprintf(text, sizeof text,
                      "Total used vertexes: %d\n"
                      "Total rendered faces: %d\n\n"
                      "Total rendered objects: %d\n\n"
                      "Average fps : for now unknown, not enough i suppose ;-)",
                      static_cast<int>(scene.worldVertexCount),
                      static_cast<int>(scene.worldFaceCount), static_cast<int>(scene.objectCount));
    if (length < 0 || static_cast<size_t>(length) >= sizeof text) return;

    // The new report goes to a temporary file beside the old one and is renamed over it only
    // once it is complete on disk, so a failure part-way leaves the earlier report whole.
    std::string temporary = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return;
    GivePlainFileMode(fd);
    bool complete = WriteAll(fd, text, static_cast<size_t>(length)) && fsync(fd) == 0;
    complete = close(fd) == 0 && complete;
    if (!complete || std::rename(temporary.c_str(), path) != 0) std::remove(temporary.c_str());
}
