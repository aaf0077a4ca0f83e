#pragma once

#include "cli/Command.h"

// Writes the voice director's recording script of conversations: a CSV
// row for every line a voice says.
class ScriptCommand : public Command {
public:
    std::string_view Name() const override { return "script"; }
    std::string_view Usage() const override { return "script FILE... [--format csv] [-o OUT]"; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
