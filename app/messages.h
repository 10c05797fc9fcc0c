// The texts and captions of the message boxes that loading shows, and the one place that shows
// them for a refused load.
#pragma once

#include <string>

#include "scene/load_problem.h"

constexpr const char* kLoaderCaption = "Quorvane OpenGL";
constexpr const char* kSceneLoadError = "Scene could not be loaded!";
constexpr const char* kObjectLoadError = "Object could not be loaded!";
constexpr const char* kCameraLoadError = "Camera could not be loaded!";
constexpr const char* kTextureLoadError = "Texture load error";
constexpr const char* kTextureCaption = "Error";

// The box `problem.box` calls for: a plain OK box without an owner window.
void ShowLoadBox(const LoadProblem& problem);
// "file:line:column: error: message" (or "warning:"); line and column 1 for a problem that has
// no place in its file.
std::string FormatLoadProblem(const LoadProblem& problem);
