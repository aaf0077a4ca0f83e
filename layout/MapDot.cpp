#include "layout/MapDot.h"

#include "layout/MapLayout.h"
#include "model/Windows1252.h"

#include <vector>

namespace {

using Mark = ConversationGraph::Mark;

// A DOT string that Graphviz draws as the text reads: quoted, with quotes
// and backslashes escaped, "&" written as "&amp;" (Graphviz reads entities
// in labels, so "&lt;" would be drawn as "<"), and each control character
// drawn as its picture (U+2400 on; DEL U+2421), which unlike the raw
// character may stand in SVG's XML.
std::string Quoted(const std::string &utf8)
{
    std::string text = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (c == '&') {
            text += "&amp;";
        } else if (byte < 0x20 || byte == 0x7F) {
            const unsigned picture = byte == 0x7F ? 0x2421 : 0x2400 + byte; // three bytes of UTF-8
            text += static_cast<char>(0xE0 | (picture >> 12));
            text += static_cast<char>(0x80 | ((picture >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (picture & 0x3F));
        } else {
            text += c;
        }
    }
    return text + '"';
}

// The page's name over its number of options.
std::string PageLabel(const ConversationGraph::Node &node)
{
    std::string label = Quoted(Windows1252::ToUtf8(node.name));
    label.pop_back();
    return label + "\\n" + std::to_string(node.options) + (node.options == 1 ? " option\"" : " options\"");
}

} // namespace

std::string MapDot::Write(const ConversationGraph &graph)
{
    std::vector<int> markerOf;
    const std::vector<MapLayout::Marker> markers = MapLayout::Markers(graph, markerOf);
    // newrank spares dot a ranking step that grows with the square of the
    // pages; on large graphs fewer rounds place the boxes well enough.
    std::string dot = "digraph conversation {\n  graph [newrank=true";
    if (graph.GetNodes().size() > 1000)
        dot += ", nslimit=0.05, nslimit1=0.05";
    dot += "];\n"
           "  node [shape=box, style=rounded, fontname=\"Liberation Sans\", fontsize=10];\n"
           "  edge [fontname=\"Liberation Sans\", fontsize=9];\n";
    const std::vector<ConversationGraph::Node> &nodes = graph.GetNodes();
    for (size_t i = 0; i < nodes.size(); ++i)
        dot += "  p" + std::to_string(i) + " [id=p" + std::to_string(i) + ", label=" + PageLabel(nodes[i])
               + (i == 0 ? ", penwidth=2" : "") + "];\n";
    // Markers are named after the first edge that ends there.
    for (size_t k = 0; k < markers.size(); ++k) {
        if (markers[k].mark == Mark::NoPage)
            dot += "  m" + std::to_string(k) + " [id=m" + std::to_string(k) + ", shape=octagon, style=solid, color=red, fontcolor=red, label="
                   + Quoted("no page " + std::to_string(markers[k].number)) + "];\n";
        else
            dot += "  m" + std::to_string(k) + " [id=m" + std::to_string(k) + ", shape=point, width=0.12, label=\"\"];\n";
    }
    const std::vector<ConversationGraph::Edge> &edges = graph.GetEdges();
    for (size_t e = 0; e < edges.size(); ++e) {
        const ConversationGraph::Edge &edge = edges[e];
        const std::string to = edge.to >= 0 ? "p" + std::to_string(edge.to) : "m" + std::to_string(markerOf[e]);
        dot += "  p" + std::to_string(edge.from) + " -> " + to + " [id=e" + std::to_string(e);
        switch (edge.mark) {
        case Mark::Jump:
            break;
        case Mark::EndsDialog:
            dot += ", arrowhead=tee";
            break;
        case Mark::RequestMoney:
            dot += ", style=dashed, color=darkgoldenrod, label=\"pays\"";
            break;
        case Mark::NoPage:
            dot += ", color=red";
            break;
        }
        dot += "];\n";
    }
    return dot + "}\n";
}
