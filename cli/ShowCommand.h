#pragma once

#include "cli/Command.h"

class DialogFile;

// Prints a conversation as text for git's textconv: one line for each text,
// checks in words, jumps by page name and no line numbers, so that a line
// diff of two versions shows what a writer changed.
class ShowCommand : public Command {
public:
    std::string_view Name() const override { return "show"; }
    std::string_view Usage() const override { return "show FILE"; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

    // The text of one page and its options, an empty line after them.
    static std::string PageText(const DialogFile &file, int page);
};
