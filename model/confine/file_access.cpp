#include "model/confine/file_access.h"

#include <fcntl.h>  // open, O_PATH
#include <linux/landlock.h>
#include <sys/prctl.h>    // PR_SET_NO_NEW_PRIVS
#include <sys/stat.h>     // S_ISDIR
#include <sys/syscall.h>  // glibc 2.36 has no wrappers for Landlock's calls
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>  // strerror

#include "model/confine/memory_limit.h"  // kAddressSanitized

namespace {

// Rights added after the first version of Landlock, by the version that added them; Debian 12's
// kernel headers name only some of them.
constexpr uint64_t kRefer = 1ULL << 13;     // version 2: link or rename across folders
constexpr uint64_t kTruncate = 1ULL << 14;  // version 3

constexpr uint64_t kRead = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
constexpr uint64_t kFileWrite = LANDLOCK_ACCESS_FS_WRITE_FILE;
constexpr uint64_t kFolderWrite = LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_REG;
// Everything else a process could do to files, refused to all.
constexpr uint64_t kNever = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_REMOVE_DIR |
                            LANDLOCK_ACCESS_FS_MAKE_CHAR | LANDLOCK_ACCESS_FS_MAKE_DIR |
                            LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO |
                            LANDLOCK_ACCESS_FS_MAKE_BLOCK | LANDLOCK_ACCESS_FS_MAKE_SYM;

FileAccess Failed(const std::string& step, int number, std::string& error) {
    error = step + " (" + std::strerror(number) + ")";
    return FileAccess::Failed;
}

// What may be done at `path` (a folder, or a single file, which takes file rights only).
uint64_t RightsAt(const AllowedFiles& allowed, bool folder, uint64_t handled) {
    uint64_t rights = 0;
    if (allowed.read) rights |= folder ? kRead : LANDLOCK_ACCESS_FS_READ_FILE;
    if (allowed.write) rights |= kFileWrite | kTruncate | (folder ? kFolderWrite : 0);
    return rights & handled;
}

}  // namespace

FileAccess RestrictFileAccess(const std::vector<AllowedFiles>& allowed, std::string& error) {
    const long version =
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (version < 1) {
        if (errno == ENOSYS || errno == EOPNOTSUPP) return FileAccess::Unavailable;
        return Failed("cannot ask for Landlock", errno, error);
    }
    landlock_ruleset_attr ruleset{};
    ruleset.handled_access_fs = kRead | kFileWrite | kFolderWrite | kNever |
                                (version >= 2 ? kRefer : 0) | (version >= 3 ? kTruncate : 0);
    const int rules =
        static_cast<int>(syscall(SYS_landlock_create_ruleset, &ruleset, sizeof(ruleset), 0));
    if (rules < 0) return Failed("cannot make a Landlock ruleset", errno, error);
    std::vector<AllowedFiles> named = allowed;
    // A sanitizer's runtime reads the process's own maps, for a report and the leak check.
    if (kAddressSanitized) named.push_back({"/proc", true, false});
    for (const AllowedFiles& files : named) {
        const int at = open(files.path.c_str(), O_PATH | O_CLOEXEC);
        if (at < 0) continue;  // nothing there to allow
        struct stat status {};
        landlock_path_beneath_attr beneath{};
        beneath.parent_fd = at;
        beneath.allowed_access = RightsAt(files, fstat(at, &status) == 0 && S_ISDIR(status.st_mode),
                                          ruleset.handled_access_fs);
        const long added =
            beneath.allowed_access == 0
                ? 0
                : syscall(SYS_landlock_add_rule, rules, LANDLOCK_RULE_PATH_BENEATH, &beneath, 0);
        const int addError = errno;
        close(at);
        if (added != 0) {
            close(rules);
            return Failed("cannot allow " + files.path, addError, error);
        }
    }
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        close(rules);
        return Failed("cannot give up gaining privileges", errno, error);
    }
    const long restricted = syscall(SYS_landlock_restrict_self, rules, 0);
    const int restrictError = errno;
    close(rules);
    if (restricted != 0) return Failed("cannot restrict its files", restrictError, error);
    return FileAccess::Restricted;
}
