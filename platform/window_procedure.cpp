#include "platform/platform.h"

bool active = true;

void WndProc(const Event& event) {
    switch (event.type) {
        case EventType::Activate:
            active = !event.minimised;
            break;
        case EventType::Close:
            PostQuit(0);
            break;
        default:
            break;
    }
}
