#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The arguments of a command that reads files and writes one output, in
// any order: FILE ("-" for standard input), "-o OUT" (standard output when
// left out) and, for a command that has them, "--format NAME" with one of
// the names it takes.
struct FileArguments {
    std::string input; // the first of inputs
    std::vector<std::string> inputs;
    std::string output = "-";
    std::string format; // empty when not given

    // False when args are not these, each given once, with one FILE: a
    // usage error.
    static bool Parse(const std::vector<std::string> &args, const std::vector<std::string_view> &formats, FileArguments &parsed);
    // The same with least to most FILEs, "-" among them once at most.
    static bool Parse(const std::vector<std::string> &args, const std::vector<std::string_view> &formats, size_t least, size_t most,
                      FileArguments &parsed);
};
