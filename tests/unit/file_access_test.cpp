// Guards the restriction of a process to the files it names (Landlock), where the kernel offers it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "model/confine/file_access.h"
#include "tests/support/temp_dir.h"

namespace {

// Each check's answer, from a child that restricted itself (the test process must stay free).
enum Exit { kAllRight = 0, kUnavailable = 10, kWrong = 11 };

bool Opens(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC, 0600);
    if (fd >= 0) close(fd);
    return fd >= 0;
}

}  // namespace

// Catches reads allowed outside the folder named (or refused inside it, or beneath it), writing
// allowed where only reading was, a file created, renamed or removed elsewhere, and a restriction
// that a later one can widen again.
TEST(FileAccess, OnlyWhatIsNamed) {
    TempDir dir;
    const std::string inside = dir.Write("in/deep/model.obj", "v 0 0 0\n");
    const std::string outside = dir.Write("out/secret.txt", "secret");
    dir.Write("written/old.png", "old");
    const pid_t child = fork();
    if (child == 0) {
        std::string error;
        const FileAccess access = RestrictFileAccess(
            {{dir / "in", true, false}, {dir / "written", false, true}, {dir / "gone", true, true}},
            error);
        if (access == FileAccess::Unavailable) _exit(kUnavailable);
        const bool right =
            access == FileAccess::Restricted && Opens(inside, O_RDONLY) &&
            Opens(dir / "in/deep", O_RDONLY | O_DIRECTORY) && !Opens(outside, O_RDONLY) &&
            !Opens(inside, O_WRONLY) && !Opens(dir / "in/new", O_WRONLY | O_CREAT) &&
            Opens(dir / "written/new.png", O_WRONLY | O_CREAT | O_EXCL) &&
            !Opens(dir / "written/old.png", O_RDONLY) &&
            std::rename((dir / "written/new.png").c_str(), (dir / "written/old.png").c_str()) ==
                0 &&
            std::rename((dir / "written/old.png").c_str(), (dir / "in/moved").c_str()) != 0 &&
            unlink(outside.c_str()) != 0 && !Opens(dir / "out/new", O_WRONLY | O_CREAT) &&
            RestrictFileAccess({{dir / "out", true, true}}, error) == FileAccess::Restricted &&
            !Opens(outside, O_RDONLY);
        _exit(right ? kAllRight : kWrong);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kUnavailable) GTEST_SKIP() << "this kernel offers no Landlock";
    EXPECT_EQ(WEXITSTATUS(status), kAllRight);
    EXPECT_EQ(ReadWholeFile(outside), "secret");
}
