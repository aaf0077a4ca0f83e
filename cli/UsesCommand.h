#pragma once

#include "cli/FolderCommand.h"

// The names that the conditions test and the results set across the
// files, with where each is tested and where each is set, and those set
// but never tested or tested but never set.
class UsesCommand : public FolderCommand {
public:
    std::string_view Name() const override { return "uses"; }
    std::string_view Usage() const override { return "uses PATH... [--format text|json]"; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
