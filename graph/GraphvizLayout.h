#pragma once

#include "layout/MapLayout.h"
#include "rules/ConversationGraph.h"

#include <string>

// The one place that talks to Graphviz: the conversation graph as DOT text,
// for dlgtool graph, and laid out by the dot engine, for the editor's map.
// Graphviz keeps global state, so calls here take turns.
class GraphvizLayout {
public:
    using Box = MapLayout::Box;
    using Marker = MapLayout::Marker;
    using Point = MapLayout::Point;
    using Path = MapLayout::Path;
    using Layout = MapLayout;

    // DOT text: a box per page (its name and number of options), an arrow
    // per edge, marked by kind; edges that lead to no page end at a marker
    // node of their page (a dot where the dialog ends, an octagon naming a
    // missing page number). Names are converted from Windows-1252 to UTF-8.
    static std::string Dot(const ConversationGraph &graph);

    // The graph laid out by the dot engine, in points, y growing downwards.
    static bool Lay(const ConversationGraph &graph, Layout &layout, std::string &error);
};
