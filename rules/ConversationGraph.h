#pragma once

#include "rules/OfferedSet.h"
#include "rules/Reachability.h"

#include <string>
#include <vector>

class DialogFile;

// The shape of a conversation, as the map draws it: every page a node, every
// jump an edge from the option's page to its target. Edges that lead to no
// page carry a mark (the option ends the dialog, or its number names no
// page); a Request money speech leads from its page to the page the PC
// reaches by paying. Seen as a kind of PC, the pages and edges such a PC can
// never reach from the first page are dimmed, by the reachability rules of
// dlgtool check.
class ConversationGraph {
public:
    enum class Mark { Jump, EndsDialog, RequestMoney, NoPage };

    struct Node {
        std::string name; // the file's bytes
        int options = 0;
        int line = 0;
    };
    struct Edge {
        int from = 0;
        int option = -1; // the option's index on its page; -1 for Request money
        int to = -1;     // the target page's index; -1 when it leads to none
        Mark mark = Mark::Jump;
        int number = 0;  // for NoPage, and RequestMoney that leads to no page: the page number it names (0: none)
        bool operator==(const Edge &) const = default;
    };
    // Anyone, or PCs of one gender and intelligence.
    struct Profile {
        bool anyone = true;
        bool female = false;
        long long intelligence = 10;
    };
    // What a profile can never reach: per node, per edge.
    struct Dimmed {
        std::vector<bool> nodes;
        std::vector<bool> edges;
    };

    explicit ConversationGraph(const DialogFile &file);

    const std::vector<Node> &GetNodes() const { return m_nodes; }
    const std::vector<Edge> &GetEdges() const { return m_edges; }
    Dimmed GetDimmed(const Profile &profile) const;

private:
    bool Reaches(int page, const Profile &profile) const;
    bool Passes(int edge, const Profile &profile) const;

    std::vector<Node> m_nodes;
    std::vector<Edge> m_edges;
    std::vector<OfferedSet> m_rules; // the checks of the options' edges
    std::vector<int> m_ruleOf;       // per edge: its rule, or -1 for Request money
    Reachability m_reachability;
};
