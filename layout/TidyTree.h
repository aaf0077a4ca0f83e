#pragma once

#include <stop_token>
#include <vector>

class FirstArrivals;

// Places the trees of first arrivals side by side, left to right: each
// parent centred over its children, each child's subtree as far left as the
// subtrees before it allow, keeping gap between any two boxes of one depth.
// It follows the outline of each subtree depth by depth (its contour), so
// the work grows with the vertices, not with their depth.
class TidyTree {
public:
    // The centre of each vertex's box along the map, the leftmost box's
    // left edge at 0; empty when stopped.
    static std::vector<double> Place(const FirstArrivals &tree, const std::vector<double> &widths, double gap, const std::stop_token &stop);
};
