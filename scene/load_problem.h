// Where and why a file was refused; filled by the readers for the tools that explain refusals.
#pragma once

#include <cstddef>
#include <string>

struct LoadProblem {
    size_t offset = 0;     // byte offset of the offending token in its file
    std::string message;   // what is wrong, in words
    bool warning = false;  // true for something the viewer accepts but a scene author should know
};
