#pragma once

#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

// One run of a program: dlgtool, or one of gettext's tools.
struct Invocation {
    std::vector<std::string> args;
    std::string in = "/dev/null"; // standard input
    std::string out;              // where standard output goes; empty: captured; "|": captured from a pipe
    rlim_t fileSize = RLIM_INFINITY;
    std::vector<std::pair<std::string, std::string>> env = {}; // variables set for the run
};

// Its exit status (128 + the signal that ended it, -1 when it hung) and
// what it printed.
struct Result {
    int status;
    std::string out, err;
};

// Runs program (found on the PATH when it names no folder), as nobody
// when the tests run as root: as root, permissions would not hold, and a
// fault could replace system files.
Result RunProgram(const std::string &program, const Invocation &run);
// The real dlgtool.
Result RunDlgtool(const Invocation &run);
// The sample conversations, where the user a run drops to can read them.
const std::string &ReachableExamples();
