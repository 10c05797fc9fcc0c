// Runs one of the project's programs from the build directory, as a user would from a shell.
#pragma once

#include <string>

// quorvane-shot as the tests run it: the same program, built with the tests (tests/CMakeLists.txt
// says why).
constexpr const char* kShotTool = "tests/quorvane_shot_tested";
// quorvane-thumbnailer, the same way.
constexpr const char* kThumbnailerTool = "tests/quorvane_thumbnailer_tested";

// Runs `program` (a file name in the build directory) with `args`, already quoted for the shell,
// in `directory`, after the shell assignments in `environment`, its output (both streams) into
// the file `log`; killed after two minutes. Its exit status; -1 when it did not exit by itself.
int RunTool(const std::string& program, const std::string& args, const std::string& directory,
            const std::string& log, const std::string& environment = "");
