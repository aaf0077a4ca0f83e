#include "rules/ConversationGraph.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "speech/GeneratedSpeechKind.h"

#include <unordered_map>
#include <utility>

ConversationGraph::ConversationGraph(const DialogFile &file)
    : m_reachability(file)
{
    std::unordered_map<const DialogLine *, int> index;
    index.reserve(static_cast<size_t>(file.GetPageCount()));
    for (int i = 0; i < file.GetPageCount(); ++i)
        index.emplace(file.GetPage(i), i);
    const auto indexOf = [&index](const DialogLine *page) {
        const auto it = page ? index.find(page) : index.end();
        return it == index.end() ? -1 : it->second;
    };

    m_nodes.reserve(index.size());
    for (int i = 0; i < file.GetPageCount(); ++i) {
        const DialogLine &page = *file.GetPage(i);
        m_nodes.push_back({std::string(page.ViewLabel()), page.GetOptionCount(), page.GetFileLine()});
        // The speech to female PCs leads elsewhere only when it differs. A
        // page number that no page has is drawn as the options' are.
        std::pair<int, int> paid{-2, 0};
        for (const SpeechText &code : {page.CopySpeechCode(), page.CopyFemaleSpeechCode()}) {
            const std::pair<int, int> to{indexOf(code.g), code.g ? 0 : code.n};
            if (code.kind != GeneratedSpeechKind::RequestMoney || to == paid)
                continue;
            paid = to;
            m_edges.push_back({i, -1, to.first, Mark::RequestMoney, to.second});
            m_ruleOf.push_back(-1);
        }
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            const DialogLine &option = *page.GetOption(o);
            const int to = indexOf(option.GetTarget());
            const int number = option.GetTargetNumber();
            const Mark mark = to >= 0 ? Mark::Jump : number == 0 ? Mark::EndsDialog : Mark::NoPage;
            m_edges.push_back({i, o, to, mark, to < 0 && number != 0 ? number : 0});
            m_ruleOf.push_back(static_cast<int>(m_rules.size()));
            m_rules.emplace_back(option);
        }
    }
}

// Whether some PC of the profile reaches page.
bool ConversationGraph::Reaches(int page, const Profile &profile) const
{
    if (profile.anyone)
        return m_reachability.GetReached(page, false) != BandSets::kNone || m_reachability.GetReached(page, true) != BandSets::kNone;
    return m_reachability.GetSets().Contains(m_reachability.GetReached(page, profile.female), m_reachability.GetBand(profile.intelligence));
}

// Whether some PC of the profile that reaches the edge's page goes along it:
// the bands the option lets through meet those that reach its page.
bool ConversationGraph::Passes(int edge, const Profile &profile) const
{
    const int rule = m_ruleOf[static_cast<size_t>(edge)];
    if (rule < 0)
        return true;
    const OfferedSet &offered = m_rules[static_cast<size_t>(rule)];
    if (!profile.anyone)
        return offered.Offers({profile.female, profile.intelligence});
    const int page = m_edges[static_cast<size_t>(edge)].from;
    for (const bool female : {false, true}) {
        if (m_reachability.GetSets().Meets(m_reachability.GetReached(page, female), m_reachability.GetPassing(offered, female)))
            return true;
    }
    return false;
}

ConversationGraph::Dimmed ConversationGraph::GetDimmed(const Profile &profile) const
{
    Dimmed dimmed;
    dimmed.nodes.resize(m_nodes.size());
    for (size_t i = 0; i < m_nodes.size(); ++i)
        dimmed.nodes[i] = !Reaches(static_cast<int>(i), profile);
    dimmed.edges.resize(m_edges.size());
    for (size_t e = 0; e < m_edges.size(); ++e)
        dimmed.edges[e] = dimmed.nodes[static_cast<size_t>(m_edges[e].from)] || !Passes(static_cast<int>(e), profile);
    return dimmed;
}
