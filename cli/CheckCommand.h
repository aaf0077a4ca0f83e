#pragma once

#include "cli/Command.h"
#include "rules/Finding.h"

// Checks whole folders of conversations before a build ships them.
class CheckCommand : public Command {
public:
    std::string_view Name() const override { return "check"; }
    std::string_view Usage() const override { return "check [--format text|json] PATH..."; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

    // The report of --format json on sorted findings about files files.
    static std::string JsonReport(const std::vector<Finding> &findings, size_t files);
};
