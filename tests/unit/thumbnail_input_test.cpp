// Guards how the thumbnailer reads the name of the file it is asked for.
#include <gtest/gtest.h>

#include <string>

#include "tools/thumbnailer/input.h"

// Catches a file:// URI whose escapes are not decoded (file managers escape spaces and every
// byte beyond ASCII), a local host refused, another machine's file or another scheme taken for a
// path here, a path with a colon taken for a URI, and an escaped NUL let into a path.
TEST(ThumbnailInput, PathsAndFileUris) {
    const struct {
        const char* input;
        const char* path;  // null: refused
    } cases[] = {
        {"file:///home/a/My%20Models/b%C3%A4r.stl", "/home/a/My Models/b\xc3\xa4r.stl"},
        {"file://localhost/tmp/m.ply", "/tmp/m.ply"},
        {"models/v2:final.obj", "models/v2:final.obj"},
        {"/tmp/100%.stl", "/tmp/100%.stl"},
        {"file://server/share/m.stl", nullptr},
        {"sftp://server/m.stl", nullptr},
        {"file:///tmp/bad%2", nullptr},
        {"file:///tmp/nul%00.stl", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        std::string path, error;
        const bool read = InputPath(c.input, path, error);
        EXPECT_EQ(read, c.path != nullptr) << c.input;
        if (read && c.path != nullptr) {
            EXPECT_EQ(path, c.path) << c.input;
        } else if (!read) {
            EXPECT_FALSE(error.empty()) << c.input;
        }
    }
}
