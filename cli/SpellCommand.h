#pragma once

#include "cli/Command.h"

// Finds the misspelt words of conversations before a build ships them, by
// the rules the editor underlines them by.
class SpellCommand : public Command {
public:
    std::string_view Name() const override { return "spell"; }
    std::string_view Usage() const override { return "spell [--lang LANG] [--words FILE]... [--format text|json] PATH..."; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
