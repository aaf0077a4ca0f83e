#pragma once

#include <string>
#include <sys/resource.h>
#include <vector>

// One run of the real dlgtool binary, as a script runs it; as root it runs
// as nobody, so that permissions hold and a fault cannot replace system files.
struct Invocation {
    std::vector<std::string> args;
    std::string in = "/dev/null"; // standard input
    std::string out;              // where standard output goes; empty: captured
    rlim_t fileSize = RLIM_INFINITY;
};

// Its exit status (128 + the signal that ended it, -1 when it hung) and
// what it printed.
struct Result {
    int status;
    std::string out, err;
};

Result RunDlgtool(const Invocation &run);
