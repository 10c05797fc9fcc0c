// Records the message boxes the code under test shows, instead of blocking on them.
// test_main installs the recorder for every test and clears it before each one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RecordedBox {
    std::string text;
    std::string caption;
    uint32_t style;
};

std::vector<RecordedBox>& RecordedBoxes();
// Caption and text of every box recorded, one per line: what a failed step told the user.
std::string RecordedBoxesText();
// The answer the next boxes get (IDOK for OK boxes by default, IDNO for yes/no boxes).
void SetMessageBoxAnswer(int answer);
void ResetMessageBoxRecorder();
