#include "CommandOutput.h"

#include "cli/Command.h"

#include <cstdio>

namespace {

std::string Drain(std::FILE *file)
{
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

} // namespace

CommandOutput CommandOutput::Of(Command &&command, const std::vector<std::string> &args)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const int status = command.Execute(args, out, err);
    return {status, Drain(out), Drain(err)};
}
