#pragma once

#include "layout/MapLayout.h"

// The routes of a laid-out map's jumps, each from a point on its page's box
// to its target's box through the channels between the ranks and the gaps
// between the boxes of a rank, so that it never runs through a box. A jump
// down arrives at its target's top, one back up or along a rank at the side
// of its target that it comes from. Each ends where its arrowhead begins.
class JumpRouter {
public:
    // The arrowhead's length, and the clearance kept from the boxes a route passes.
    static constexpr double kArrow = 10;
    static constexpr double kClearance = 4;

    // A layout whose boxes and ranks are placed; gap is the least space
    // between two boxes of a rank, channel the space between two ranks.
    JumpRouter(const MapLayout &layout, double gap, double channel);

    // From start, on the bottom of a box of rank from, down to target.
    MapLayout::Path Down(MapLayout::Point start, int from, int target) const;
    // From start, on the top of a box of rank from, up to target, at rank from or above.
    MapLayout::Path Up(MapLayout::Point start, int from, int target) const;
    // A short arrow out of start, up or down.
    static MapLayout::Path Stub(MapLayout::Point start, bool up);

private:
    // The place nearest x where a route crosses the rank between its boxes.
    double GapAt(int rank, double x) const;
    // The middle of the space a route takes beside the target's box.
    double Beside(int target, bool right) const;

    const MapLayout &m_layout;
    double m_gap;
    double m_channel;
};
