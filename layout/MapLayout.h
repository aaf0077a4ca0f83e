#pragma once

#include "rules/ConversationGraph.h"

#include <stop_token>
#include <vector>

// The map of a conversation, laid out to read top-down from its first page.
// Each page is a box at the depth where the jumps from the first page first
// reach it (breadth first), under the page that leads there first, and the
// arrows of those first arrivals form a tree; the other jumps, back, across
// or further down, run through the gaps between the boxes. A jump that
// leads to no page ends at a marker box of its page: a dot where the dialog
// ends, an octagon "no page N" where its number names no page. Lengths are
// points (the page names are measured as Liberation Sans of 10 points), y
// grows downwards.
class MapLayout {
public:
    using Mark = ConversationGraph::Mark;

    struct Point {
        double x = 0, y = 0;
        bool operator==(const Point &) const = default;
    };
    struct Box {
        double x = 0, y = 0; // the centre
        double width = 0, height = 0;
        bool operator==(const Box &) const = default;
    };
    struct Path {
        std::vector<Point> points; // a cubic Bézier: its start, then three points a segment
        Point head;                // where the arrow points
    };
    // A jump's arrow. A far jump, one whose target lies beyond the
    // neighbourhood of its page, is drawn as its stub, a short arrow out of
    // its page towards its target, beside which the target's name belongs;
    // its whole route (RouteOf) is for when its page or its target is the
    // one on display. Any other jump's route is here in full.
    struct Route : Path {
        bool far = false;
        Path stub;
    };
    struct Marker {
        Box box;
        Mark mark = Mark::EndsDialog;
        int number = 0;
    };
    // One depth of the map, a row of boxes: its vertices, left to right.
    // A vertex is a page's index, or the page count plus a marker's index.
    struct Rank {
        double top = 0, height = 0;
        std::vector<int> vertices;
    };
    // A page to keep where it was: its box's centre before the edit.
    struct Anchor {
        int page = -1;
        Point at;
    };

    // Lays graph out. Before is the layout shown until now, if any: when
    // graph has its shape (the same jumps, in the same order, between boxes
    // of the same sizes) the layout is a copy of it. Otherwise it is laid
    // out anew, the same graph always the same way, and moved as a whole so
    // that the anchor's page, if it names one, stays where it was; an edit
    // then moves the subtrees it did not touch only as wholes, and a jump
    // that changes no first arrival moves no box. Returns false, leaving
    // the layout empty, when stop is requested before it is done: it looks
    // every few thousand boxes or jumps. It touches nothing else, so any
    // thread may call it.
    static bool Lay(const ConversationGraph &graph, const MapLayout *before, const Anchor &anchor, const std::stop_token &stop,
                    MapLayout &layout);

    // The whole route of a jump, near or far.
    Path RouteOf(int edge) const;
    // The vertices whose boxes meet the rectangle, rank by rank, left to right.
    std::vector<int> VerticesIn(double fromX, double fromY, double toX, double toY) const;
    // The page whose box holds the point, or -1.
    int PageAt(Point point) const;
    const Box &VertexBox(int vertex) const;

    // The marker boxes, one a page, kind and missing page number, and per
    // edge its marker's index or -1 (for an edge that leads to a page).
    static std::vector<Marker> Markers(const ConversationGraph &graph, std::vector<int> &markerOf);

    // The rectangle that holds every box and route (a moved layout's need
    // not start at 0).
    double left = 0, top = 0, width = 0, height = 0;
    std::vector<Box> nodes;    // per page
    std::vector<Route> edges;  // per edge of the graph
    std::vector<int> markerOf; // per edge: its marker, or -1
    std::vector<Marker> markers;
    std::vector<int> rankOf; // per vertex
    std::vector<Rank> ranks;

private:
    // The vertex an edge leads to.
    int TargetOf(int edge) const;
    // Each box at the depth of its first arrival, beside the others; the
    // jumps' arrows once the boxes are placed. Jump e leads from page
    // from[e] to vertex targets[e]. False when stopped.
    bool PlaceBoxes(const std::vector<int> &from, const std::vector<int> &targets, const std::stop_token &stop);
    bool RouteJumps(const std::vector<int> &from, const std::vector<int> &targets, const std::stop_token &stop);
    void Move(Point by);

    std::vector<ConversationGraph::Edge> m_jumps; // the shape laid out
    std::vector<int> m_arrivals;                  // per vertex: the jump that reaches it first, or -1
};
