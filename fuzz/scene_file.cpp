// Any bytes as a scene file, over a fixed directory of good and bad object, texture and camera
// files with short names: the viewer's loader and the checker must agree, and nothing may crash,
// leak or read out of bounds. GL is not involved (the scene is loaded, not compiled).
#include <unistd.h>  // chdir, mkdtemp

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/scene_check.h"
#include "platform/platform.h"
#include "render/scene_render.h"
#include "render/texture_set.h"
#include "scene/scene.h"
#include "tests/support/tga_bytes.h"  // the tests' one TGA builder

namespace {

void Write(const char* name, const std::string& contents) {
    FILE* file = std::fopen(name, "wb");
    if (file == nullptr) std::abort();
    std::fwrite(contents.data(), 1, contents.size(), file);
    std::fclose(file);
}

std::string Tga(int depth, size_t pixelBytes) {
    return TgaBytes(2, 1, depth, std::string(pixelBytes, '\x40'));
}

BoxAnswer Silent(const char*, const char*, BoxButtons, BoxIcon) {
    return BoxAnswer::Ok;
}

// The files the fuzzed scene names: a, b (objects), t, u (textures), c (camera), and bad ones.
bool MakeWorkingDirectory() {
    char pattern[] = "/tmp/quorvane-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) return false;
    Write("a", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2 0");
    Write("b", "4 2 1 2 3 1 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 1 1 1 1 1 0 1 2 1 1 2 3 5");
    Write("x", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 3 0");  // a corner out of range
    Write("t", Tga(24, 6));
    Write("u", Tga(32, 8));
    Write("v", Tga(24, 5));  // one byte short
    Write("c", "0 1.7 5 0 0 0");
    Write("d", "1 2 word");
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetMessageBoxHandler(Silent);
    if (!MakeWorkingDirectory()) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Write("s", std::string(reinterpret_cast<const char*>(data), size));
    const SceneCheck check = CheckScene("s");
    Scene scene;
    const bool failed = scene.LoadScene("s", LoadTexture);
    if (failed == check.loadable) __builtin_trap();  // the checker and the viewer disagree
    DestroyScene(scene);
    return 0;
}
