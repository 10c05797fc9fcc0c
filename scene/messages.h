// The texts and captions of the message boxes that loading shows.
#pragma once

constexpr const char* kLoaderCaption = "Quorvane OpenGL";
constexpr const char* kSceneLoadError = "Scene could not be loaded!";
constexpr const char* kObjectLoadError = "Object could not be loaded!";
constexpr const char* kCameraLoadError = "Camera could not be loaded!";
constexpr const char* kTextureLoadError = "Texture load error";
constexpr const char* kTextureCaption = "Error";
