#include "CheckCommand.h"
#include "DumpCommand.h"
#include "FormatCommand.h"
#include "GraphCommand.h"
#include "PlayCommand.h"
#include "StatsCommand.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    // Past a file-size limit a write fails with EFBIG instead of the signal
    // killing the process, so that a failed save still removes its
    // temporary file and says why.
    std::signal(SIGXFSZ, SIG_IGN);

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<FormatCommand>());
    commands.push_back(std::make_unique<DumpCommand>());
    commands.push_back(std::make_unique<CheckCommand>());
    commands.push_back(std::make_unique<StatsCommand>());
    commands.push_back(std::make_unique<PlayCommand>());
    commands.push_back(std::make_unique<GraphCommand>());

    if (argc >= 2) {
        const std::string name = argv[1];
        for (const auto &command : commands) {
            if (command->Name() != name)
                continue;
            try {
                return command->Execute(std::vector<std::string>(argv + 2, argv + argc), stdout, stderr);
            } catch (const std::bad_alloc &) {
                std::fputs("dlgtool: not enough memory\n", stderr);
                return Command::Failure;
            }
        }
    }
    const char *lead = "usage:";
    for (const auto &command : commands) {
        std::fprintf(stderr, "%s dlgtool %.*s\n", lead, static_cast<int>(command->Usage().size()), command->Usage().data());
        lead = "      ";
    }
    return Command::UsageError;
}
