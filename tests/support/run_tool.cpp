#include "tests/support/run_tool.h"

#include <sys/wait.h>  // WIFEXITED, WEXITSTATUS of system's status

#include <cstdlib>

int RunTool(const std::string& program, const std::string& args, const std::string& directory,
            const std::string& log, const std::string& environment) {
    const std::string command = "cd '" + directory + "' && " + environment +
                                " timeout -s KILL 120 '" + QUORVANE_BINARY_DIR + "/" + program +
                                "' " + args + " >'" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
