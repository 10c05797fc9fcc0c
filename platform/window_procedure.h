// The window procedure: the one place that reacts to what happens to the window.
//
// It talks to the frame loop only through `active` and the quit message.
#pragma once

#include "platform/message_queue.h"

// True while the window is not minimised; the frame loop draws only then. Starts true and is
// written by WndProc alone.
extern bool active;

// WM_ACTIVATE: `active` becomes true when the high word of wParam (minimised) is 0, false
// otherwise; the low word is not looked at. WM_CLOSE: posts the quit message with code 0 and
// leaves the window in place. Every other message needs nothing more than SDL did already.
void WndProc(const Message& message);
