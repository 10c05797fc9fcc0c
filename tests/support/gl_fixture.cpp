#include "tests/support/gl_fixture.h"

#include <GL/gl.h>

#include "tests/support/message_box_recorder.h"

void GLTest::SetUp() {
    // 8 bits a channel, so that colours read back exactly.
    ASSERT_TRUE(window_.CreateWindowAndContext(kWidth, kHeight, 32, "test")) << RecordedBoxesText();
    glViewport(0, 0, kWidth, kHeight);
}

void GLTest::TearDown() {
    ReleaseContext();
}

void GLTest::ReleaseContext() {
    window_.DestroyWindowAndContext();
}

std::vector<uint8_t> GLTest::ReadPixels() {
    std::vector<uint8_t> pixels(kWidth * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
