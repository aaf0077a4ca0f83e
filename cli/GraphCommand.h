#pragma once

#include "cli/Command.h"

// Writes the map of a conversation, as the editor draws it, for
// documentation and reviews: DOT text for Graphviz, or SVG laid out
// as the editor lays out its map.
class GraphCommand : public Command {
public:
    std::string_view Name() const override { return "graph"; }
    std::string_view Usage() const override { return "graph FILE [--format dot|svg] [-o OUT]"; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;
};
