// The program's message queue: the platform's window events, taken off one at a time without
// waiting, and the quit message that ends the frame loop.
//
// Messages keep the codes of the desktop messages they stand for, so the frame loop and the
// window procedure read as they would there. Window events become WM_ACTIVATE (low word of
// wParam: WA_ACTIVE or WA_INACTIVE; high word: non-zero while the window is minimised) or
// WM_CLOSE (a close request, or the system asking the program to end); anything else arrives
// as WM_NULL. WM_QUIT comes only from PostQuitMessage, after every event already queued.
#pragma once

#include <cstdint>

enum : uint32_t {
    WM_NULL = 0x0000,
    WM_ACTIVATE = 0x0006,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
};

enum : uint32_t {
    WA_INACTIVE = 0,
    WA_ACTIVE = 1,
};

struct Message {
    uint32_t message;  // WM_ code
    uint32_t wParam;   // for WM_QUIT, the exit code given to PostQuitMessage

    Message();  // WM_NULL, 0
};

inline uint32_t MakeWParam(uint32_t low, uint32_t high) {
    return (low & 0xFFFF) | (high << 16);
}
inline uint32_t HighWord(uint32_t value) {
    return value >> 16;
}

// Receives every message that DispatchMessage hands on.
using WindowProcedure = void (*)(const Message& message);

// Takes the next message off the queue without waiting; false when there is none.
bool PeekMessage(Message& message);
// Hands `message` to the window procedure of the window that exists (none: it is dropped).
void DispatchMessage(const Message& message);
// Queues WM_QUIT with `exitCode` as its wParam; it is taken after the events queued before it.
void PostQuitMessage(int32_t exitCode);

// The window procedure that DispatchMessage calls; the window sets it while it exists and
// clears it (null) when it goes.
void SetWindowProcedure(WindowProcedure procedure);
