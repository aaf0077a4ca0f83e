#pragma once

#include "cli/Command.h"

// Counts pages, options, words of speech and generated speech by kind.
class StatsCommand : public Command {
public:
    std::string_view Name() const override { return "stats"; }
    std::string_view Usage() const override { return "stats PATH..."; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
