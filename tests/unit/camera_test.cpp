// Guards the camera file: field order, forgiving reads, and the box for a missing file.
#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "scene/camera.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

// Catches heading read first (it is the record's first field but the file's last value).
TEST(Camera, ReadsSixValuesWithHeadingLast) {
    TempDir dir;
    Camera camera;
    ASSERT_EQ(camera.LoadCamera(dir.Write("c.cam", "1 2 3 10 20 30 extra words").c_str()), 0);
    EXPECT_TRUE(camera.loaded);
    EXPECT_EQ(camera.x, 1.0f);
    EXPECT_EQ(camera.y, 2.0f);
    EXPECT_EQ(camera.z, 3.0f);
    EXPECT_EQ(camera.pitch, 10.0f);
    EXPECT_EQ(camera.yaw, 20.0f);
    EXPECT_EQ(camera.heading, 30.0f);

    ASSERT_EQ(camera.LoadCamera(dir.Write("d.cam", "0 1.5 10\n720 -90 0\n").c_str()), 0);
    EXPECT_EQ(camera.y, 1.5f);
    EXPECT_EQ(camera.pitch, 720.0f) << "angles are stored as they are";
    EXPECT_EQ(camera.yaw, -90.0f);
    EXPECT_TRUE(RecordedBoxes().empty());
}

// Catches uninitialised or stale values after a short or malformed file.
TEST(Camera, ShortOrMalformedFilesLoadWithZeros) {
    TempDir dir;
    const std::string texts[] = {"", "5 6", "5 6 word 8 9 10", std::string(10, '\0')};
    for (const std::string& text : texts) {
        Camera camera;
        camera.heading = camera.yaw = camera.z = 99.0f;
        ASSERT_EQ(camera.LoadCamera(dir.Write("c.cam", text).c_str()), 0) << text.c_str();
        EXPECT_TRUE(camera.loaded);
        EXPECT_EQ(camera.z, 0.0f) << text.c_str();
        EXPECT_EQ(camera.yaw, 0.0f) << text.c_str();
        EXPECT_EQ(camera.heading, 0.0f) << text.c_str();
    }
    Camera partial;
    partial.LoadCamera(dir.Write("p.cam", "5 6 word 8 9 10").c_str());
    EXPECT_EQ(partial.y, 6.0f);
    EXPECT_EQ(partial.pitch, 0.0f) << "values after the fault read 0";
    EXPECT_TRUE(RecordedBoxes().empty());
}

TEST(Camera, MissingFileShowsItsBoxAndStaysUnloaded) {
    TempDir dir;
    Camera camera;
    EXPECT_EQ(camera.LoadCamera((dir / "none.cam").c_str()), 1);
    EXPECT_FALSE(camera.loaded);
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].text, "Camera could not be loaded!");
    EXPECT_EQ(RecordedBoxes()[0].caption, "Quorvane OpenGL");
}
