#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments of a command that reads one file and writes one output, in
// any order: FILE ("-" for standard input), "-o OUT" (standard output when
// left out) and, for a command that has them, "--format NAME" with one of
// the names it takes.
struct FileArguments {
    std::string input;
    std::string output = "-";
    std::string format; // empty when not given

    // False when args are not these, each given once: a usage error.
    static bool Parse(const std::vector<std::string> &args, const std::vector<std::string_view> &formats, FileArguments &parsed);
};
