// GL state read back as doubles, whatever GL keeps it as, so that one array literal can state
// what a test expects of an enum, a flag, a colour or a matrix alike.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>

template <std::size_t N = 1>
std::array<double, N> GLGet(GLenum name) {
    std::array<double, N> values{};
    glGetDoublev(name, values.data());
    return values;
}
