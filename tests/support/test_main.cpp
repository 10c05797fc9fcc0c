// Test entry: GL tests run on SDL's offscreen driver, and no test ever blocks on a message box.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/message_box_recorder.h"

namespace {
class RecorderListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ResetMessageBoxRecorder(); }
};
}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    ResetMessageBoxRecorder();
    ::testing::UnitTest::GetInstance()->listeners().Append(new RecorderListener);
    return RUN_ALL_TESTS();
}
