// The platform: everything the rest of the program may ask of the desktop it runs on. The window
// with its OpenGL context and full-screen mode, the event queue, the keyboard, the pointer and the
// message boxes are all here, and this header is the whole of it.
//
// A port to another window system replaces the files in platform/sdl/ (window and context,
// events, keyboard, pointer, the drawing of a box) and nothing else; SDL is named only there.
// What every port shares stays in platform/: the window procedure's activation rule
// (window_procedure.cpp), the quit signals (quit_signals.cpp) and the box's process with the
// handler seam (message_box.cpp); platform/internal.h says what they ask of a port.
//
// The viewer was first made for a desktop whose window system hands out its messages one at a
// time and whose keyboard device reports all keys at once. Three of its behaviours are kept,
// because the frame loop and the controls are built on them: the loop takes at most one event per
// pass and runs a frame only when the queue is empty; the keyboard reads as 256 key states indexed
// by the key codes below; and the window counts as active unless it is minimised, whether or not
// it has the focus (the activation rule of WndProc).
#pragma once

#include <cstdint>

// ---- Message boxes --------------------------------------------------------------------------

enum class BoxButtons : uint8_t { Ok, YesNo };
enum class BoxIcon : uint8_t { None, Error, Warning };
enum class BoxAnswer : uint8_t { Ok, Yes, No };

// Shows a modal box without an owner window and waits for the answer. In a yes/no box Return
// answers Yes. Where no box can be shown, the caption and text go to standard error, with one line
// saying why, and the box's default answer (Ok, or No) is returned.
BoxAnswer ShowMessageBox(const char* text, const char* caption, BoxButtons buttons = BoxButtons::Ok,
                         BoxIcon icon = BoxIcon::None);
// Writes "caption: text" to standard error and returns the default answer without waiting: the
// handler of programs that no one watches.
BoxAnswer PrintMessageBox(const char* text, const char* caption, BoxButtons buttons, BoxIcon icon);

// A real box is shown by a process of its own, the program started again for it, so that a quit
// signal can take the box away (SDL waits for an answer without end). A program that shows real
// boxes calls this first thing in main: in a process started for a box it shows the box and
// ends there; otherwise it returns at once. A program that never calls it shows its boxes on
// standard error, as PrintMessageBox does.
void ServeMessageBoxes(int argc, char** argv);

// Tests and headless tools replace the boxes; null gives the platform's own boxes back.
using MessageBoxHandler = BoxAnswer (*)(const char* text, const char* caption, BoxButtons buttons,
                                        BoxIcon icon);
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// ---- Window and OpenGL context --------------------------------------------------------------

// The program's one window with its OpenGL context, in a window or full screen.
// Lifecycle: constructor, CreateWindowAndContext, SwapBuffers once per frame,
// DestroyWindowAndContext. The full-screen switch is DestroyWindowAndContext, ToggleFullscreen,
// CreateWindowAndContext.
struct GLWindow {
    void* renderingContext;  // current while the window exists; else null
    void* window;            // the platform's window; null while there is none
    bool fullscreen;         // the mode of the next CreateWindowAndContext

    GLWindow();  // no window, windowed
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;

    // Opens a window titled `title` at (0, 0) whose drawing area is `width` x `height`, with a
    // current double-buffered RGBA context of about `bits` colour bits (16: 5/6/5) and a depth
    // buffer of 16 bits or more, vertical sync where offered; hides the pointer and keeps the
    // screen saver off while the window exists. In full screen the display switches to a
    // `width` x `height` mode first. When the display refuses, the box "Fullscreen Mode Not
    // Supported, Use Windowed Mode Instead?" asks; Yes: `fullscreen` becomes false and a window is
    // made; No: the box "Application stopped!!!" and false, with no window. False as well, after
    // a box saying why, when the platform cannot make the window or the context. After false the
    // record is as before the call.
    bool CreateWindowAndContext(int32_t width, int32_t height, int32_t bits, const char* title);
    // Shows the frame drawn since the last swap.
    void SwapBuffers();
    // Restores the desktop's display mode, deletes the context, closes the window and shows the
    // pointer again. `fullscreen` keeps its value. Harmless when there is no window.
    void DestroyWindowAndContext();
    // Flips `fullscreen`; takes effect at the next CreateWindowAndContext.
    void ToggleFullscreen();
};

// True while some OpenGL context is current on this thread: GL objects can be deleted only then,
// otherwise they went with their context.
bool HasCurrentGLContext();

// Tests replace the display-mode change, to force a refusal or an acceptance on a display without
// the mode; null gives the platform's own back.
using DisplayModeSwitch = bool (*)(int32_t width, int32_t height, int32_t bits);
DisplayModeSwitch SetDisplayModeSwitch(DisplayModeSwitch change);

// ---- Events ---------------------------------------------------------------------------------

enum class EventType : uint8_t {
    Other,     // nothing the program reacts to
    Activate,  // the window was shown, minimised, restored, or gained or lost the focus
    Close,     // the window's close button, or the system asking the program to end
    Quit,      // posted by PostQuit; comes after every event queued before it
};

struct Event {
    EventType type;
    bool minimised;    // Activate: the window's state after the change
    int32_t exitCode;  // Quit: the code given to PostQuit

    Event();  // Other
};

// Takes the next event off the queue without waiting; false when there is none.
bool PollEvent(Event& event);
// Queues the Quit event with `exitCode`.
void PostQuit(int32_t exitCode);

// True while the window is not minimised; the frame loop draws only then. Starts true and is
// written by WndProc alone.
extern bool active;
// The one place that reacts to what happens to the window. Activate: `active` becomes true unless
// the window is minimised. Close: PostQuit(0), the window staying in place. Nothing else.
void WndProc(const Event& event);

// ---- Keyboard -------------------------------------------------------------------------------

// The codes of the keys the viewer binds: their place on a PC keyboard (its set-1 scan code, with
// bit 0x80 for the keys of the extended block).
enum KeyCode : uint8_t {
    kKeyEscape = 0x01,
    kKeyD = 0x20,
    kKeyF = 0x21,
    kKeyG = 0x22,
    kKeyC = 0x2E,
    kKeyF1 = 0x3B,
    kKeyArrowUp = 0xC8,
    kKeyPageUp = 0xC9,
    kKeyArrowLeft = 0xCB,
    kKeyArrowRight = 0xCD,
    kKeyEnd = 0xCF,
    kKeyArrowDown = 0xD0,
    kKeyPageDown = 0xD1,
};
// Bit of a key's state byte that is set while the key is down.
constexpr uint8_t kKeyDownBit = 0x80;

// A position on the screen, in pixels.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

// The keyboard of the window, read once per frame, and the pointer position of the last frame.
// Lifecycle: constructor, InitInput with the window, ReadKeyboard once per frame, ShutdownInput.
struct Input {
    void* window;       // the window whose keyboard is read; null while closed
    Point cursor;       // the pointer, written and read by the controls each frame
    uint8_t keys[256];  // the last read: kKeyDownBit in the byte of each key that was down

    Input();  // closed, all keys up

    // Binds the keyboard to the window. 1 on success; 0 when there is no window or the platform's
    // video is not running, and the record is then closed.
    int32_t InitInput(const GLWindow& glWindow);
    // Fills `keys`: a key reads down when it was down at any time since the previous read, so a
    // press and release between two reads is down for exactly one read, and a held key is down
    // in every read. While the window does not have the keyboard focus, or the record is closed,
    // all keys read up and the result is false.
    bool ReadKeyboard();
    // True while the window has the keyboard focus: the pointer is the viewer's only then.
    bool HasFocus() const;
    // Closes the record; harmless when it is closed already.
    void ShutdownInput();
};

// Tests replace the keyboard: the reader fills all 256 bytes and says whether the window had the
// keyboard; null gives the platform's own back.
using KeyboardReader = bool (*)(uint8_t keys[256]);
KeyboardReader SetKeyboardReader(KeyboardReader reader);

// ---- Pointer --------------------------------------------------------------------------------

// The pointer's position on the screen. Where the platform refuses to move the pointer
// (the offscreen driver, some compositors), SetPointerPosition keeps the position itself and
// GetPointerPosition moves it by the motion seen since, so that movement is still measured.
void GetPointerPosition(Point& position);
void SetPointerPosition(int32_t x, int32_t y);
