#pragma once

#include "Command.h"

// Writes a file exactly as the editor's Save would.
class FormatCommand : public Command {
public:
    std::string_view Name() const override { return "format"; }
    std::string_view Usage() const override { return "format FILE [-o OUT]"; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
