#pragma once

#include "cli/Command.h"

// A three-way merge of a conversation, for git's merge driver too: writes
// ours with theirs' changes since base taken in, as the editor's Save would.
// Exits 1 when a conflict was recorded in the merged file.
class MergeCommand : public Command {
public:
    std::string_view Name() const override { return "merge"; }
    std::string_view Usage() const override { return "merge BASE OURS THEIRS [-o OUT]"; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
