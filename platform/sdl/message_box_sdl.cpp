#include <SDL.h>

#include <cstdio>   // fprintf to stderr when no box can be shown
#include <cstdlib>  // _Exit

#include "platform/internal.h"
#include "platform/platform.h"

[[noreturn]] void ShowBoxAndExit(const char* description, const char* caption) {
    const bool yesNo = description[0] == 'y';
    const char iconCode = description[0] != '\0' ? description[1] : 'n';
    const SDL_MessageBoxButtonData okButton = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
        static_cast<int>(BoxAnswer::Ok), "OK"};
    // A question is answered by a choice: Escape picks neither button.
    const SDL_MessageBoxButtonData yesNoButtons[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(BoxAnswer::Yes), "Yes"},
        {0, static_cast<int>(BoxAnswer::No), "No"},
    };
    SDL_MessageBoxData box = {};
    box.flags = iconCode == 'e'   ? SDL_MESSAGEBOX_ERROR
                : iconCode == 'w' ? SDL_MESSAGEBOX_WARNING
                                  : SDL_MESSAGEBOX_INFORMATION;
    box.window = nullptr;  // no owner window
    box.title = caption;
    box.message = description[0] != '\0' && description[1] != '\0' ? description + 2 : "";
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : &okButton;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        std::fprintf(stderr, "(no message box could be shown: %s)\n", SDL_GetError());
        PrintMessageBox(box.message, caption, yesNo ? BoxButtons::YesNo : BoxButtons::Ok,
                        BoxIcon::None);
        std::_Exit(kBoxPrinted);
    }
    std::_Exit(pressed < 0 ? kBoxClosed : kBoxAnswerBase + pressed);
}
