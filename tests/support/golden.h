// Golden images: pictures drawn by quorvane-shot, compared with the committed ones in
// tests/golden/.
//
// Tolerance: a channel may differ by up to kChannelTolerance, and at most one pixel in
// kPixelsPerOutlier beyond that. Mesa's software renderer draws the same bytes on every run here
// (also with one thread or 128-bit vectors); the margin is for another CPU or Mesa release,
// where rounding in filtering and fog can move a channel by one and an edge by a pixel.
// QUORVANE_UPDATE_GOLDENS=1 makes the comparison rewrite the golden instead
// (tools/scripts/update-goldens.sh).
#pragma once

#include <string>

#include "tools/image/image.h"

constexpr int kChannelTolerance = 2;
constexpr long kPixelsPerOutlier = 1000;

// Reads a PNG file, failing the test when it cannot.
Image LoadPng(const std::string& path);

// Where a test leaves its picture NAME, so that a mismatch can be looked at (the folder exists).
std::string Rendered(const std::string& name);

// Compares Rendered(NAME) with tests/golden/NAME.png, or replaces the golden with it when
// QUORVANE_UPDATE_GOLDENS is 1.
void ExpectMatchesGolden(const std::string& name);
