#include <SDL.h>

#include <cstdio>  // fprintf to stderr when no box can be shown

#include "platform/platform.h"

namespace {

BoxAnswer DefaultAnswer(BoxButtons buttons) {
    return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
}

BoxAnswer ShowSdlMessageBox(const char* text, const char* caption, BoxButtons buttons,
                            BoxIcon icon) {
    const SDL_MessageBoxButtonData okButton = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
        static_cast<int>(BoxAnswer::Ok), "OK"};
    const SDL_MessageBoxButtonData yesNoButtons[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(BoxAnswer::Yes), "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(BoxAnswer::No), "No"},
    };
    const bool yesNo = buttons == BoxButtons::YesNo;
    SDL_MessageBoxData box = {};
    box.flags = icon == BoxIcon::Error     ? SDL_MESSAGEBOX_ERROR
                : icon == BoxIcon::Warning ? SDL_MESSAGEBOX_WARNING
                                           : SDL_MESSAGEBOX_INFORMATION;
    box.window = nullptr;  // no owner window
    box.title = caption;
    box.message = text;
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : &okButton;
    for (;;) {
        int pressed = -1;
        if (SDL_ShowMessageBox(&box, &pressed) != 0) {
            // Said on a line of its own, so that a missing display or X font shows in a terminal
            // and in test logs instead of passing for a box that nobody answered.
            std::fprintf(stderr, "(no message box could be shown: %s)\n", SDL_GetError());
            return PrintMessageBox(text, caption, buttons, icon);
        }
        return pressed >= 0 ? static_cast<BoxAnswer>(pressed) : DefaultAnswer(buttons);
    }
}

MessageBoxHandler handler = ShowSdlMessageBox;

}  // namespace

BoxAnswer PrintMessageBox(const char* text, const char* caption, BoxButtons buttons, BoxIcon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return DefaultAnswer(buttons);
}

BoxAnswer ShowMessageBox(const char* text, const char* caption, BoxButtons buttons, BoxIcon icon) {
    return handler(text, caption, buttons, icon);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler replacement) {
    const MessageBoxHandler previous = handler;
    handler = replacement != nullptr ? replacement : ShowSdlMessageBox;
    return previous;
}
