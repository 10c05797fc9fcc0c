// Guards the report file: its exact bytes, replacement of an earlier report, and silence and
// safety when it cannot be written.
#include <gtest/gtest.h>
#include <sys/resource.h>  // RLIMIT_FSIZE, to make writes fail part-way as on a full disk
#include <sys/stat.h>      // umask

#include <csignal>
#include <filesystem>
#include <string>

#include "app/report.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/temp_dir.h"

namespace {

// Two objects, 8 vertices and 12 faces, then 4 vertices and 2 hidden faces, as compiled.
struct ExampleScene : Scene {
    explicit ExampleScene(int32_t vertices = 12) {
        objectCount = 2;
        worldVertexCount = vertices;
        worldFaceCount = 14;
    }
};

const char kExampleReport[] =
    "Total used vertexes: 12\nTotal rendered faces: 14\n\nTotal rendered objects: 2\n\n"
    "Average fps : for now unknown, not enough i suppose ;-)";

// How many entries a directory holds: a temporary file left behind shows here.
long Entries(const std::string& directory) {
    const std::filesystem::directory_iterator entries(directory);
    return std::distance(begin(entries), end(entries));
}

}  // namespace

// Catches a wrong label, spacing or line end, a trailing newline, appending to an earlier report
// instead of replacing it, a temporary file left behind, and a default path other than
// data/report.log; and a missing directory that stops the run, shows a box or gets created.
TEST(Report, ReplacesAnEarlierReportWithTheExampleExactly) {
    TempDir dir;
    const std::string report = dir.Write("data/report.log", std::string(5000, 'x'));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    WriteReport(ExampleScene());
    std::filesystem::current_path(previous);
    EXPECT_EQ(ReadWholeFile(report), kExampleReport);
    EXPECT_EQ(Entries(dir / "data"), 1);
    WriteReport(ExampleScene(), (dir / "none/report.log").c_str());
    EXPECT_EQ(Entries(dir.path()), 1);
    EXPECT_TRUE(RecordedBoxes().empty());
}

// Catches a report cut short by a full disk replacing a good earlier one, or a temporary file left
// behind: writes beyond 20 bytes fail here as they would on a full disk.
TEST(Report, FailedWriteKeepsTheEarlierReportWhole) {
    TempDir dir;
    const std::string report = dir.Write("report.log", kExampleReport);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit small = {20, previous.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    WriteReport(ExampleScene(99), report.c_str());
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadWholeFile(report), kExampleReport);
    EXPECT_EQ(Entries(dir.path()), 1);
    EXPECT_TRUE(RecordedBoxes().empty());
}

// Catches a link replaced by a plain file (its target left stale), a read-only report replaced
// with another owner and mode, a writable report's mode changed, and a report lost where no
// temporary file can be made beside it (a name so long that the temporary one cannot exist).
TEST(Report, LinksReadOnlyReportsAndDirectoriesWithoutRoom) {
    TempDir dir;
    const std::string target = dir.Write("kept/real.log", "old");
    std::filesystem::create_directory(dir / "data");
    std::filesystem::create_symlink("../kept/real.log", dir / "data/report.log");
    WriteReport(ExampleScene(), (dir / "data/report.log").c_str());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "data/report.log"));
    EXPECT_EQ(ReadWholeFile(target), kExampleReport);

    const std::string readOnly = dir.Write("read-only.log", "mine");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    WriteReport(ExampleScene(), readOnly.c_str());
    EXPECT_EQ(ReadWholeFile(readOnly), "mine");
    using std::filesystem::perms;
    const std::string own = dir.Write("own.log", "");
    std::filesystem::permissions(own, perms::owner_read | perms::owner_write | perms::group_read);
    WriteReport(ExampleScene(), own.c_str());
    EXPECT_EQ(ReadWholeFile(own), kExampleReport);
    EXPECT_EQ(std::filesystem::status(own).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read);
    const mode_t mask = umask(022);  // a new report is made as any new file is
    WriteReport(ExampleScene(), (dir / "new.log").c_str());
    umask(mask);
    EXPECT_EQ(std::filesystem::status(dir / "new.log").permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);

    const std::string longName = dir.Write(std::string(250, 'r'), std::string(5000, 'x'));
    WriteReport(ExampleScene(), longName.c_str());
    EXPECT_EQ(ReadWholeFile(longName), kExampleReport);
}

// The same as the long name above, as a user meets it: a read-only directory.
TEST(Report, ReadOnlyDirectoryWritesInPlace) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only directory";
    TempDir dir;
    const std::string locked = dir.Write("locked/report.log", "old");
    std::filesystem::permissions(
        dir / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    WriteReport(ExampleScene(), locked.c_str());
    std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadWholeFile(locked), kExampleReport);
}
