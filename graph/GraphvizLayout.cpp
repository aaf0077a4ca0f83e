#include "graph/GraphvizLayout.h"

#include "model/Windows1252.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <cstdlib>
#include <mutex>

namespace {

using Mark = ConversationGraph::Mark;

std::mutex g_graphviz;

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

// One Graphviz context for the whole process: its text layout keeps
// pointers to font names that the context owns, so a context freed and made
// again would leave them dangling.
GVC_t *SharedContext()
{
    static GVC_t *const context = gvContext();
    return context;
}

// A graph read into the context and laid out; taken down with the session.
class Session {
public:
    Session() : m_context(SharedContext()) {}
    ~Session()
    {
        if (m_graph) {
            if (m_laidOut)
                gvFreeLayout(m_context, m_graph);
            agclose(m_graph);
        }
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    bool Lay(const std::string &dot, std::string &error)
    {
        m_graph = agmemread(dot.c_str());
        if (!m_graph) {
            error = "Graphviz cannot read the graph";
            return false;
        }
        if (gvLayout(m_context, m_graph, "dot") != 0) {
            error = "Graphviz cannot lay out the graph";
            return false;
        }
        m_laidOut = true;
        return true;
    }
    GVC_t *Context() const { return m_context; }
    Agraph_t *Graph() const { return m_graph; }

private:
    GVC_t *m_context;
    Agraph_t *m_graph = nullptr;
    bool m_laidOut = false;
};

} // namespace

std::string GraphvizLayout::Dot(const ConversationGraph &graph)
{
    std::vector<int> markerOf;
    const std::vector<Marker> markers = MapLayout::Markers(graph, markerOf);
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

bool GraphvizLayout::Lay(const ConversationGraph &graph, Layout &layout, std::string &error)
{
    layout = {};
    layout.markers = MapLayout::Markers(graph, layout.markerOf);
    const std::string dot = Dot(graph);
    const std::lock_guard<std::mutex> lock(g_graphviz);
    Session session;
    if (!session.Lay(dot, error))
        return false;
    Agraph_t *g = session.Graph();
    const boxf bounds = GD_bb(g);
    layout.width = bounds.UR.x - bounds.LL.x;
    layout.height = bounds.UR.y - bounds.LL.y;
    const auto point = [&bounds](pointf p) { return Point{p.x - bounds.LL.x, bounds.UR.y - p.y}; };
    const auto box = [&point](Agnode_t *node) {
        const Point centre = point(ND_coord(node));
        return Box{centre.x, centre.y, ND_width(node) * 72, ND_height(node) * 72};
    };
    layout.nodes.resize(graph.GetNodes().size());
    layout.edges.resize(graph.GetEdges().size());
    std::string name;
    for (Agnode_t *node = agfstnode(g); node; node = agnxtnode(g, node)) {
        name = agnameof(node);
        const size_t index = std::strtoul(name.c_str() + 1, nullptr, 10);
        if (name[0] == 'p' && index < layout.nodes.size())
            layout.nodes[index] = box(node);
        else if (name[0] == 'm' && index < layout.markers.size())
            layout.markers[index].box = box(node);
        for (Agedge_t *edge = agfstout(g, node); edge; edge = agnxtout(g, edge)) {
            const char *id = agget(edge, const_cast<char *>("id"));
            const size_t e = id && id[0] == 'e' ? std::strtoul(id + 1, nullptr, 10) : layout.edges.size();
            const splines *spline = ED_spl(edge);
            if (e >= layout.edges.size() || !spline || spline->size < 1)
                continue;
            const bezier &curve = spline->list[0];
            Path &path = layout.edges[e];
            for (int i = 0; i < curve.size; ++i)
                path.points.push_back(point(curve.list[i]));
            path.head = curve.eflag ? point(curve.ep) : path.points.back();
        }
    }
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
// Graphviz and the font libraries under it keep caches to the end of the
// process by design; the leak checker is told not to count them as ours.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libgvc.so\nleak:libcgraph.so\nleak:libfontconfig.so\nleak:libpango\nleak:libcairo.so\nleak:libglib\nleak:libgobject\n"
           "leak:libgvplugin\n";
}

extern "C" const char *__lsan_default_options()
{
    return "print_suppressions=0";
}
#endif
