#pragma once

#include "cli/FolderCommand.h"

// Finds a text in every file, by the rules of the editor's find bar, and
// prints each text that holds it, as grep does. Exit statuses: 0 something
// matched, 1 nothing did (or a file could not be read), 2 a usage error or
// an invalid expression.
class FindCommand : public FolderCommand {
public:
    std::string_view Name() const override { return "find"; }
    std::string_view Usage() const override { return "find [--case] [--words] [--regex] TEXT PATH..."; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
