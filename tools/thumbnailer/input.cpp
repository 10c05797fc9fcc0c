#include "tools/thumbnailer/input.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>  // strerror

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// True when `text` starts as a URI does: a scheme ("file", "sftp", ...) and "://".
bool IsUri(const std::string& text) {
    const size_t end = text.find("://");
    if (end == std::string::npos || end == 0) return false;
    for (size_t i = 0; i < end; ++i) {
        const char c = text[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool InputPath(const std::string& input, std::string& path, std::string& error) {
    const std::string scheme = "file://";
    if (!IsUri(input)) {
        path = input;
        if (!path.empty()) return true;
        error = "no file named";
        return false;
    }
    if (input.compare(0, scheme.size(), scheme) != 0) {
        error = "only file:// URIs name files this program can read";
        return false;
    }
    const std::string rest = input.substr(scheme.size());
    const size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    if (slash == std::string::npos || !(host.empty() || host == "localhost")) {
        error = "a file:// URI of another machine";
        return false;
    }
    path.clear();
    for (size_t i = slash; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        const int high = i + 2 < rest.size() ? HexDigit(rest[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(rest[i + 2]) : -1;
        if (low < 0 || (high == 0 && low == 0)) {
            error = "a malformed escape in the URI";
            return false;
        }
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool IsModelFile(const std::string& path, std::string& error) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = errno == ENOENT ? "no such file" : std::strerror(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        error = "a folder, not a file";
    } else if (!S_ISREG(status.st_mode)) {
        error = "not a regular file";
    } else if (status.st_size == 0) {
        error = "an empty file";
    } else {
        return true;
    }
    return false;
}
