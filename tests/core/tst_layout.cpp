// The map's layout: where the boxes of the pages and markers go, and how the
// jumps' arrows run between them.
#include "HardShape.h"
#include "layout/MapLayout.h"
#include "layout/MapSvg.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/ConversationGraph.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <gtest/gtest.h>
#include <string>

namespace {

using Box = MapLayout::Box;
using Point = MapLayout::Point;

double Left(const Box &b)
{
    return b.x - b.width / 2;
}
double Right(const Box &b)
{
    return b.x + b.width / 2;
}
double Top(const Box &b)
{
    return b.y - b.height / 2;
}
double Bottom(const Box &b)
{
    return b.y + b.height / 2;
}

bool OnEdge(Point p, const Box &b)
{
    const double e = 0.01;
    const bool across = p.x >= Left(b) - e && p.x <= Right(b) + e, upright = p.y >= Top(b) - e && p.y <= Bottom(b) + e;
    return (across && (std::abs(p.y - Top(b)) < e || std::abs(p.y - Bottom(b)) < e))
           || (upright && (std::abs(p.x - Left(b)) < e || std::abs(p.x - Right(b)) < e));
}

bool Inside(Point p, const Box &b)
{
    return p.x > Left(b) + 0.5 && p.x < Right(b) - 0.5 && p.y > Top(b) + 0.5 && p.y < Bottom(b) - 0.5;
}

Point On(const MapLayout::Path &path, size_t segment, double t)
{
    const Point *p = &path.points[segment * 3];
    const double u = 1 - t;
    return {u * u * u * p[0].x + 3 * u * u * t * p[1].x + 3 * u * t * t * p[2].x + t * t * t * p[3].x,
            u * u * u * p[0].y + 3 * u * u * t * p[1].y + 3 * u * t * t * p[2].y + t * t * t * p[3].y};
}

// What every layout must be, checked against the graph without the
// layout's own reckoning: each page and marker placed once, at the depth of
// its first arrival from the first page (breadth first; a page no jump
// from there reaches right of every page it does reach), the first page on
// top, no two boxes overlapping, and every jump an arrow from its page to
// its target that runs through no box.
void ExpectSound(const ConversationGraph &graph, const MapLayout &layout, const std::string &name)
{
    const size_t pages = graph.GetNodes().size(), vertices = pages + layout.markers.size();
    ASSERT_EQ(layout.nodes.size(), pages) << name;
    ASSERT_EQ(layout.edges.size(), graph.GetEdges().size()) << name;
    std::vector<int> seen(vertices, 0);
    for (size_t r = 0; r < layout.ranks.size(); ++r) {
        for (const int v : layout.ranks[r].vertices) {
            ++seen[static_cast<size_t>(v)];
            EXPECT_EQ(layout.rankOf[static_cast<size_t>(v)], static_cast<int>(r)) << name << ": vertex " << v;
        }
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(vertices)) << name << ": every box placed once";

    std::vector<std::vector<int>> leadsTo(pages);
    for (const ConversationGraph::Edge &edge : graph.GetEdges()) {
        if (edge.to >= 0)
            leadsTo[static_cast<size_t>(edge.from)].push_back(edge.to);
    }
    std::vector<int> depth(pages, -1);
    std::deque<int> queue;
    if (pages > 0)
        queue.push_back(0), depth[0] = 0;
    for (; !queue.empty(); queue.pop_front()) {
        for (const int to : leadsTo[static_cast<size_t>(queue.front())]) {
            if (depth[static_cast<size_t>(to)] < 0)
                depth[static_cast<size_t>(to)] = depth[static_cast<size_t>(queue.front())] + 1, queue.push_back(to);
        }
    }
    std::vector<double> reachedRight(layout.ranks.size(), -1e300);
    for (size_t p = 0; p < pages; ++p) {
        if (depth[p] >= 0) {
            EXPECT_EQ(layout.rankOf[p], depth[p]) << name << ": page " << p;
            reachedRight[static_cast<size_t>(layout.rankOf[p])] =
                std::max(reachedRight[static_cast<size_t>(layout.rankOf[p])], Right(layout.nodes[p]));
        }
    }
    for (size_t p = 0; p < pages; ++p) {
        if (depth[p] < 0) {
            EXPECT_GT(Left(layout.nodes[p]), reachedRight[static_cast<size_t>(layout.rankOf[p])]) << name << ": unreached page " << p;
        }
    }

    std::vector<Box> boxes;
    for (size_t v = 0; v < vertices; ++v) {
        boxes.push_back(layout.VertexBox(static_cast<int>(v)));
        const std::vector<int> at = layout.VerticesIn(boxes[v].x, boxes[v].y, boxes[v].x, boxes[v].y);
        EXPECT_NE(std::find(at.begin(), at.end(), static_cast<int>(v)), at.end()) << name << ": box " << v << " is found where it is";
        if (v < pages) {
            EXPECT_EQ(layout.PageAt({boxes[v].x, boxes[v].y}), static_cast<int>(v)) << name;
        }
    }
    if (pages > 0) {
        for (const Box &box : boxes)
            EXPECT_LE(Top(layout.nodes[0]), Top(box)) << name << ": the first page on top";
    }
    std::vector<size_t> byLeft(vertices);
    for (size_t v = 0; v < vertices; ++v)
        byLeft[v] = v;
    std::sort(byLeft.begin(), byLeft.end(), [&](size_t a, size_t b) { return Left(boxes[a]) < Left(boxes[b]); });
    for (size_t i = 0; i < vertices; ++i) {
        const Box &a = boxes[byLeft[i]];
        EXPECT_GE(Left(a), layout.left) << name;
        EXPECT_LE(Bottom(a), layout.top + layout.height) << name;
        for (size_t j = i + 1; j < vertices && Left(boxes[byLeft[j]]) < Right(a); ++j) {
            const Box &b = boxes[byLeft[j]];
            EXPECT_FALSE(Top(b) < Bottom(a) && Top(a) < Bottom(b)) << name << ": boxes " << byLeft[i] << " and " << byLeft[j] << " overlap";
        }
    }

    for (size_t e = 0; e < layout.edges.size(); ++e) {
        const ConversationGraph::Edge &edge = graph.GetEdges()[e];
        const int to = edge.to >= 0 ? edge.to : static_cast<int>(pages) + layout.markerOf[e];
        const MapLayout::Path route = layout.RouteOf(static_cast<int>(e));
        ASSERT_EQ(route.points.size() % 3, 1u) << name << ": edge " << e;
        ASSERT_GE(route.points.size(), 4u) << name << ": edge " << e;
        EXPECT_TRUE(OnEdge(route.points.front(), layout.nodes[static_cast<size_t>(edge.from)]))
            << name << ": edge " << e << " leaves its page";
        EXPECT_TRUE(OnEdge(route.head, boxes[static_cast<size_t>(to)])) << name << ": edge " << e << " reaches its target";
        if (layout.edges[e].far) {
            EXPECT_EQ(layout.edges[e].stub.points.front(), route.points.front()) << name << ": edge " << e << "'s stub";
        }
        for (size_t s = 0; s < (route.points.size() - 1) / 3; ++s) {
            for (const double t : {0.1, 0.3, 0.5, 0.7, 0.9}) {
                const Point p = On(route, s, t);
                for (const int v : layout.VerticesIn(p.x - 1, p.y - 1, p.x + 1, p.y + 1))
                    EXPECT_FALSE(Inside(p, boxes[static_cast<size_t>(v)])) << name << ": edge " << e << " runs through box " << v;
            }
        }
    }
}

ConversationGraph GraphOf(const std::string &text, DialogFile &file)
{
    EXPECT_TRUE(file.ReadText(text));
    return ConversationGraph(file);
}

// Start leads to Women, Clever, out twice, to page 99 (none) and, paying,
// to Paid; Clever leads back; Lost and Found lead to each other (no jump
// from Start reaches them) and Loop to itself, with a long name.
const char *const kShapes = "// [LABEL] Start\n{1}{M:5,61}{M:5,61}{}{}{}{}\n{2}{w}{0}{1}{}{21}{}\n{3}{c}{}{8}{}{41}{}\n{4}{E:}{}{1}{}{}{}\n"
                            "{5}{x}{}{1}{}{99}{}\n{6}{x}{}{1}{}{}{}\n{7}{again}{}{1}{}{21}{}\n"
                            "// [LABEL] Women\n{21}{w}{w}{}{}{}{}\n{22}{on}{}{1}{}{81}{}\n"
                            "// [LABEL] Clever\n{41}{c}{c}{}{}{}{}\n{42}{back}{}{1}{}{1}{}\n{43}{across}{}{1}{}{21}{}\n"
                            "// [LABEL] Paid\n{61}{p}{p}{}{}{}{}\n"
                            "// [LABEL] Loop with a name much longer than the others\n{81}{l}{l}{}{}{}{}\n{82}{me}{}{1}{}{81}{}\n"
                            "// [LABEL] Lost\n{101}{l}{l}{}{}{}{}\n{102}{to found}{}{1}{}{121}{}\n"
                            "// [LABEL] Found\n{121}{f}{f}{}{}{}{}\n{122}{to lost}{}{1}{}{101}{}\n{123}{to start}{}{1}{}{1}{}\n";

} // namespace

TEST(MapLayout, PlacesEveryPageOnceFromTheFirstPageDown)
{
    const std::pair<const char *, std::string> cases[] = {
        {"marks, jumps back and across, islands", kShapes},
        {"one page", "// [LABEL] A\n{1}{a}{a}{}{}{}{}\n"},
        {"a chain of 300 pages back to the start",
         [] {
             std::string text;
             for (int p = 0; p < 300; ++p)
                 text += "{" + std::to_string(p * 20 + 1) + "}{a}{a}{}{}{}{}\n{" + std::to_string(p * 20 + 2) + "}{on}{}{1}{}{"
                         + std::to_string(((p + 1) % 300) * 20 + 1) + "}{}\n";
             return text;
         }()},
        {"1,000 pages of the hard shape", HardShapeConversation(1000)},
    };
    for (const auto &[name, text] : cases) {
        DialogFile file;
        const ConversationGraph graph = GraphOf(text, file);
        MapLayout layout;
        ASSERT_TRUE(MapLayout::Lay(graph, nullptr, {}, {}, layout)) << name;
        ExpectSound(graph, layout, name);
    }
    // A document without a page has an empty map.
    MapLayout layout;
    EXPECT_TRUE(MapLayout::Lay(ConversationGraph(DialogFile()), nullptr, {}, {}, layout));
    EXPECT_TRUE(layout.nodes.empty());
}

// The file that took Graphviz longer than anyone waits, laid out whole.
TEST(MapLayout, LaysOut20000PagesOfTheHardShape)
{
    DialogFile file;
    const ConversationGraph graph = GraphOf(HardShapeConversation(20000), file);
    MapLayout layout;
    ASSERT_TRUE(MapLayout::Lay(graph, nullptr, {}, {}, layout));
    ExpectSound(graph, layout, "20,000 pages");
    // The jumps drawn in full, other than the tree's arrows, stay near
    // their page: none crosses a hundredth of the map.
    for (size_t e = 0; e < layout.edges.size(); ++e) {
        const MapLayout::Route &route = layout.edges[e];
        if (route.far || route.points.empty())
            continue;
        const auto [least, most] =
            std::minmax_element(route.points.begin(), route.points.end(), [](Point a, Point b) { return a.x < b.x; });
        const ConversationGraph::Edge &edge = graph.GetEdges()[e];
        const bool arrival = edge.to > 0 && (edge.to == 2 * edge.from + 1 || edge.to == 2 * edge.from + 2);
        if (!arrival && edge.to >= 0) {
            EXPECT_LT(most->x - least->x, layout.width / 100) << "edge " << e;
        }
    }
}

TEST(MapLayout, AnEditMovesOnlyWhatItMust)
{
    DialogFile file;
    const ConversationGraph before = GraphOf(HardShapeConversation(200), file);
    MapLayout old;
    ASSERT_TRUE(MapLayout::Lay(before, nullptr, {}, {}, old));
    const auto boxes = [](const MapLayout &layout) { return layout.nodes; };

    // A new text keeps the shape, and so the layout.
    file.GetPage(7)->SetSpeech("Something else.");
    MapLayout same;
    ASSERT_TRUE(MapLayout::Lay(ConversationGraph(file), &old, {7, {1e6, 1e6}}, {}, same));
    EXPECT_EQ(boxes(same), boxes(old));

    // A jump back to a page reached already leaves every box where it was.
    auto back = std::make_unique<DialogLine>();
    back->SetTarget(file.GetPage(0));
    file.GetPage(150)->InsertOptionAt(0, std::move(back));
    const ConversationGraph jumped(file);
    MapLayout moved;
    ASSERT_TRUE(MapLayout::Lay(jumped, &old, {150, {old.nodes[150].x, old.nodes[150].y}}, {}, moved));
    EXPECT_EQ(boxes(moved), boxes(old));
    ExpectSound(jumped, moved, "a jump back");

    // A new page under page 20 keeps page 20 where it was, and moves the
    // subtrees it did not touch only as a whole: those of page 3 (beside 20's
    // grandparent 4) and of page 10 (beside its parent 9), where page p
    // leads on to 2p + 1 and 2p + 2.
    DialogLine *added = file.NewPage("New");
    auto option = std::make_unique<DialogLine>();
    option->SetTarget(added);
    file.GetPage(20)->AddOption(std::move(option));
    const ConversationGraph grown(file);
    MapLayout next;
    ASSERT_TRUE(MapLayout::Lay(grown, &moved, {20, {moved.nodes[20].x, moved.nodes[20].y}}, {}, next));
    ExpectSound(grown, next, "a new page");
    EXPECT_EQ(next.nodes[20].x, moved.nodes[20].x);
    EXPECT_EQ(next.nodes[20].y, moved.nodes[20].y);
    for (const size_t root : {3, 10}) {
        const Point by{next.nodes[root].x - moved.nodes[root].x, next.nodes[root].y - moved.nodes[root].y};
        for (size_t first = root, last = root; first < 200; first = 2 * first + 1, last = 2 * last + 2) {
            for (size_t p = first; p <= last && p < 200; ++p) {
                EXPECT_NEAR(next.nodes[p].x - moved.nodes[p].x, by.x, 1e-6) << "page " << p << " below " << root;
                EXPECT_NEAR(next.nodes[p].y - moved.nodes[p].y, by.y, 1e-6) << "page " << p << " below " << root;
            }
        }
    }
}

// A layout asked to stop leaves nothing behind, not a part of a map.
TEST(MapLayout, StopsWhenAsked)
{
    DialogFile file;
    const ConversationGraph graph = GraphOf(HardShapeConversation(5000), file);
    std::stop_source stop;
    stop.request_stop();
    MapLayout layout;
    ASSERT_TRUE(MapLayout::Lay(graph, nullptr, {}, {}, layout));
    EXPECT_FALSE(MapLayout::Lay(graph, nullptr, {}, stop.get_token(), layout));
    EXPECT_TRUE(layout.nodes.empty());
    EXPECT_TRUE(layout.edges.empty());
}

// The SVG holds a group per page, marker and jump, names as XML text (even
// markup and control characters), and a far jump's stub named after its target.
TEST(MapSvg, GroupsNamesAndStubs)
{
    const auto count = [](const std::string &text, const std::string &what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    struct Case {
        const char *name;
        std::string text;
        const char *holds;
    };
    const Case cases[] = {
        {"odd names", std::string(kShapes) + "// [LABEL] Say \"hi\" <&> \x01\n{141}{q}{q}{}{}{}{}\n",
         "Say &quot;hi&quot; &lt;&amp;&gt; \u2401<"},
        {"far jumps", HardShapeConversation(200), "font-size=\"9\" fill=\"black\">Page"},
    };
    for (const Case &c : cases) {
        DialogFile file;
        const ConversationGraph graph = GraphOf(c.text, file);
        MapLayout layout;
        ASSERT_TRUE(MapLayout::Lay(graph, nullptr, {}, {}, layout));
        const std::string svg = MapSvg::Write(graph, layout);
        EXPECT_EQ(count(svg, "class=\"node\""), layout.nodes.size() + layout.markers.size()) << c.name;
        EXPECT_EQ(count(svg, "class=\"edge\""), layout.edges.size()) << c.name;
        EXPECT_EQ(count(svg, "<g "), count(svg, "</g>")) << c.name;
        EXPECT_NE(svg.find(c.holds), std::string::npos) << c.name;
        const size_t far =
            static_cast<size_t>(std::count_if(layout.edges.begin(), layout.edges.end(), [](const MapLayout::Route &r) { return r.far; }));
        EXPECT_EQ(count(svg, "font-size=\"9\""), far + count(svg, ">pays</text>")) << c.name;
    }
}
