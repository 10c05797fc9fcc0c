// Base class of every GL test: the program's own window and context on SDL's offscreen driver
// (Mesa's software renderer, no display), fresh for each test so that no GL state leaks between
// tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/platform.h"

class GLTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Takes the window and its context down, as the viewer does before it destroys the scene.
    void ReleaseContext();
    // RGBA bytes of the whole 64 x 64 colour buffer, bottom row first.
    std::vector<uint8_t> ReadPixels();

    static constexpr int kWidth = 64;
    static constexpr int kHeight = 64;

  private:
    GLWindow window_;
};
