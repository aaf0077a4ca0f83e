#include "layout/MapSvg.h"

#include "model/Windows1252.h"

#include <charconv>
#include <cmath>

namespace {

using Mark = ConversationGraph::Mark;
using Point = MapLayout::Point;

// Graphviz's darkgoldenrod, for Request money.
const char *const kMoney = "#b8860b";

void Number(std::string &out, double value)
{
    char text[32];
    const auto [end, failed] = std::to_chars(text, text + sizeof text, std::round(value * 100) / 100, std::chars_format::general, 12);
    out.append(text, failed == std::errc() ? end : text);
}

void PointText(std::string &out, Point point)
{
    Number(out, point.x);
    out += ',';
    Number(out, point.y);
}

// File bytes as XML text: UTF-8, markup escaped, and the control characters
// that XML cannot hold shown by their pictures (U+2400 on).
void Text(std::string &out, std::string_view bytes)
{
    for (const char c : Windows1252::ToUtf8(bytes)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (u == 0x7f)
            out += "\u2421";
        else if (u < 0x20)
            out.append("\xe2\x90").push_back(static_cast<char>(0x80 + u));
        else
            out += c;
    }
}

void Label(std::string &out, Point at, const char *anchor, double size, const char *colour, std::string_view bytes)
{
    out += "<text text-anchor=\"";
    out += anchor;
    out += "\" x=\"";
    Number(out, at.x);
    out += "\" y=\"";
    Number(out, at.y);
    out += "\" font-family=\"Liberation Sans\" font-size=\"";
    Number(out, size);
    out += "\" fill=\"";
    out += colour;
    out += "\">";
    Text(out, bytes);
    out += "</text>\n";
}

void Polygon(std::string &out, const std::vector<Point> &points, const char *fill, const char *stroke)
{
    out += "<polygon fill=\"";
    out += fill;
    out += "\" stroke=\"";
    out += stroke;
    out += "\" points=\"";
    for (size_t i = 0; i < points.size(); ++i) {
        if (i > 0)
            out += ' ';
        PointText(out, points[i]);
    }
    out += "\"/>\n";
}

// The arrow of a path: its curve, and at its head an arrowhead or, where
// the dialog ends, a bar.
void Arrow(std::string &out, const MapLayout::Path &path, Mark mark)
{
    const char *colour = mark == Mark::RequestMoney ? kMoney : mark == Mark::NoPage ? "red" : "black";
    out += "<path fill=\"none\" stroke=\"";
    out += colour;
    out += mark == Mark::RequestMoney ? "\" stroke-dasharray=\"5,2\" d=\"M" : "\" d=\"M";
    PointText(out, path.points.front());
    for (size_t i = 1; i + 2 < path.points.size(); i += 3) {
        out += i == 1 ? "C" : " ";
        PointText(out, path.points[i]);
        out += ' ';
        PointText(out, path.points[i + 1]);
        out += ' ';
        PointText(out, path.points[i + 2]);
    }
    out += "\"/>\n";
    const Point from = path.points.back(), head = path.head;
    const double length = std::hypot(head.x - from.x, head.y - from.y);
    if (length <= 0)
        return;
    const Point along{(head.x - from.x) / length, (head.y - from.y) / length};
    const Point across{-along.y, along.x};
    const auto at = [&](double a, double b) { return Point{head.x - along.x * a + across.x * b, head.y - along.y * a + across.y * b}; };
    if (mark == Mark::EndsDialog)
        Polygon(out, {at(length, 0.5), at(1, 0.5), at(1, 5), at(3, 5), at(3, -5), at(1, -5), at(1, -0.5), at(length, -0.5)}, colour,
                colour);
    else
        Polygon(out, {head, at(length, 3.5), at(length, -3.5)}, colour, colour);
}

// The point halfway along a path, between the ends of its middle segment.
Point Middle(const MapLayout::Path &path)
{
    const size_t segment = (path.points.size() - 1) / 3 / 2 * 3;
    const Point &a = path.points[segment], &b = path.points[std::min(segment + 3, path.points.size() - 1)];
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

void Group(std::string &out, char kind, size_t index, std::string_view title)
{
    out += "<g id=\"";
    out += kind;
    out += std::to_string(index);
    out += kind == 'e' ? "\" class=\"edge\">\n<title>" : "\" class=\"node\">\n<title>";
    Text(out, title);
    out += "</title>\n";
}

void Page(std::string &out, size_t index, const ConversationGraph::Node &node, const MapLayout::Box &box)
{
    Group(out, 'p', index, node.name);
    out += "<rect x=\"";
    Number(out, box.x - box.width / 2);
    out += "\" y=\"";
    Number(out, box.y - box.height / 2);
    out += "\" width=\"";
    Number(out, box.width);
    out += "\" height=\"";
    Number(out, box.height);
    out +=
        index == 0 ? "\" rx=\"6\" fill=\"none\" stroke=\"black\" stroke-width=\"2\"/>\n" : "\" rx=\"6\" fill=\"none\" stroke=\"black\"/>\n";
    Label(out, {box.x, box.y - 3}, "middle", 10, "black", node.name);
    Label(out, {box.x, box.y + 8}, "middle", 10, "black", std::to_string(node.options) + (node.options == 1 ? " option" : " options"));
    out += "</g>\n";
}

void MarkerBox(std::string &out, size_t index, const MapLayout::Marker &marker)
{
    const MapLayout::Box &box = marker.box;
    const std::string name = marker.mark == Mark::NoPage ? "no page " + std::to_string(marker.number) : "";
    Group(out, 'm', index, name);
    if (marker.mark == Mark::NoPage) {
        const double w = box.width / 2, h = box.height / 2, cut = h * 0.41;
        const double x = box.x, y = box.y;
        Polygon(out,
                {{x - w + cut, y - h},
                 {x + w - cut, y - h},
                 {x + w, y - h + cut},
                 {x + w, y + h - cut},
                 {x + w - cut, y + h},
                 {x - w + cut, y + h},
                 {x - w, y + h - cut},
                 {x - w, y - h + cut}},
                "none", "red");
        Label(out, {x, y + 3.5}, "middle", 10, "red", name);
    } else {
        out += "<ellipse fill=\"black\" stroke=\"black\" cx=\"";
        Number(out, box.x);
        out += "\" cy=\"";
        Number(out, box.y);
        out += "\" rx=\"";
        Number(out, box.width / 2);
        out += "\" ry=\"";
        Number(out, box.height / 2);
        out += "\"/>\n";
    }
    out += "</g>\n";
}

} // namespace

std::string MapSvg::Write(const ConversationGraph &graph, const MapLayout &layout)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg width=\"";
    Number(out, layout.width);
    out += "pt\" height=\"";
    Number(out, layout.height);
    out += "pt\" viewBox=\"";
    Number(out, layout.left);
    out += ' ';
    Number(out, layout.top);
    out += ' ';
    Number(out, layout.width);
    out += ' ';
    Number(out, layout.height);
    out += "\" xmlns=\"http://www.w3.org/2000/svg\">\n<g id=\"graph0\" class=\"graph\">\n<title>conversation</title>\n<rect fill=\"white\" "
           "x=\"";
    Number(out, layout.left);
    out += "\" y=\"";
    Number(out, layout.top);
    out += "\" width=\"100%\" height=\"100%\"/>\n";
    const std::vector<ConversationGraph::Node> &nodes = graph.GetNodes();
    for (size_t i = 0; i < nodes.size(); ++i)
        Page(out, i, nodes[i], layout.nodes[i]);
    for (size_t k = 0; k < layout.markers.size(); ++k)
        MarkerBox(out, k, layout.markers[k]);
    const std::vector<ConversationGraph::Edge> &edges = graph.GetEdges();
    for (size_t e = 0; e < edges.size(); ++e) {
        const ConversationGraph::Edge &edge = edges[e];
        const MapLayout::Route &route = layout.edges[e];
        // Named as Graphviz names an edge: its ends, as p<page> or m<marker>.
        std::string ends = 'p' + std::to_string(edge.from);
        ends += edge.to >= 0 ? "->p" : "->m";
        ends += std::to_string(edge.to >= 0 ? edge.to : layout.markerOf[e]);
        Group(out, 'e', e, ends);
        const MapLayout::Path &path = route.far ? route.stub : route;
        Arrow(out, path, edge.mark);
        const char *colour = edge.mark == Mark::RequestMoney ? kMoney : "black";
        if (route.far) {
            // The stub's label: what the page leads to, beside its head on
            // the side it leads to.
            const bool left = layout.nodes[static_cast<size_t>(edge.to)].x < path.head.x;
            const Point at{path.head.x + (left ? -4 : 4), path.head.y + (path.head.y < path.points.front().y ? 0 : 8)};
            if (edge.mark == Mark::RequestMoney)
                Label(out, {at.x, at.y - 10}, left ? "end" : "start", 9, colour, "pays");
            Label(out, at, left ? "end" : "start", 9, colour, nodes[static_cast<size_t>(edge.to)].name);
        } else if (edge.mark == Mark::RequestMoney) {
            const Point middle = Middle(path);
            Label(out, {middle.x + 4, middle.y}, "start", 9, colour, "pays");
        }
        out += "</g>\n";
    }
    return out + "</g>\n</svg>\n";
}
