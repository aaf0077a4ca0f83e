#pragma once

#include <string>
#include <vector>

// The arguments of a command that reads PATH... and prints text or JSON:
// the paths, and "--format text|json" anywhere among them.
struct PathArguments {
    std::vector<std::string> paths;
    bool json = false;

    // False when args are not these or name no path: a usage error.
    static bool Parse(const std::vector<std::string> &args, PathArguments &parsed);
};
