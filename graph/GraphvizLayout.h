#pragma once

#include "rules/ConversationGraph.h"

#include <string>
#include <vector>

// The one place that talks to Graphviz: the conversation graph as DOT text,
// laid out by the dot engine, for the editor's map and dlgtool graph.
// Graphviz keeps global state, so calls here take turns.
class GraphvizLayout {
public:
    // DOT text: a box per page (its name and number of options), an arrow
    // per edge, marked by kind; edges that lead to no page end at a marker
    // node of their page (a dot where the dialog ends, an octagon naming a
    // missing page number). Names are converted from Windows-1252 to UTF-8.
    static std::string Dot(const ConversationGraph &graph);
    // Lays out dot text and renders it in a Graphviz format ("svg", "dot").
    static bool Render(const std::string &dot, const char *format, std::string &out, std::string &error);

    // Where the layout put things, in points, y growing downwards.
    struct Box {
        double x = 0, y = 0; // the centre
        double width = 0, height = 0;
    };
    struct Marker {
        Box box;
        ConversationGraph::Mark mark = ConversationGraph::Mark::EndsDialog;
        int number = 0;
    };
    struct Point {
        double x = 0, y = 0;
    };
    struct Path {
        std::vector<Point> points; // a cubic Bézier: its start, then three points a segment
        Point head;                // where the arrow points
    };
    struct Layout {
        double width = 0, height = 0;
        std::vector<Box> nodes;      // per page
        std::vector<Path> edges;     // per edge
        std::vector<int> markerOf;   // per edge: its marker, or -1
        std::vector<Marker> markers;
    };
    static bool Lay(const ConversationGraph &graph, Layout &layout, std::string &error);

private:
    // The marker nodes and, per edge, its marker or -1: one marker a page,
    // kind and missing number.
    static std::vector<Marker> Markers(const ConversationGraph &graph, std::vector<int> &markerOf);
};
