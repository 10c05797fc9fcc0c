#include "app/messages.h"

#include "platform/platform.h"

void ShowLoadBox(const LoadProblem& problem) {
    switch (problem.box) {
        case LoadBox::Scene:
            ShowMessageBox(kSceneLoadError, kLoaderCaption);
            return;
        case LoadBox::Object:
            ShowMessageBox(kObjectLoadError, kLoaderCaption);
            return;
        case LoadBox::Texture:
            ShowMessageBox(kTextureLoadError, kTextureCaption);
            return;
        case LoadBox::Camera:
            ShowMessageBox(kCameraLoadError, kLoaderCaption);
            return;
    }
}

std::string FormatLoadProblem(const LoadProblem& problem) {
    // A problem without a place in its file is about the whole of it: its first character.
    const int line = problem.line > 0 ? problem.line : 1;
    const int column = problem.column > 0 ? problem.column : 1;
    return problem.file + ":" + std::to_string(line) + ":" + std::to_string(column) +
           (problem.warning ? ": warning: " : ": error: ") + problem.message;
}
