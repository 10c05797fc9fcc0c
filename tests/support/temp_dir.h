// A fresh temporary directory per test, removed afterwards, with helpers to write files in it.
#pragma once

#include <string>

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Full path of `name` inside the directory.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Writes `contents` to `name` (created or replaced) and returns its full path.
    std::string Write(const std::string& name, const std::string& contents) const;

  private:
    std::string path_;
};

// The whole contents of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
