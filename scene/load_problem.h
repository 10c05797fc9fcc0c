// What a reader found wrong, for the application to tell the user: which file, where, why, and
// which of the loaders' message boxes the viewer shows for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The box a refused load calls for (the texts are the application's).
enum class LoadBox : uint8_t {
    Scene,    // the scene file cannot be opened or is malformed
    Object,   // an object file cannot be opened or is malformed
    Texture,  // a texture file cannot be loaded
    Camera,   // the camera file cannot be opened
};

struct LoadProblem {
    std::string file;       // the file the place is in
    size_t offset = 0;      // byte offset of the offending token in `file`
    int line = 0;           // line and column (from 1) of `offset`; 0 when the problem has no
    int column = 0;         // place in the file (it could not be opened)
    std::string message;    // what is wrong, in words
    bool warning = false;   // true for something the viewer accepts but a scene author should know
    bool unopened = false;  // the file could not be opened at all
    LoadBox box = LoadBox::Scene;
};
