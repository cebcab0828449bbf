// Run by shell_test: started with some arguments, it relaunches itself through the shell layer
// with those arguments; the relaunched process writes what it received to $RECORD_TO.
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/shell.hpp"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!std::getenv("RELAUNCH_PROBE_RELAUNCHED")) {
        setenv("RELAUNCH_PROBE_RELAUNCHED", "1", 1);
        launcher::platform::relaunch_current_executable(args);
        return 0;
    }
    std::string out = std::getenv("RECORD_TO");
    {
        std::ofstream file(out + ".partial", std::ios::binary);
        for (const auto& arg : args) file << arg << '\0';
    }
    std::rename((out + ".partial").c_str(), out.c_str());
    return 0;
}
