// Base class of every GL test: a real OpenGL context with no display (SDL's offscreen driver
// on Mesa's software renderer), fresh for each test so that no GL state leaks between tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct SDL_Window;

class GLTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Leaves no context current (and deletes it), as after the window has gone.
    void ReleaseContext();
    // RGBA bytes of the whole 64 x 64 colour buffer, bottom row first.
    std::vector<uint8_t> ReadPixels();

    static constexpr int kWidth = 64;
    static constexpr int kHeight = 64;

  private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
};
