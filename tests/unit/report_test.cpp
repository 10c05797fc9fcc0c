// Guards the report file: its exact bytes, replacement of an earlier report, and silence and
// safety when it cannot be written.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>  // RLIMIT_FSIZE, to make writes fail part-way as on a full disk
#include <unistd.h>        // chdir, getcwd

#include "app/report.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

namespace {

// Two objects, 8 vertices and 12 faces, then 4 vertices and 2 hidden faces, as compiled.
Scene ExampleScene() {
    Scene scene;
    scene.objectCount = 2;
    scene.worldVertexCount = 12;
    scene.worldFaceCount = 14;
    return scene;
}

const char kExampleReport[] =
    "Total used vertexes: 12\n"
    "Total rendered faces: 14\n\n"
    "Total rendered objects: 2\n\n"
    "Average fps : for now unknown, not enough i suppose ;-)";

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

}  // namespace

// Catches a wrong label, spacing or line end, a trailing newline, and appending to an earlier
// report instead of replacing it; also that the default path is data/report.log.
TEST(Report, WritesTheExampleExactlyAndReplacesAnEarlierReport) {
    TempDir dir;
    const std::string report = dir.Write("data/report.log", std::string(5000, 'x'));
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    WriteReport(ExampleScene());
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(ReadWholeFile(report), kExampleReport);
    EXPECT_EQ(Entries(dir / "data"), std::vector<std::string>{"report.log"});

    Scene other = ExampleScene();
    other.worldVertexCount = -3;
    other.objectCount = 2147483647;
    WriteReport(other, report.c_str());
    EXPECT_EQ(ReadWholeFile(report),
              "Total used vertexes: -3\nTotal rendered faces: 14\n\n"
              "Total rendered objects: 2147483647\n\n"
              "Average fps : for now unknown, not enough i suppose ;-)");
    EXPECT_EQ(std::filesystem::status(report).permissions() & std::filesystem::perms::owner_read,
              std::filesystem::perms::owner_read);
    EXPECT_TRUE(RecordedBoxes().empty());
}

// Catches a missing directory stopping the run, showing a box or creating the directory.
TEST(Report, MissingDirectoryIsSilent) {
    TempDir dir;
    WriteReport(ExampleScene(), (dir / "data/report.log").c_str());
    EXPECT_TRUE(Entries(dir.path()).empty());
    EXPECT_TRUE(RecordedBoxes().empty());
}

// Catches a report cut short by a full disk replacing a good earlier one, or a temporary file
// left behind: writes beyond 20 bytes fail here as they would on a full disk.
TEST(Report, FailedWriteKeepsTheEarlierReportWhole) {
    TempDir dir;
    const std::string report = dir.Write("report.log", kExampleReport);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 20;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Scene other = ExampleScene();
    other.worldVertexCount = 99;
    WriteReport(other, report.c_str());
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadWholeFile(report), kExampleReport);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"report.log"});
    EXPECT_TRUE(RecordedBoxes().empty());
}
