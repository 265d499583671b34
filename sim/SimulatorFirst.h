#pragma once
// For tools that drive the program's device code against the simulator (benchmark, fuzzer):
// the dynamic loader reads LD_LIBRARY_PATH only when a process starts, so a process whose path
// does not begin with the simulator's folder starts itself again with it in front.

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace lum1::sim {

inline void RestartWithSimulatorFirst(const std::string& simFolder, char** argv) {
    const char* path = std::getenv("LD_LIBRARY_PATH");
    if (path && std::string(path).rfind(simFolder, 0) == 0)
        return;
    std::string value = simFolder;
    if (path)
        value.append(1, ':').append(path);
    ::setenv("LD_LIBRARY_PATH", value.c_str(), 1);
    ::execv("/proc/self/exe", argv);
}

} // namespace lum1::sim
