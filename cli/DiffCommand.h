#pragma once

#include "cli/Command.h"

class ConversationDiff;

// Prints what changed between two versions of a conversation, page by page,
// as a writer would say it; also as git's external diff command, which is
// given seven arguments (nine for a renamed file).
class DiffCommand : public Command {
public:
    std::string_view Name() const override { return "diff"; }
    std::string_view Usage() const override
    {
        return "diff OLD NEW [--format text|json]\n"
               "       dlgtool diff PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE";
    }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

    // The changes as text: a line for each page, its fields and options below it.
    static std::string Text(const ConversationDiff &diff);
    static std::string Json(const ConversationDiff &diff, const std::string &before, const std::string &after);
};
