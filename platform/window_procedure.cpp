#include "platform/window_procedure.h"

bool active = true;

void WndProc(const Message& message) {
    switch (message.message) {
        case WM_ACTIVATE:
            active = HighWord(message.wParam) == 0;
            break;
        case WM_CLOSE:
            PostQuitMessage(0);
            break;
        default:
            break;
    }
}
