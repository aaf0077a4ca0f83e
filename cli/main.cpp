#include "cli/CheckCommand.h"
#include "cli/DiffCommand.h"
#include "cli/DumpCommand.h"
#include "cli/FindCommand.h"
#include "cli/FormatCommand.h"
#include "cli/GraphCommand.h"
#include "cli/MergeCommand.h"
#include "cli/PlayCommand.h"
#include "cli/SpellCommand.h"
#include "cli/ShowCommand.h"
#include "cli/PoCommand.h"
#include "cli/ScriptCommand.h"
#include "cli/StatsCommand.h"
#include "cli/TextCommand.h"
#include "cli/UsesCommand.h"
#include "Version.h"
#include "storage/SignalCleanup.h"

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
    // Nor does a signal that ends it leave a temporary file behind.
    SignalCleanup::Install();

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<FormatCommand>());
    commands.push_back(std::make_unique<DumpCommand>());
    commands.push_back(std::make_unique<CheckCommand>());
    commands.push_back(std::make_unique<StatsCommand>());
    commands.push_back(std::make_unique<PlayCommand>());
    commands.push_back(std::make_unique<GraphCommand>());
    commands.push_back(std::make_unique<SpellCommand>());
    commands.push_back(std::make_unique<DiffCommand>());
    commands.push_back(std::make_unique<ShowCommand>());
    commands.push_back(std::make_unique<MergeCommand>());
    commands.push_back(std::make_unique<PoCommand>());
    commands.push_back(std::make_unique<ScriptCommand>());
    commands.push_back(std::make_unique<FindCommand>());
    commands.push_back(std::make_unique<UsesCommand>());
    std::string usage;
    for (const auto &command : commands)
        usage.append(usage.empty() ? "usage:" : "      ").append(" dlgtool ").append(command->Usage()).append("\n");
    usage += "       dlgtool --help | --version\n";
    commands.push_back(std::make_unique<TextCommand>("--help", usage + "See dlgtool(1) for what each command does.\n"));
    commands.push_back(std::make_unique<TextCommand>("--version", "dlgtool " TALKWRIGHT_VERSION "\n"));

    if (argc >= 2) {
        const std::string name = argv[1];
        for (const auto &command : commands) {
            if (command->Name() != name)
                continue;
            try {
                return command->Execute(std::vector<std::string>(argv + 2, argv + argc), stdout, stderr);
            } catch (const std::bad_alloc &) {
                return command->ReportOutOfMemory(stderr);
            }
        }
    }
    std::fputs(usage.c_str(), stderr);
    return Command::UsageError;
}
