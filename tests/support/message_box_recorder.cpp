#include "tests/support/message_box_recorder.h"

namespace {
std::vector<RecordedBox> boxes;
BoxAnswer answer = BoxAnswer::No;

BoxAnswer Record(const char* text, const char* caption, BoxButtons buttons, BoxIcon icon) {
    boxes.push_back({text, caption, buttons, icon});
    return buttons == BoxButtons::YesNo ? answer : BoxAnswer::Ok;
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

void SetMessageBoxAnswer(BoxAnswer value) {
    answer = value;
}

void ResetMessageBoxRecorder() {
    SetMessageBoxHandler(Record);
    boxes.clear();
    answer = BoxAnswer::No;
}
