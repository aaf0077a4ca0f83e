#pragma once

#include <string>
#include <vector>

class Command;

// What a dlgtool command printed and the status it ended with.
struct CommandOutput {
    int status = 0;
    std::string out;
    std::string err;

    static CommandOutput Of(Command &&command, const std::vector<std::string> &args);
};
