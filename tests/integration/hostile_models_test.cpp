// Guards quorvane-import against model files made to hurt it, and the confinement of the reader
// that opens them: a file that crashes, exhausts or stalls the reader ends the import within its
// time limit with one line saying why, status 1 and nothing left behind; a picture too large is a
// warning; the reader writes nothing, reaches no network and starts nothing; SIGINT and SIGTERM
// leave nothing behind either.
#include <gtest/gtest.h>
#include <fcntl.h>  // open, for the started importer's log
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>  // sort
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <thread>  // sleep_for
#include <vector>

#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "tools/image/png_file.h"
#include "model/confine/memory_limit.h"
#include "model/write/scene_writer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// glTF nodes nested `depth` deep around one triangle: readers that walk the tree recursively
// run out of stack.
std::string DeepGltf() {
    const int depth = 100000;
    std::string nodes;
    for (int i = 1; i < depth; ++i) nodes += "{\"children\":[" + std::to_string(i) + "]},";
    return "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[" +
           nodes +
           "{\"mesh\":0}],\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}],"
           "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\","
           "\"max\":[1,1,0],\"min\":[0,0,0]}],\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],"
           "\"buffers\":[{\"byteLength\":36,\"uri\":\"data:application/octet-stream;base64,"
           "AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA\"}]}";
}

// The same depth of Collada nodes.
std::string DeepCollada() {
    const int depth = 100000;
    std::string open, close;
    for (int i = 0; i < depth; ++i) open += "<node>", close += "</node>";
    return "<?xml version=\"1.0\"?><COLLADA "
           "xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">"
           "<library_visual_scenes><visual_scene id=\"s\">" +
           open + close +
           "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#s\"/>"
           "</scene></COLLADA>";
}

// Forty faces of 32,000 corners each: seconds of triangulation per face.
std::string ManyCornerPolygons() {
    const int corners = 32000;
    std::string obj, face = "f";
    for (int i = 0; i < corners; ++i) {
        obj += "v " + std::to_string(i % 101) + " " + std::to_string(i % 97) + " 0\n";
        face += " " + std::to_string(i + 1);
    }
    for (int f = 0; f < 40; ++f) obj += face + "\n";
    return obj;
}

// A PLY header that claims four billion vertices and holds three.
std::string BillionsOfVertices() {
    return "ply\nformat ascii 1.0\nelement vertex 4000000000\nproperty float x\nproperty float "
           "y\nproperty float z\nelement face 1\nproperty list uchar int vertex_indices\n"
           "end_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";
}

const char* kTriangleObj = "mtllib m.mtl\nusemtl skin\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

// A BMP file whose header claims 65536 x 65536 pixels (12 GiB decoded) and holds none of them.
std::string HugeBmp() {
    std::string bmp = "BM";
    const auto add = [&bmp](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp += static_cast<char>(value >> (8 * i) & 0xff);
    };
    add(54, 4), add(0, 4), add(54, 4);                 // file size, reserved, pixels' offset
    add(40, 4), add(65536, 4), add(65536, 4);          // header size, width, height
    add(1, 2), add(24, 2), add(0, 4), add(0, 4);       // planes, bits, no compression, size
    add(2835, 4), add(2835, 4), add(0, 4), add(0, 4);  // pixels per metre, colours
    return bmp;
}

class HostileModels : public ::testing::Test {
  protected:
    // Imports `model` into `out` with `options`; the exit status. `seconds` is set to how long
    // the import took.
    int Import(const std::string& model, const std::string& options, double& seconds) {
        const Clock::time_point start = Clock::now();
        const int status =
            RunTool("quorvane-import", "'" + model + "' out " + options, dir.path(), dir / "log");
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return status;
    }
    std::string Log() const { return ReadWholeFile(dir / "log"); }
    bool Said(const std::string& text) const { return Log().find(text) != std::string::npos; }
    // Every name in the directory's tree but the log, with its size.
    std::map<std::string, uintmax_t> Tree() const {
        std::map<std::string, uintmax_t> tree;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
            const std::string name = fs::relative(entry.path(), dir.path()).string();
            if (name != "log") tree[name] = entry.is_regular_file() ? entry.file_size() : 0;
        }
        return tree;
    }
    TempDir dir;
};

}  // namespace

// Catches a file that crashes the importer itself (status 139, no word said), a reader that runs
// on past its time limit or until memory is gone, a refusal without its reason or with status 0,
// and a scene or its temporary directory left behind.
TEST_F(HostileModels, EachEndsInTimeWithItsReason) {
    struct Case {
        const char* name;
        std::string (*make)();
        const char* options;
        const char* says;
        double seconds;  // what the import may take at most
    };
    // A sanitizer reports the overflowed stack itself, and then ends the reader with status 1.
    const char* stackOverflow = kAddressSanitized
                                    ? "the model reader ended with status 1 and no answer"
                                    : "the model reader crashed on this file (signal 11: "
                                      "segmentation fault)";
    std::vector<Case> cases = {
        {"deep.gltf", DeepGltf, "", stackOverflow, 30},
        {"deep.dae", DeepCollada, "", stackOverflow, 30},
        {"corners.obj", ManyCornerPolygons, "--time-limit 2",
         "the model reader did not finish within 2 s", 10},
    };
    if (kMemoryCapped) {
        cases.push_back({"billions.ply", BillionsOfVertices, "", kOutOfMemory, 10});
    }
    for (const Case& hostile : cases) {
        SCOPED_TRACE(hostile.name);
        const std::string model = dir.Write(hostile.name, hostile.make());
        const std::map<std::string, uintmax_t> before = Tree();
        double seconds = 0.0;
        EXPECT_EQ(Import(model, hostile.options, seconds), 1) << Log();
        EXPECT_TRUE(Said("quorvane-import: " + model + ": " + hostile.says + "\n")) << Log();
        EXPECT_LT(seconds, hostile.seconds);
        EXPECT_EQ(Tree(), before);
    }
}

// Catches a file that crashes assimp (each found by fuzz-import-model, in tests/reader_crashes/)
// crashing the importer itself, told otherwise than as the reader's crash, taking long, or leaving
// anything behind.
TEST_F(HostileModels, FilesThatCrashAssimpAreRefused) {
    const char* segfault = "the model reader crashed on this file (signal 11: segmentation fault)";
    const char* abort = "the model reader crashed on this file (signal 6: aborted)";
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"ase-empty-face-list.ase", segfault},  // a face count with no faces to go with it
        {"fbx-double-free.fbx", abort},         // glibc finds the heap corrupted
        {"hl1-sequence-offsets.mdl", segfault}, {"lwo-abort.lwo", abort},
        {"ogex-index-assert.ogex", abort},  // an assertion of assimp's own, kept in its build
    };
    for (const auto& [name, says] : cases) {
        SCOPED_TRACE(name);
        const std::string model =
            std::string(QUORVANE_SOURCE_DIR) + "/tests/reader_crashes/" + name;
        double seconds = 0.0;
        EXPECT_EQ(Import(model, "", seconds), 1) << Log();
        // A sanitizer may see the fault first: it reports it and ends the reader with status 1.
        EXPECT_TRUE(Said("quorvane-import: " + model + ": " +
                         (kAddressSanitized ? "the model reader " : says)))
            << Log();
        EXPECT_LT(seconds, 30.0);
        EXPECT_EQ(Tree(), (std::map<std::string, uintmax_t>()));
    }
}

// Catches a picture too large to use that refuses the model, takes long or exhausts memory
// instead of being left out with a warning, and a picture named outside the model's folder that
// is not read, or anything outside OUTDIR written (a picture named there but missing created).
TEST_F(HostileModels, PicturesTooLargeOrOutsideTheFolder) {
    dir.Write("huge/m.obj", kTriangleObj);
    dir.Write("huge/m.mtl", "newmtl skin\nmap_Kd huge.bmp\n");
    dir.Write("huge/huge.bmp", HugeBmp());
    double seconds = 0.0;
    ASSERT_EQ(Import(dir / "huge/m.obj", "", seconds), 0) << Log();
    EXPECT_TRUE(
        Said("warning: texture 'huge.bmp' of material 'skin': picture of 65536 x 65536 "
             "pixels is too large; its diffuse colour is used instead"))
        << Log();
    EXPECT_LT(seconds, 10.0);
    fs::remove_all(dir / "out");

    fs::create_directories(dir / "outside");
    std::string error;
    ASSERT_TRUE(WritePng(MakeImage(4, 4, false), dir / "outside/wall.png", error)) << error;
    dir.Write("model/m.obj",
              std::string(kTriangleObj) + "usemtl gone\nv 0 0 1\nv 1 0 1\nv 0 1 1\nf 4 5 6\n");
    dir.Write("model/m.mtl",
              "newmtl skin\nmap_Kd ../outside/wall.png\nnewmtl gone\nmap_Kd ../outside/new.png\n");
    const std::map<std::string, uintmax_t> before = Tree();
    ASSERT_EQ(Import(dir / "model/m.obj", "", seconds), 0) << Log();
    EXPECT_TRUE(Said("from wall.png")) << Log();
    EXPECT_TRUE(Said("texture '../outside/new.png' of material 'gone': not found")) << Log();
    EXPECT_TRUE(fs::is_directory(dir / "out/data"));
    fs::remove_all(dir / "out");
    EXPECT_EQ(Tree(), before);
}

// Catches a sandbox that lets the reader create or write a file, open a network socket, run a
// program or start a process, and a refusal the importer does not report with the call it made;
// a reader that only reads shows that the refusals come from the sandbox alone, and one that
// aborts that the sandbox lets a crash be told as one.
TEST(ReaderSandbox, WritingNetworkAndNewProcessesAreRefused) {
    TempDir dir;
    const std::string model = dir.Write("model.obj", "v 0 0 0\n");
    const std::string made = dir / "made";
    const auto run = [&](const std::string& misdeed, const std::string& path) {
        return RunTool("tests/quorvane_misbehaving_reader", misdeed + " '" + path + "'", dir.path(),
                       dir / "log");
    };
    const auto said = [&](const std::string& path, const std::string& why) {
        return "quorvane_misbehaving_reader: " + path + ": " + why + "\n";
    };
    EXPECT_EQ(run("read", model), 0) << ReadWholeFile(dir / "log");
    EXPECT_EQ(run("abort", model), 1);
    EXPECT_EQ(ReadWholeFile(dir / "log"),
              said(model, "the model reader crashed on this file (signal 6: aborted)"));
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"write", "openat"}, {"connect", "socket"}, {"exec", "execve"}, {"fork", "clone"}};
    for (const auto& [misdeed, call] : cases) {
        SCOPED_TRACE(misdeed);
        EXPECT_EQ(run(misdeed, made), 1);
        EXPECT_EQ(
            ReadWholeFile(dir / "log"),
            said(made, std::string("the model reader was stopped by its sandbox for calling ") +
                           call + ", which reading a model never needs"));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a forked one writing
        EXPECT_FALSE(fs::exists(made));
    }
}

namespace {

// quorvane-import started on `model` in `directory`, its output into `log`, with SIGINT, SIGTERM,
// SIGHUP and SIGCHLD as a shell leaves them, but for `ignored` (0: none), ignored.
pid_t StartImport(const std::string& directory, const std::string& model, const std::string& log,
                  int ignored) {
    const std::string program = std::string(QUORVANE_BINARY_DIR) + "/quorvane-import";
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(directory.c_str()) != 0 || out < 0) _exit(127);
        dup2(out, 1);
        dup2(out, 2);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGCHLD}) {
            ::signal(signal, signal == ignored ? SIG_IGN : SIG_DFL);
        }
        execl(program.c_str(), program.c_str(), model.c_str(), "out", "--time-limit", "3",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The first child of `parent`, once it has one (within ten seconds); -1 otherwise.
pid_t FirstChild(pid_t parent) {
    const std::string list =
        "/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children";
    for (int tries = 0; tries < 1000; ++tries) {
        const std::string children = ReadWholeFile(list);
        if (!children.empty()) return std::stoi(children);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

// The wait status of `pid` once it ended, within `seconds`; killed and -1 otherwise.
int WaitFor(pid_t pid, int seconds) {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (Clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

}  // namespace

// Catches an interrupted import that leaves its reader running, a scene or a temporary directory
// behind, or ends otherwise than by the signal (a shell then thinks it succeeded); and a signal
// the importer was started with ignored (nohup) that stops it all the same.
TEST(ImportInterruption, SignalsWhileReadingLeaveNothingBehind) {
    TempDir dir;
    const std::string model = dir.Write("corners.obj", ManyCornerPolygons());
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const bool ignored = signal == SIGHUP;
        const pid_t importer = StartImport(dir.path(), model, dir / "log", ignored ? signal : 0);
        const pid_t reader = FirstChild(importer);
        ASSERT_GT(reader, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(importer, signal);
        const int status = WaitFor(importer, 10);
        if (ignored) {
            EXPECT_TRUE(WIFEXITED(status)) << status;
            EXPECT_EQ(WEXITSTATUS(status), 1);
            EXPECT_NE(ReadWholeFile(dir / "log").find("did not finish within 3 s"),
                      std::string::npos)
                << ReadWholeFile(dir / "log");
        } else {
            EXPECT_TRUE(WIFSIGNALED(status)) << status;
            EXPECT_EQ(WTERMSIG(status), signal);
        }
        EXPECT_NE(kill(reader, 0), 0) << "the reader outlived the importer";
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            left.push_back(entry.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"corners.obj", "log"}));
    }
}

// Catches an interruption while the scene is written that leaves the scene, half of it or its
// temporary directory behind: asked before every file and before the rename, the writer stops.
TEST(ImportInterruption, WritingStopsWithNothingLeft) {
    Model model;
    Mesh mesh;
    mesh.vertices.resize(3);
    mesh.faces.push_back(Face{});
    model.meshes = {mesh, mesh};
    model.textures.push_back(ModelTexture{MakeImage(1, 1, false), "colour"});
    static int asked = 0, stopAt = 0;  // the writer takes a plain function
    const auto stop = [] { return ++asked > stopAt; };
    TempDir dir;
    for (stopAt = 0; stopAt < 6; ++stopAt) {  // 2 objects, a texture, camera, scene, rename
        SCOPED_TRACE(stopAt);
        asked = 0;
        std::string error;
        EXPECT_FALSE(WriteScene(model, CameraStart{}, dir / "scene", error, stop));
        EXPECT_EQ(error, "interrupted");
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
    asked = 0;
    std::string error;
    EXPECT_TRUE(WriteScene(model, CameraStart{}, dir / "scene", error, stop)) << error;
    EXPECT_EQ(asked, 6);
}

// Catches a reader's crash told as malformed data when the importer was started with SIGCHLD
// ignored (as some services start programs), where children are reaped unasked and their ends
// lost.
TEST(ImportInterruption, ChildSignalsIgnoredAtStartStillTellTheCrash) {
    TempDir dir;
    const std::string model =
        std::string(QUORVANE_SOURCE_DIR) + "/tests/reader_crashes/ase-empty-face-list.ase";
    const int status = WaitFor(StartImport(dir.path(), model, dir / "log", SIGCHLD), 20);
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(ReadWholeFile(dir / "log")
                  .find(kAddressSanitized ? "the model reader ended with status 1"
                                          : "the model reader crashed on this file"),
              std::string::npos)
        << ReadWholeFile(dir / "log");
}
