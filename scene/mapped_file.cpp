#include "scene/mapped_file.h"

#include <cerrno>
#include <cstdint>  // uintptr_t
#include <cstring>  // strerror
#include <string>
#include <fcntl.h>     // open, O_NONBLOCK: a FIFO must not block the open
#include <sys/mman.h>  // mmap, madvise
#include <sys/stat.h>  // fstat, S_ISREG
#include <unistd.h>    // close

bool OpenMappedFile(const char* path, MappedFile& file) {
    file = MappedFile();
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool directory = S_ISDIR(info.st_mode);
        close(fd);
        errno = directory ? EISDIR : EINVAL;  // said by the tools that explain a refusal
        return false;
    }
    static const char kEmpty[1] = {0};
    file.data = kEmpty;
    file.size = static_cast<size_t>(info.st_size);
    if (file.size > 0) {
        void* mapping = mmap(nullptr, file.size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapping == MAP_FAILED) {
            close(fd);
            file = MappedFile();
            return false;
        }
        madvise(mapping, file.size, MADV_SEQUENTIAL);
        file.data = static_cast<const char*>(mapping);
        file.mappedSize = file.size;
    }
    close(fd);  // the mapping keeps the contents
    return true;
}

void ReleaseMappedPages(const MappedFile& file, const char* begin, const char* end) {
    if (file.mappedSize == 0) return;
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(begin) + page - 1) / page * page;
    const uintptr_t last = reinterpret_cast<uintptr_t>(end) / page * page;
    if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

void CloseMappedFile(MappedFile& file) {
    if (file.mappedSize > 0) munmap(const_cast<char*>(file.data), file.mappedSize);
    file = MappedFile();
}

bool OpenNamedFile(const char* path, MappedFile& file, LoadProblem* problem) {
    errno = 0;
    if (OpenMappedFile(path, file)) return true;
    if (problem != nullptr) {
        const int error = errno;
        *problem = LoadProblem();
        problem->file = path;
        problem->unopened = true;
        problem->message =
            "cannot be opened" + (error != 0 ? std::string(" (") + std::strerror(error) + ")" : "");
    }
    return false;
}
