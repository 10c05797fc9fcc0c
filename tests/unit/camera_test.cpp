// Guards the camera file: field order and forgiving reads. A camera file that cannot be opened is
// the hostile-input table's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/camera.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/temp_dir.h"

namespace {
std::vector<float> Fields(const Camera& c) {
    return {c.x, c.y, c.z, c.pitch, c.yaw, c.heading};
}
}  // namespace

// Catches heading read first (it is the record's first field but the file's last value), and
// angles reduced or words after the six values taken as a fault.
TEST(Camera, ReadsSixValuesWithHeadingLast) {
    TempDir dir;
    Camera camera;
    ASSERT_EQ(camera.LoadCamera(dir.Write("c.cam", "1 2 3\n720 -90 30 extra words").c_str()), 0);
    EXPECT_TRUE(camera.loaded);
    EXPECT_EQ(Fields(camera), (std::vector<float>{1, 2, 3, 720, -90, 30}));
    EXPECT_TRUE(RecordedBoxes().empty());
}

// Catches uninitialised or stale values after a short or malformed file, a box for it, and values
// after the fault read anyway.
TEST(Camera, ShortOrMalformedFilesLoadWithZeros) {
    TempDir dir;
    const struct {
        std::string text;
        float x, y;  // the values before the fault
    } cases[] = {
        {"", 0, 0}, {"5 6", 5, 6}, {"5 6 word 8 9 10", 5, 6}, {std::string(9, '\0'), 0, 0}};
    for (const auto& c : cases) {
        Camera camera;
        camera.heading = camera.yaw = camera.pitch = camera.z = 99.0f;
        ASSERT_EQ(camera.LoadCamera(dir.Write("c.cam", c.text).c_str()), 0) << c.text.c_str();
        EXPECT_TRUE(camera.loaded);
        EXPECT_EQ(Fields(camera), (std::vector<float>{c.x, c.y, 0, 0, 0, 0})) << c.text.c_str();
    }
    EXPECT_TRUE(RecordedBoxes().empty());
}
