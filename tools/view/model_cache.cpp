#include "tools/view/model_cache.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>  // sort
#include <cctype>     // isalnum
#include <cerrno>
#include <cstdio>
#include <cstdlib>  // getenv
#include <cstring>  // strerror
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const char* const kStampFile = "import.stamp";
// The viewer's output in a scene folder (and its temporary files while it is replaced): no part
// of the demo.
const char* const kReport = "data/report.log";

// A stable name from a path: FNV-1a, 64 bits.
std::string Digest(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(hash));
    return out;
}

// Size, inode and both change times: replacing or rewriting the file changes one of them.
bool Identity(const std::string& path, std::string& identity, std::string& error) {
    struct stat about;
    if (stat(path.c_str(), &about) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream out;
    out << about.st_dev << ":" << about.st_ino << " " << about.st_size << " bytes, modified "
        << about.st_mtim.tv_sec << "." << about.st_mtim.tv_nsec << ", changed "
        << about.st_ctim.tv_sec << "." << about.st_ctim.tv_nsec;
    identity = out.str();
    return true;
}

bool NameCacheRoot(std::string& root, std::string& error) {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        root = std::string(xdg) + "/quorvane";
    } else if (home != nullptr && home[0] == '/') {
        root = std::string(home) + "/.cache/quorvane";
    } else {
        error = "no cache folder: neither XDG_CACHE_HOME nor HOME names an absolute path";
        return false;
    }
    return true;
}

// The demo's files as paths relative to `demo` ("data/demo.scn", ...), in order.
bool ListDemoFiles(const std::string& demo, std::vector<std::string>& files, std::string& error) {
    std::error_code failure;
    fs::recursive_directory_iterator entry(fs::path(demo) / "data", failure), end;
    for (; !failure && entry != end; entry.increment(failure)) {
        std::error_code notFile;
        if (!entry->is_regular_file(notFile)) continue;
        const std::string file = entry->path().lexically_relative(demo).string();
        if (file.compare(0, std::strlen(kReport), kReport) != 0) files.push_back(file);
    }
    if (failure) {
        error = demo + "/data: " + failure.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    return true;
}

std::string ReadStamp(const std::string& folder) {
    std::ifstream in(folder + "/" + kStampFile, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the importer and waits for it; its exit status, or -1 when it could not be started or
// did not exit by itself.
int RunImporter(const std::string& importer, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(importer.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        execv(importer.c_str(), argv.data());
        std::fprintf(stderr, "quorvane-view: cannot run %s: %s\n", importer.c_str(),
                     std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes the cache folder again with `make`, which writes the folder (it does not exist then)
// and returns 0 when it is whole, or else its exit status, with `error` when it has more to say.
// The out-of-date folder is moved aside first and removed; the stamp comes last.
int Remake(const CachedScene& cached, const std::function<int(std::string& error)>& make,
           std::string& error) {
    std::error_code failure;
    fs::create_directories(fs::path(cached.folder).parent_path(), failure);
    const std::string old = cached.folder + ".old-" + std::to_string(getpid());
    if (std::rename(cached.folder.c_str(), old.c_str()) != 0 && errno != ENOENT) {
        error = "cannot move the old " + cached.folder + " aside (" + std::strerror(errno) + ")";
        return 1;
    }
    fs::remove_all(old, failure);
    const int status = make(error);
    if (status != 0) return status;
    // The stamp comes last: a folder without one is never taken as current.
    const std::string stampFile = cached.folder + "/" + kStampFile;
    const std::string partial = stampFile + ".partial";
    std::ofstream stamp(partial, std::ios::binary | std::ios::trunc);
    stamp << cached.stamp;
    stamp.close();
    if (!stamp || std::rename(partial.c_str(), stampFile.c_str()) != 0) {
        error = "cannot write " + stampFile;
        return 1;
    }
    return 0;
}

}  // namespace

bool LocateCache(const std::string& model, const std::string& importer,
                 const std::vector<std::string>& options, CachedScene& cached, std::string& error) {
    std::error_code failure;
    const fs::path absolute = fs::absolute(model, failure).lexically_normal();
    std::string modelIdentity, importerIdentity;
    if (failure || !Identity(absolute.string(), modelIdentity, error) ||
        !Identity(importer, importerIdentity, error)) {
        if (failure) error = model + ": " + failure.message();
        return false;
    }
    std::string root;
    if (!NameCacheRoot(root, error)) return false;
    std::string stem = absolute.stem().string();
    for (char& c : stem) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
    }
    cached.folder = root + "/" + stem.substr(0, 40) + "-" + Digest(absolute.string());
    cached.stamp = "model " + absolute.string() + "\n" + modelIdentity + "\nimporter " + importer +
                   "\n" + importerIdentity + "\noptions";
    for (const std::string& option : options) cached.stamp += " " + option;
    cached.stamp += "\n";
    return true;
}

bool LocateDemoCopy(const std::string& demo, CachedScene& cached, std::string& error) {
    std::error_code failure;
    const fs::path absolute = fs::absolute(demo, failure).lexically_normal();
    if (failure) {
        error = demo + ": " + failure.message();
        return false;
    }
    std::vector<std::string> files;
    std::string root;
    if (!ListDemoFiles(absolute.string(), files, error) || !NameCacheRoot(root, error)) {
        return false;
    }
    cached.folder = root + "/demo";
    cached.stamp = "demo " + absolute.string() + "\n";
    for (const std::string& file : files) {
        std::string identity;
        if (!Identity((absolute / file).string(), identity, error)) return false;
        cached.stamp += file + " " + identity + "\n";
    }
    return true;
}

bool IsCurrent(const CachedScene& cached) {
    std::error_code failure;
    return fs::is_regular_file(cached.folder + "/data/demo.scn", failure) &&
           ReadStamp(cached.folder) == cached.stamp;
}

int ImportIntoCache(const std::string& model, const std::string& importer,
                    const std::vector<std::string>& options, const CachedScene& cached,
                    std::string& error) {
    // The importer writes the folder into a temporary one and renames it into place whole.
    return Remake(
        cached,
        [&](std::string& why) {
            std::vector<std::string> arguments = {model, cached.folder};
            arguments.insert(arguments.end(), options.begin(), options.end());
            const int status = RunImporter(importer, arguments);
            if (status < 0) why = "the importer " + importer + " did not end by itself";
            return status < 0 ? 1 : status;
        },
        error);
}

int CopyDemoIntoCache(const std::string& demo, const CachedScene& cached, std::string& error) {
    std::vector<std::string> files;
    if (!ListDemoFiles(demo, files, error)) return 1;
    return Remake(
        cached,
        [&](std::string& why) {
            std::error_code failure;
            for (const std::string& file : files) {
                const fs::path to = fs::path(cached.folder) / file;
                fs::create_directories(to.parent_path(), failure);
                if (!failure) fs::copy_file(fs::path(demo) / file, to, failure);
                if (failure) {
                    why =
                        "cannot copy " + file + " into " + cached.folder + ": " + failure.message();
                    return 1;
                }
            }
            return 0;
        },
        error);
}
