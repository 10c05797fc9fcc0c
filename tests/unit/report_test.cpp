// Guards the report file: its exact bytes, replacement of an earlier report, and silence and
// safety when it cannot be written.
#include <gtest/gtest.h>
#include <sys/resource.h>  // RLIMIT_FSIZE, to make writes fail part-way as on a full disk

#include <csignal>
#include <filesystem>
#include <string>

#include "app/report.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

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
