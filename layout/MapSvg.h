#pragma once

#include "layout/MapLayout.h"
#include "rules/ConversationGraph.h"

#include <string>

// A laid-out map as an SVG picture, for documentation and reviews: pages
// as rounded boxes with their name and number of options (the first page
// drawn bold), jumps as arrows, a far jump as its stub named after its
// target; an option that ends the dialog ends in a bar at a dot, Request
// money is a dashed gold arrow marked "pays", and a jump to a missing page
// number a red arrow to a red octagon "no page N". Each page, marker and
// arrow is a group with the id p<page>, m<marker>, e<edge>.
class MapSvg {
public:
    static std::string Write(const ConversationGraph &graph, const MapLayout &layout);
};
