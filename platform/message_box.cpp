#include "platform/message_box.h"

#include <SDL.h>
#include <cstdio>  // fprintf to stderr when no box can be shown

namespace {

int ShowSdlMessageBox(const char* text, const char* caption, uint32_t style) {
    const bool yesNo = (style & 0x0F) == MB_YESNO;
    const SDL_MessageBoxButtonData okButton = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
        "OK"};
    const SDL_MessageBoxButtonData yesNoButtons[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
    };
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((style & 0xF0) == MB_ICONSTOP) flags = SDL_MESSAGEBOX_ERROR;
    if ((style & 0xF0) == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;

    SDL_MessageBoxData box = {};
    box.flags = flags;
    box.window = nullptr;  // no owner window
    box.title = caption;
    box.message = text;
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : &okButton;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
        return PrintMessageBox(text, caption, style);
    }
    return pressed;
}

MessageBoxHandler handler = ShowSdlMessageBox;

}  // namespace

int PrintMessageBox(const char* text, const char* caption, uint32_t style) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return (style & 0x0F) == MB_YESNO ? IDNO : IDOK;
}

int ShowMessageBox(const char* text, const char* caption, uint32_t style) {
    return handler(text, caption, style);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler replacement) {
    const MessageBoxHandler previous = handler;
    handler = replacement != nullptr ? replacement : ShowSdlMessageBox;
    return previous;
}
