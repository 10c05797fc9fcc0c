// A model reader that tries, from inside the importer's confined child, what a hostile file could
// make the real one do; for the tests only, never installed. quorvane_misbehaving_reader WHAT
// PATH runs the reader WHAT on PATH through ReadConfined and says how it ended, as
// quorvane-import would: status 0 when it answered with a model, 1 with the reason otherwise.
//   read     reads PATH and answers with one triangle: what a reader may do
//   write    creates PATH and writes to it
//   connect  opens a network socket and connects it to this machine's port 9
//   exec     runs a shell that creates PATH
//   fork     starts a process that creates PATH
//   abort    aborts, as a failed assertion in a reader would
#include <arpa/inet.h>   // htons, htonl
#include <fcntl.h>       // open
#include <netinet/in.h>  // sockaddr_in
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>  // abort
#include <cstring>
#include <string>

#include "model/confine/confined_read.h"

namespace {

bool Answer(ModelData& model) {
    SourceMesh mesh;
    mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    mesh.triangles = {0, 1, 2};
    model.meshes.push_back(mesh);
    model.materials.emplace_back();
    return true;
}

bool Escaped(const char* how, std::string& error) {
    error = std::string("the sandbox let it ") + how;
    return false;
}

bool Read(const std::string& path, ModelData& model, std::string& error) {
    char byte;
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0 || read(fd, &byte, 1) != 1) return Escaped("fail to read", error);
    close(fd);
    return Answer(model);
}

bool Write(const std::string& path, ModelData&, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && write(fd, "escaped\n", 8) == 8) return Escaped("write a file", error);
    return Escaped("try to write a file, which failed only then", error);
}

bool Connect(const std::string&, ModelData&, std::string& error) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(9);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    return Escaped("open a socket", error);
}

bool Exec(const std::string& path, ModelData&, std::string& error) {
    const std::string command = "echo escaped >'" + path + "'";
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    return Escaped("try to run a program", error);
}

bool Fork(const std::string& path, ModelData&, std::string& error) {
    if (fork() == 0) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
        _exit(fd >= 0 ? 0 : 1);
    }
    return Escaped("start a process", error);
}

bool Abort(const std::string&, ModelData&, std::string&) {
    std::abort();
}

struct Misdeed {
    const char* name;
    ModelReader reader;
};
const Misdeed kMisdeeds[] = {{"read", Read}, {"write", Write}, {"connect", Connect},
                             {"exec", Exec}, {"fork", Fork},   {"abort", Abort}};

}  // namespace

int main(int argc, char** argv) {
    for (const Misdeed& misdeed : kMisdeeds) {
        if (argc != 3 || std::strcmp(argv[1], misdeed.name) != 0) continue;
        ModelData model;
        std::string error;
        if (!ReadConfined(argv[2], 10, misdeed.reader, model, error)) {
            std::fprintf(stderr, "quorvane_misbehaving_reader: %s: %s\n", argv[2], error.c_str());
            return 1;
        }
        std::printf("answered with %zu mesh\n", model.meshes.size());
        return 0;
    }
    std::fprintf(stderr,
                 "usage: quorvane_misbehaving_reader read|write|connect|exec|fork|abort PATH\n");
    return 2;
}
