// The graph the map draws and dlgtool graph writes.
#include "TestFiles.h"
#include "graph/GraphvizLayout.h"
#include "rules/ConversationGraph.h"
#include "model/DialogFile.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

using Mark = ConversationGraph::Mark;
using Edge = ConversationGraph::Edge;

// Start: to Women (female PCs only), to Clever (intelligence 8 and up), an
// exit, to page 99 (none), and Request money to Paid. Lost: nothing leads there.
const char *kFile = "// [LABEL] Start\n{1}{M:5,61}{M:5,61}{}{}{}{}\n{2}{w}{0}{1}{}{21}{}\n{3}{c}{}{8}{}{41}{}\n{4}{E:}{}{1}{}{}{}\n{5}{x}{}{1}{}{99}{}\n"
                    "// [LABEL] Women\n{21}{w}{w}{}{}{}{}\n"
                    "// [LABEL] Clever\n{41}{c}{c}{}{}{}{}\n{42}{back}{}{1}{}{1}{}\n"
                    "// [LABEL] Paid\n{61}{p}{p}{}{}{}{}\n"
                    "// [LABEL] Lost\n{81}{l}{l}{}{}{}{}\n{82}{to women}{}{1}{}{21}{}\n";

} // namespace

TEST(ConversationGraph, NodesEdgesMarksAndDimmedPerProfile)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText(kFile));
    const ConversationGraph graph(file);
    ASSERT_EQ(graph.GetNodes().size(), 5u);
    EXPECT_EQ(graph.GetNodes()[0].name, "Start");
    EXPECT_EQ(graph.GetNodes()[0].options, 4);
    EXPECT_EQ(graph.GetNodes()[2].line, 10);
    const std::vector<Edge> edges{
        {0, -1, 3, Mark::RequestMoney, 0}, {0, 0, 1, Mark::Jump, 0}, {0, 1, 2, Mark::Jump, 0}, {0, 2, -1, Mark::EndsDialog, 0},
        {0, 3, -1, Mark::NoPage, 99},      {2, 0, 0, Mark::Jump, 0},  {4, 0, 1, Mark::Jump, 0},
    };
    EXPECT_EQ(graph.GetEdges(), edges);

    struct Case {
        const char *who;
        ConversationGraph::Profile profile;
        std::vector<bool> nodes;
        std::vector<bool> edges;
    };
    const Case cases[] = {
        {"anyone", {true}, {false, false, false, false, true}, {false, false, false, false, false, false, true}},
        {"a male PC of 8", {false, false, 8}, {false, true, false, false, true}, {false, true, false, false, false, false, true}},
        {"a female PC of 7", {false, true, 7}, {false, false, true, false, true}, {false, false, true, false, false, true, true}},
    };
    for (const Case &c : cases) {
        const ConversationGraph::Dimmed dimmed = graph.GetDimmed(c.profile);
        EXPECT_EQ(dimmed.nodes, c.nodes) << c.who;
        EXPECT_EQ(dimmed.edges, c.edges) << c.who;
    }
}

// What dlgtool graph writes, DOT and SVG, Graphviz's dot and an XML parser
// read back, even with quotes, backslashes, entities and control characters
// in a page's name, which is drawn as it reads.
TEST(ConversationGraph, DlgtoolGraphReadsBackInDot)
{
    TestFiles files;
    const std::string path = files.Write("g.dlg", std::string(kFile) + "// [LABEL] Say \"hi\\n\"\n{101}{q}{q}{}{}{}{}\n"
                                                                       "// [LABEL] \x1b[2J&lt;\x07\x01&amp; \x7f\n{121}{q}{q}{}{}{}{}\n");
    for (const char *format : {"dot", "svg"}) {
        const std::string command = std::string(TALKWRIGHT_DLGTOOL) + " graph " + path + " --format " + format + " -o " + files.Path("out")
                                    + (format == std::string("dot") ? " && dot -Tplain " : " && xmllint --noout ") + files.Path("out");
        std::FILE *pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        EXPECT_EQ(pclose(pipe), 0) << format;
        if (format == std::string("dot")) {
            EXPECT_NE(out.find("node p5 "), std::string::npos);
            EXPECT_NE(out.find("\"Say \\\"hi\\\\n\\\"\\n0 options\""), std::string::npos) << out;
            EXPECT_NE(out.find("edge p0 m1 "), std::string::npos); // to the octagon of page 99
        } else {
            EXPECT_NE(TestFiles::ReadBytes(files.Path("out")).find(">\u241b[2J&amp;lt;\u2407\u2401&amp;amp; \u2421</text>"), std::string::npos);
        }
    }
}

// Request money to a page number that no page has is drawn as a jump to
// one is: to a "no page N" marker of its page.
TEST(ConversationGraph, MoneyToNoPage)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText("{1}{M:5,21}{M:7,0}{}{}{}{}\n{2}{Go}{}{1}{}{21}{}\n"));
    const ConversationGraph graph(file);
    const std::vector<Edge> edges{{0, -1, -1, Mark::RequestMoney, 21}, {0, -1, -1, Mark::RequestMoney, 0}, {0, 0, -1, Mark::NoPage, 21}};
    EXPECT_EQ(graph.GetEdges(), edges);
    const std::string dot = GraphvizLayout::Dot(graph);
    EXPECT_NE(dot.find("m0 [id=m0, shape=octagon, style=solid, color=red, fontcolor=red, label=\"no page 21\"]"), std::string::npos) << dot;
    EXPECT_NE(dot.find("p0 -> m0 [id=e0, style=dashed"), std::string::npos) << dot;
    EXPECT_NE(dot.find("p0 -> m1 [id=e1, style=dashed"), std::string::npos) << "paid, the dialog ends: " << dot;
    EXPECT_NE(dot.find("p0 -> m0 [id=e2, color=red"), std::string::npos) << "the option's jump shares the marker: " << dot;
}
