// The one place that shows the system's modal message boxes.
//
// Styles and answers keep the values of the desktop message box they stand for, so the callers
// name a box exactly as it is meant to look. Where no display can be opened, the caption and
// text go to standard error and the default answer is returned.
#pragma once

#include <cstdint>

enum : uint32_t {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONEXCLAMATION = 0x30,
};

enum : int {
    IDOK = 1,
    IDYES = 6,
    IDNO = 7,
};

// Shows the box and waits until the user closes it; returns the button pressed. For a yes/no
// box, Return answers Yes and Escape answers No.
int ShowMessageBox(const char* text, const char* caption, uint32_t style);

// Writes "caption: text" to standard error and returns the box's default answer (OK; No for a
// yes/no box) without waiting. The fallback where no box can be shown, and the handler of
// programs that no one watches.
int PrintMessageBox(const char* text, const char* caption, uint32_t style);

// Tests replace the real boxes with a handler that records them instead of blocking.
using MessageBoxHandler = int (*)(const char* text, const char* caption, uint32_t style);
// Installs `handler` (null: the platform's own boxes again) and returns the one it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
