// Records the message boxes the code under test shows, instead of blocking on them.
// test_main installs the recorder for every test and clears it before each one.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

struct RecordedBox {
    std::string text;
    std::string caption;
    BoxButtons buttons;
    BoxIcon icon;
};

std::vector<RecordedBox>& RecordedBoxes();
// Caption and text of every box recorded, one per line: what a failed step told the user.
std::string RecordedBoxesText();
// The answer the next yes/no boxes get (No by default).
void SetMessageBoxAnswer(BoxAnswer answer);
void ResetMessageBoxRecorder();
