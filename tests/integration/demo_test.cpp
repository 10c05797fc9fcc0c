// Guards the shipped demo: data/ is exactly what the generator writes, and the viewer loads it
// with nothing that would look wrong.
#include <gtest/gtest.h>
#include <unistd.h>  // chdir, getcwd

#include <climits>  // PATH_MAX
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/messages.h"
#include "app/scene_check.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kSourceDir = QUORVANE_SOURCE_DIR;

// Every file under root/data, relative to root, but the viewer's report, which appears there
// whenever the viewer has run.
std::set<std::string> DemoFiles(const std::string& root) {
    std::set<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root + "/data", error)) {
        const std::string name = std::filesystem::relative(entry.path(), root).generic_string();
        if (entry.is_regular_file() && name != "data/report.log") files.insert(name);
    }
    return files;
}

}  // namespace

// Catches a committed demo that is stale or hand-edited, or a generator whose output depends on
// the time, the machine or the order of a hash table.
TEST(DemoData, CommittedDataIsExactlyWhatTheGeneratorWrites) {
    TempDir dir;
    const std::string generator = std::string(QUORVANE_BINARY_DIR) + "/quorvane-make-demo";
    ASSERT_EQ(std::system((generator + " '" + dir.path() + "' >/dev/null").c_str()), 0);
    const std::set<std::string> generated = DemoFiles(dir.path());
    ASSERT_EQ(generated, DemoFiles(kSourceDir));
    for (const std::string& name : generated) {
        // Compared whole but not printed: a texture would flood the log.
        EXPECT_TRUE(ReadWholeFile(dir / name) == ReadWholeFile(kSourceDir + "/" + name)) << name;
    }
}

// Catches a demo that the viewer refuses or shows otherwise than meant: a texture upside down or
// of a side GL 1.1 cannot take, faces naming a texture the scene lacks. Only the invisible
// boundary object, hidden on purpose, is worth a warning. (What the demo looks like is the golden
// images'.)
TEST(DemoData, TheCheckerFindsNothingButTheHiddenBoundary) {
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(kSourceDir.c_str()), 0);  // the scene names its files from the source root
    const SceneCheck check = CheckScene("data/demo.scn");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_TRUE(check.loadable);
    std::string all;
    for (const LoadProblem& message : check.messages) all += FormatLoadProblem(message) + "\n";
    ASSERT_EQ(check.messages.size(), 1u) << all;
    EXPECT_NE(all.find("data/objects/bounds.obj:1:1: warning: all 12 faces are hidden"),
              std::string::npos)
        << all;
}
