#include "layout/MapLayout.h"

#include "layout/FirstArrivals.h"
#include "layout/JumpRouter.h"
#include "layout/TidyTree.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace {

using Mark = ConversationGraph::Mark;

// Space between two boxes of a rank, between two ranks, and how far from
// its page a jump may lead and still be drawn in full everywhere.
constexpr double kGap = 24;
constexpr double kChannel = 40;
constexpr int kNearRanks = 3;
constexpr double kNearWidth = 600;
// A page's box: two lines of 10-point text with room around them, no
// smaller than Graphviz draws a box; a dot where the dialog ends.
constexpr double kFontSize = 10;
constexpr double kPadding = 16;
constexpr double kLeastWidth = 54;
constexpr double kBoxHeight = 36;
constexpr double kDot = 8.64;
constexpr size_t kPiece = 4096;

// The advance widths of Liberation Sans (those of Arial), per byte of
// Windows-1252, in thousandths of the font's size; a control character,
// which the font does not draw, is given an em.
constexpr unsigned short kWidths[256] = {
    1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
    1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 278,  278,  355,  556,  556,  889,  667,  191,  333,  333,  389,  584,
    278,  333,  278,  278,  556,  556,  556,  556,  556,  556,  556,  556,  556,  556,  278,  278,  584,  584,  584,  556,  1015, 667,
    667,  722,  722,  667,  611,  778,  722,  278,  500,  667,  556,  833,  722,  778,  667,  778,  722,  667,  611,  722,  667,  944,
    667,  667,  611,  278,  278,  278,  469,  556,  333,  556,  556,  500,  556,  556,  278,  556,  556,  222,  222,  500,  222,  833,
    556,  556,  556,  556,  333,  500,  278,  556,  500,  722,  500,  500,  500,  334,  260,  334,  584,  1000, 556,  365,  222,  556,
    333,  1000, 556,  556,  333,  1000, 667,  333,  1000, 365,  611,  365,  365,  222,  222,  333,  333,  350,  556,  1000, 333,  1000,
    500,  333,  944,  365,  500,  667,  278,  333,  556,  556,  556,  556,  260,  556,  333,  737,  370,  556,  584,  333,  737,  552,
    400,  549,  333,  333,  333,  576,  537,  278,  333,  333,  365,  556,  834,  834,  834,  611,  667,  667,  667,  667,  667,  667,
    1000, 722,  667,  667,  667,  667,  278,  278,  278,  278,  722,  722,  778,  778,  778,  778,  778,  584,  778,  722,  722,  722,
    722,  667,  667,  611,  556,  556,  556,  556,  556,  556,  889,  500,  556,  556,  556,  556,  278,  278,  278,  278,  556,  556,
    556,  556,  556,  556,  556,  549,  611,  556,  556,  556,  556,  500,  556,  500,
};

double TextWidth(std::string_view bytes)
{
    double thousandths = 0;
    for (const char c : bytes)
        thousandths += kWidths[static_cast<unsigned char>(c)];
    return thousandths * kFontSize / 1000;
}

MapLayout::Box PageBox(const ConversationGraph::Node &node)
{
    const std::string options = std::to_string(node.options) + (node.options == 1 ? " option" : " options");
    const double text = std::max(TextWidth(node.name), TextWidth(options));
    return {0, 0, std::max(kLeastWidth, std::ceil(text + kPadding)), kBoxHeight};
}

MapLayout::Box MarkerBox(const MapLayout::Marker &marker)
{
    if (marker.mark != Mark::NoPage)
        return {0, 0, kDot, kDot};
    return {0, 0, std::max(kLeastWidth, std::ceil(TextWidth("no page " + std::to_string(marker.number)) + 1.5 * kPadding)), kBoxHeight};
}

bool SameSizes(const std::vector<MapLayout::Box> &a, const std::vector<MapLayout::Box> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const MapLayout::Box &x, const MapLayout::Box &y) { return x.width == y.width && x.height == y.height; });
}

void Move(MapLayout::Point &point, MapLayout::Point by)
{
    point.x += by.x;
    point.y += by.y;
}

void Move(MapLayout::Path &path, MapLayout::Point by)
{
    for (MapLayout::Point &point : path.points)
        Move(point, by);
    Move(path.head, by);
}

// Where each jump leaves its page: the bottom when it leads down, spread in
// the jumps' order; the top when it leads back up or along the rank, to the
// left of the arrow that arrives in the middle for a target to the left,
// to the right for one to the right, ordered by where they lead so that
// they do not cross as they leave.
std::vector<MapLayout::Point> Departures(const MapLayout &map, const std::vector<int> &from, const std::vector<int> &targets)
{
    const size_t pages = map.nodes.size();
    std::vector<int> down(pages, 0), downPlaced(pages, 0);
    std::vector<std::vector<int>> upward(pages);
    const auto leadsDown = [&](size_t e) { return map.rankOf[static_cast<size_t>(targets[e])] > map.rankOf[static_cast<size_t>(from[e])]; };
    for (size_t e = 0; e < targets.size(); ++e) {
        if (leadsDown(e))
            ++down[static_cast<size_t>(from[e])];
        else
            upward[static_cast<size_t>(from[e])].push_back(static_cast<int>(e));
    }
    std::vector<MapLayout::Point> departures(targets.size());
    const auto targetX = [&](int e) { return map.VertexBox(targets[static_cast<size_t>(e)]).x; };
    for (size_t p = 0; p < pages; ++p) {
        std::vector<int> &jumps = upward[p];
        std::stable_sort(jumps.begin(), jumps.end(), [&](int a, int b) { return targetX(a) < targetX(b); });
        const MapLayout::Box &box = map.nodes[p];
        const auto rightward = std::partition_point(jumps.begin(), jumps.end(), [&](int e) { return targetX(e) < box.x; });
        const auto spread = [&](auto first, auto last, double low, double high) {
            const double count = static_cast<double>(last - first);
            for (auto it = first; it != last; ++it)
                departures[static_cast<size_t>(*it)] = {low + (high - low) * (static_cast<double>(it - first) + 0.5) / count,
                                                        box.y - box.height / 2};
        };
        spread(jumps.begin(), rightward, box.x - box.width / 2 + 8, box.x - 10);
        spread(rightward, jumps.end(), box.x + 10, box.x + box.width / 2 - 8);
    }
    for (size_t e = 0; e < targets.size(); ++e) {
        if (!leadsDown(e))
            continue;
        const size_t p = static_cast<size_t>(from[e]);
        const MapLayout::Box &box = map.nodes[p];
        const double slot = static_cast<double>(++downPlaced[p]) / static_cast<double>(down[p] + 1);
        departures[e] = {box.x - box.width / 2 + box.width * slot, box.y + box.height / 2};
    }
    return departures;
}

} // namespace

std::vector<MapLayout::Marker> MapLayout::Markers(const ConversationGraph &graph, std::vector<int> &markerOf)
{
    std::vector<Marker> markers;
    std::map<std::tuple<int, Mark, int>, int> index;
    markerOf.clear();
    for (const ConversationGraph::Edge &edge : graph.GetEdges()) {
        if (edge.to >= 0) {
            markerOf.push_back(-1);
            continue;
        }
        // A jump or a payment to a number no page has leads to that number's box.
        const Mark mark = edge.mark == Mark::NoPage || edge.number != 0 ? Mark::NoPage : Mark::EndsDialog;
        const auto [at, added] = index.try_emplace({edge.from, mark, edge.number}, static_cast<int>(markers.size()));
        if (added)
            markers.push_back({{}, mark, edge.number});
        markerOf.push_back(at->second);
    }
    return markers;
}

const MapLayout::Box &MapLayout::VertexBox(int vertex) const
{
    const size_t v = static_cast<size_t>(vertex);
    return v < nodes.size() ? nodes[v] : markers[v - nodes.size()].box;
}

int MapLayout::TargetOf(int edge) const
{
    const ConversationGraph::Edge &jump = m_jumps[static_cast<size_t>(edge)];
    return jump.to >= 0 ? jump.to : static_cast<int>(nodes.size()) + markerOf[static_cast<size_t>(edge)];
}

bool MapLayout::Lay(const ConversationGraph &graph, const MapLayout *before, const Anchor &anchor, const std::stop_token &stop,
                    MapLayout &layout)
{
    MapLayout map;
    map.markers = Markers(graph, map.markerOf);
    for (const ConversationGraph::Node &node : graph.GetNodes())
        map.nodes.push_back(PageBox(node));
    for (Marker &marker : map.markers)
        marker.box = MarkerBox(marker);
    if (before && before->m_jumps == graph.GetEdges() && SameSizes(before->nodes, map.nodes)) {
        layout = *before;
        return true;
    }
    map.m_jumps = graph.GetEdges();
    std::vector<int> from, targets;
    for (size_t e = 0; e < map.m_jumps.size(); ++e) {
        from.push_back(map.m_jumps[e].from);
        targets.push_back(map.TargetOf(static_cast<int>(e)));
    }
    if (!map.PlaceBoxes(from, targets, stop) || !map.RouteJumps(from, targets, stop)) {
        layout = {};
        return false;
    }
    if (anchor.page >= 0 && static_cast<size_t>(anchor.page) < map.nodes.size()) {
        const Box &keep = map.nodes[static_cast<size_t>(anchor.page)];
        map.Move({anchor.at.x - keep.x, anchor.at.y - keep.y});
    }
    layout = std::move(map);
    return true;
}

bool MapLayout::PlaceBoxes(const std::vector<int> &from, const std::vector<int> &targets, const std::stop_token &stop)
{
    const int pages = static_cast<int>(nodes.size());
    const int vertices = pages + static_cast<int>(markers.size());
    const FirstArrivals tree(pages, vertices, from, targets, stop);
    if (tree.IsStopped())
        return false;
    std::vector<double> widths(static_cast<size_t>(vertices));
    for (int v = 0; v < vertices; ++v)
        widths[static_cast<size_t>(v)] = VertexBox(v).width;
    const std::vector<double> x = TidyTree::Place(tree, widths, kGap, stop);
    if (x.size() != widths.size())
        return false;
    m_arrivals.resize(static_cast<size_t>(vertices));
    for (int v = 0; v < vertices; ++v)
        m_arrivals[static_cast<size_t>(v)] = tree.GetArrival(v);

    // The ranks, top-down, each as tall as its tallest box.
    ranks.resize(static_cast<size_t>(tree.GetDepthCount()));
    rankOf.resize(static_cast<size_t>(vertices));
    for (const int v : tree.GetOrder()) {
        const int depth = tree.GetDepth(v);
        rankOf[static_cast<size_t>(v)] = depth;
        Rank &rank = ranks[static_cast<size_t>(depth)];
        rank.vertices.push_back(v);
        rank.height = std::max(rank.height, VertexBox(v).height);
    }
    for (size_t r = 1; r < ranks.size(); ++r)
        ranks[r].top = ranks[r - 1].top + ranks[r - 1].height + kChannel;
    double right = 0;
    for (int v = 0; v < vertices; ++v) {
        Box &box = v < pages ? nodes[static_cast<size_t>(v)] : markers[static_cast<size_t>(v - pages)].box;
        const Rank &rank = ranks[static_cast<size_t>(rankOf[static_cast<size_t>(v)])];
        box.x = x[static_cast<size_t>(v)];
        box.y = rank.top + rank.height / 2;
        right = std::max(right, box.x + box.width / 2);
    }
    // The rectangle: the boxes with room around them for the routes, from 0.
    left = -kGap;
    top = -kChannel;
    width = right + 2 * kGap;
    height = ranks.empty() ? 0 : ranks.back().top + ranks.back().height + 2 * kChannel;
    Move({kGap, kChannel});
    return true;
}

bool MapLayout::RouteJumps(const std::vector<int> &from, const std::vector<int> &targets, const std::stop_token &stop)
{
    const JumpRouter router(*this, kGap, kChannel);
    const std::vector<Point> departures = Departures(*this, from, targets);
    edges.resize(targets.size());
    for (size_t e = 0; e < targets.size(); ++e) {
        if (e % kPiece == 0 && stop.stop_requested())
            return false;
        const size_t page = static_cast<size_t>(from[e]);
        const int target = targets[e];
        const int rank = rankOf[page];
        const Point start = departures[e];
        const bool downward = start.y > nodes[page].y;
        const Box &to = VertexBox(target);
        // The tree's arrows and the jumps to markers are drawn in full.
        Route &route = edges[e];
        route.far = m_arrivals[static_cast<size_t>(target)] != static_cast<int>(e) && static_cast<size_t>(target) < nodes.size()
                    && (std::abs(rankOf[static_cast<size_t>(target)] - rank) > kNearRanks || std::abs(to.x - start.x) > kNearWidth);
        if (route.far)
            route.stub = JumpRouter::Stub(start, !downward);
        else
            static_cast<Path &>(route) = downward ? router.Down(start, rank, target) : router.Up(start, rank, target);
    }
    return true;
}

void MapLayout::Move(Point by)
{
    left += by.x;
    top += by.y;
    for (Box &box : nodes) {
        box.x += by.x;
        box.y += by.y;
    }
    for (Marker &marker : markers) {
        marker.box.x += by.x;
        marker.box.y += by.y;
    }
    for (Route &route : edges) {
        ::Move(route, by);
        ::Move(route.stub, by);
    }
    for (Rank &rank : ranks)
        rank.top += by.y;
}

MapLayout::Path MapLayout::RouteOf(int edge) const
{
    const Route &route = edges[static_cast<size_t>(edge)];
    if (!route.far)
        return route;
    const JumpRouter router(*this, kGap, kChannel);
    const int page = m_jumps[static_cast<size_t>(edge)].from;
    const int target = TargetOf(edge);
    const int rank = rankOf[static_cast<size_t>(page)];
    const Point start = route.stub.points.front();
    return rankOf[static_cast<size_t>(target)] > rank ? router.Down(start, rank, target) : router.Up(start, rank, target);
}

std::vector<int> MapLayout::VerticesIn(double fromX, double fromY, double toX, double toY) const
{
    std::vector<int> found;
    auto rank = std::partition_point(ranks.begin(), ranks.end(), [&](const Rank &r) { return r.top + r.height < fromY; });
    for (; rank != ranks.end() && rank->top <= toY; ++rank) {
        const std::vector<int> &row = rank->vertices;
        auto it = std::partition_point(row.begin(), row.end(), [&](int v) { return VertexBox(v).x + VertexBox(v).width / 2 < fromX; });
        for (; it != row.end() && VertexBox(*it).x - VertexBox(*it).width / 2 <= toX; ++it) {
            const Box &box = VertexBox(*it);
            if (box.y - box.height / 2 <= toY && box.y + box.height / 2 >= fromY)
                found.push_back(*it);
        }
    }
    return found;
}

int MapLayout::PageAt(Point point) const
{
    for (const int v : VerticesIn(point.x, point.y, point.x, point.y)) {
        if (static_cast<size_t>(v) < nodes.size())
            return v;
    }
    return -1;
}
