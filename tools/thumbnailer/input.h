// The file a thumbnail is asked for: file managers name it by a file:// URI, people by a path.
#pragma once

#include <string>

// The local path that `input` names: `input` itself, or the path of a file:// URI (an empty or
// "localhost" host, %XX escapes decoded). False, with `error` saying why, for another scheme or
// host, or a path that cannot be a file's.
bool InputPath(const std::string& input, std::string& path, std::string& error);

// True when `path` is a regular file with something in it; otherwise false, with `error` saying
// what it is instead ("no such file", "a folder, not a file", "an empty file", ...).
bool IsModelFile(const std::string& path, std::string& error);
