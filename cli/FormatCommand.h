#pragma once

#include "cli/Command.h"

// Writes a file exactly as the editor's Save would; with --check, tells
// which files a save would change (and how, with --diff).
class FormatCommand : public Command {
public:
    std::string_view Name() const override { return "format"; }
    std::string_view Usage() const override { return "format FILE [-o OUT]\n       dlgtool format --check [--diff] PATH..."; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

private:
    int Check(const std::vector<std::string> &paths, bool diff, std::FILE *out, std::FILE *err) const;
};
