// Read-only view of a whole file, mapped into memory so that the readers parse it in place. Text
// files and TGA images are both read through it.
#pragma once

#include <cstddef>

#include "scene/load_problem.h"

struct MappedFile {
    const char* data = nullptr;  // size bytes, not terminated; null only while nothing is open
    size_t size = 0;
    size_t mappedSize = 0;  // bytes mapped, 0 when data points at nothing of our own
};

// Opens and maps a regular file. False when it cannot be opened: missing, unreadable, a
// directory, a device or pipe (which could block or never end), or a file that cannot be mapped;
// errno then says why.
bool OpenMappedFile(const char* path, MappedFile& file);
// OpenMappedFile for a reader: when the file cannot be opened, `problem` (when given) names it,
// says why ("cannot be opened (No such file or directory)") and has no place in it.
bool OpenNamedFile(const char* path, MappedFile& file, LoadProblem* problem);
// Gives back the memory of the pages wholly inside [begin, end), a range of `file`; read again,
// they come back from the file. A large file read once then does not stay resident beside what
// was made of it.
void ReleaseMappedPages(const MappedFile& file, const char* begin, const char* end);
// Unmaps the file; harmless on a file that is not open.
void CloseMappedFile(MappedFile& file);
