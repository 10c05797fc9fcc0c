#include "tests/unit/message_box_recorder.h"

#include "platform/message_box.h"

namespace {
std::vector<RecordedBox> boxes;
int answer = 0;  // 0: the default answer of the box's kind

int Record(const char* text, const char* caption, uint32_t style) {
    boxes.push_back({text, caption, style});
    if (answer != 0) return answer;
    return (style & 0x0F) == MB_YESNO ? IDNO : IDOK;
}
}  // namespace

std::vector<RecordedBox>& RecordedBoxes() {
    return boxes;
}

std::string RecordedBoxesText() {
    std::string text;
    for (const RecordedBox& box : boxes) text += box.caption + ": " + box.text + "\n";
    return text;
}

void SetMessageBoxAnswer(int value) {
    answer = value;
}

void ResetMessageBoxRecorder() {
    SetMessageBoxHandler(Record);
    boxes.clear();
    answer = 0;
}
