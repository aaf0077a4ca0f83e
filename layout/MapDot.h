#pragma once

#include "rules/ConversationGraph.h"

#include <string>

// The conversation graph as Graphviz's DOT text, for dlgtool graph: a box
// per page (its name and number of options), an arrow per edge, marked by
// kind; edges that lead to no page end at a marker node of their page (a
// dot where the dialog ends, an octagon naming a missing page number), the
// markers numbered as the map numbers them. Names are converted from
// Windows-1252 to UTF-8.
class MapDot {
public:
    static std::string Write(const ConversationGraph &graph);
};
