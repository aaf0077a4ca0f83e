#include "compare/ConversationMerge.h"

#include "compare/DocumentMatch.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/ConflictRemark.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <list>
#include <memory>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace {

enum class Side { Ours, Theirs };

// One page, or one option of a page, of the merged conversation: where it
// stands in each version (-1: not there), and whether the merge keeps it.
struct Node {
    int base = -1;
    int ours = -1;
    int theirs = -1;
    bool kept = false;
};

// What a merged line is made of: ours' own line, or theirs' to copy; for
// ours' line, the fields taken from theirs' version; the conflicts to record.
struct LinePlan {
    LinePlan() = default;
    LinePlan(const DialogLine *kept, Side from, const DialogLine *theirsVersion = nullptr)
        : line(kept)
        , side(from)
        , theirs(theirsVersion)
    {
    }

    const DialogLine *line = nullptr;
    Side side = Side::Ours;
    const DialogLine *theirs = nullptr;
    std::vector<LineField> taken;
    std::vector<std::string> conflicts;

    bool Takes(LineField field) const { return std::find(taken.begin(), taken.end(), field) != taken.end(); }
};

struct PagePlan {
    LinePlan page;
    // Its options, in order, once merged; otherwise the line's own, as they are.
    bool optionsMerged = false;
    std::vector<LinePlan> options;
};

// The fields that lead to a page.
constexpr LineField kPageReferences[] = {LineField::Speech, LineField::FemaleSpeech, LineField::Target};

// The order of the merged items: ours' order, with theirs' additions, and the
// items theirs moved and ours did not, each put after the item that comes
// before it in theirs (and after anything ours added there).
std::vector<int> MergeOrder(const std::vector<Node> &nodes, const std::vector<int> &oursNode, const std::vector<int> &theirsNode,
                            const SequenceMatch &withOurs, const SequenceMatch &withTheirs)
{
    std::list<int> order;
    std::vector<std::list<int>::iterator> at(nodes.size());
    std::vector<bool> placed(nodes.size(), false);
    for (const int n : oursNode) {
        if (nodes[static_cast<size_t>(n)].kept) {
            at[static_cast<size_t>(n)] = order.insert(order.end(), n);
            placed[static_cast<size_t>(n)] = true;
        }
    }
    for (size_t n = 0; n < nodes.size(); ++n) {
        const Node &node = nodes[n];
        if (placed[n] && node.base >= 0 && node.theirs >= 0 && withTheirs.IsMoved(node.base) && !withOurs.IsMoved(node.base)) {
            order.erase(at[n]);
            placed[n] = false;
        }
    }
    const auto oursOnly = [&nodes](int n) { return nodes[static_cast<size_t>(n)].base < 0 && nodes[static_cast<size_t>(n)].theirs < 0; };
    int previous = -1;
    for (const int n : theirsNode) {
        if (!nodes[static_cast<size_t>(n)].kept)
            continue;
        if (!placed[static_cast<size_t>(n)]) {
            auto pos = previous < 0 ? order.begin() : std::next(at[static_cast<size_t>(previous)]);
            while (pos != order.end() && oursOnly(*pos))
                ++pos;
            at[static_cast<size_t>(n)] = order.insert(pos, n);
            placed[static_cast<size_t>(n)] = true;
        }
        previous = n;
    }
    return {order.begin(), order.end()};
}

// Puts the options of a page into the order final holds: those
// that keep their order stay, the others are taken out and put back in their
// places, lines new to the container come from made, and lines that final
// lacks go to removed.
template <typename Remove, typename Insert>
void Rearrange(const std::vector<DialogLine *> &current, const std::vector<DialogLine *> &final,
               std::unordered_map<const DialogLine *, std::unique_ptr<DialogLine>> &made,
               std::vector<std::unique_ptr<DialogLine>> &removed, Remove remove, Insert insert)
{
    if (current == final)
        return;
    std::unordered_map<const DialogLine *, int> finalIndex;
    finalIndex.reserve(final.size());
    for (size_t k = 0; k < final.size(); ++k)
        finalIndex.emplace(final[k], static_cast<int>(k));
    SequenceMatch stays(static_cast<int>(current.size()), static_cast<int>(final.size()));
    for (size_t i = 0; i < current.size(); ++i) {
        if (const auto it = finalIndex.find(current[i]); it != finalIndex.end())
            stays.Pair(static_cast<int>(i), it->second);
    }
    stays.FindMoves();
    std::vector<bool> staying(final.size(), false);
    for (int i = static_cast<int>(current.size()) - 1; i >= 0; --i) {
        const int k = stays.AfterOf(i);
        if (k >= 0 && !stays.IsMoved(i)) {
            staying[static_cast<size_t>(k)] = true;
            continue;
        }
        std::unique_ptr<DialogLine> line = remove(i);
        if (k >= 0)
            made.emplace(line.get(), std::move(line));
        else
            removed.push_back(std::move(line));
    }
    for (size_t k = 0; k < final.size(); ++k) {
        if (!staying[k]) {
            const auto it = made.find(final[k]);
            insert(static_cast<int>(k), std::move(it->second));
            made.erase(it);
        }
    }
}

class Merger {
public:
    // theirsUnchanged: for each page of base, whether theirs left it as it was.
    Merger(const DialogFile &base, DialogFile &ours, const DialogFile &theirs, const DocumentMatch &withOurs,
           const DocumentMatch &withTheirs, const std::vector<char> &theirsUnchanged)
        : m_base(base)
        , m_ours(ours)
        , m_theirs(theirs)
        , m_withOurs(withOurs)
        , m_withTheirs(withTheirs)
        , m_theirsUnchanged(theirsUnchanged)
    {
    }

    int Run()
    {
        MakeNodes();
        for (size_t n = 0; n < m_nodes.size(); ++n)
            Plan(static_cast<int>(n));
        KeepWhatIsLedTo();
        Apply(MergeOrder(m_nodes, m_oursNode, m_theirsNode, m_withOurs.Pages(), m_withTheirs.Pages()));
        return m_conflicts;
    }

private:
    void MakeNodes()
    {
        const SequenceMatch &withOurs = m_withOurs.Pages();
        const SequenceMatch &withTheirs = m_withTheirs.Pages();
        m_oursNode.assign(static_cast<size_t>(m_ours.GetPageCount()), -1);
        m_theirsNode.assign(static_cast<size_t>(m_theirs.GetPageCount()), -1);
        const auto add = [this](Node node) {
            const int n = static_cast<int>(m_nodes.size());
            if (node.ours >= 0)
                m_oursNode[static_cast<size_t>(node.ours)] = n;
            if (node.theirs >= 0)
                m_theirsNode[static_cast<size_t>(node.theirs)] = n;
            m_nodes.push_back(node);
        };
        for (int b = 0; b < m_base.GetPageCount(); ++b)
            add({b, withOurs.AfterOf(b), withTheirs.AfterOf(b)});
        std::unordered_map<std::string_view, std::deque<int>> oursAdded;
        for (int o = 0; o < m_ours.GetPageCount(); ++o) {
            if (withOurs.BeforeOf(o) < 0) {
                oursAdded[m_ours.GetPage(o)->ViewLabel()].push_back(static_cast<int>(m_nodes.size()));
                add({-1, o, -1});
            }
        }
        // A page both added under one name is one page when the two are alike.
        for (int t = 0; t < m_theirs.GetPageCount(); ++t) {
            if (withTheirs.BeforeOf(t) >= 0)
                continue;
            const auto same = oursAdded.find(m_theirs.GetPage(t)->ViewLabel());
            if (same != oursAdded.end() && !same->second.empty()) {
                const int n = same->second.front();
                same->second.pop_front();
                if (SamePageAcross(*m_ours.GetPage(m_nodes[static_cast<size_t>(n)].ours), *m_theirs.GetPage(t))) {
                    m_nodes[static_cast<size_t>(n)].theirs = t;
                    m_theirsNode[static_cast<size_t>(t)] = n;
                    continue;
                }
                m_namesakes.insert(static_cast<int>(m_nodes.size()));
            }
            add({-1, -1, t});
        }
        m_plans.resize(m_nodes.size());
    }

    // The node of a page of ours or theirs; -1 for none.
    int NodeOf(Side side, const DialogLine *page) const
    {
        if (side == Side::Ours) {
            const int o = m_withOurs.AfterIndex(page);
            return o < 0 ? -1 : m_oursNode[static_cast<size_t>(o)];
        }
        const int t = m_withTheirs.AfterIndex(page);
        return t < 0 ? -1 : m_theirsNode[static_cast<size_t>(t)];
    }

    // Whether a line of ours and one of theirs hold the same field.
    bool SameAcross(const DialogLine &ours, const DialogLine &theirs, LineField field) const
    {
        if (field == LineField::Name)
            return ours.ViewLabel() == theirs.ViewLabel();
        return LineFields::Text(ours, field) == LineFields::Text(theirs, field)
            && NodeOf(Side::Ours, LineFields::Page(ours, field)) == NodeOf(Side::Theirs, LineFields::Page(theirs, field));
    }

    bool SameOptionAcross(const DialogLine &ours, const DialogLine &theirs) const
    {
        const auto fields = LineFields::OfOption();
        return std::all_of(fields.begin(), fields.end(), [&](LineField field) { return SameAcross(ours, theirs, field); });
    }

    bool SamePageAcross(const DialogLine &ours, const DialogLine &theirs) const
    {
        const auto fields = LineFields::OfPage();
        if (!std::all_of(fields.begin(), fields.end(), [&](LineField field) { return SameAcross(ours, theirs, field); })
            || ours.GetOptionCount() != theirs.GetOptionCount())
            return false;
        for (int o = 0; o < ours.GetOptionCount(); ++o) {
            if (!SameOptionAcross(*ours.GetOption(o), *theirs.GetOption(o)))
                return false;
        }
        return true;
    }

    // What theirs holds in a field, for the conflict remark.
    static std::string TheirValue(const DialogLine &theirs, LineField field)
    {
        std::string what(LineFields::Name(field));
        what += ": ";
        if (field == LineField::Name)
            return what + ConflictRemark::Quoted(theirs.ViewLabel());
        const bool quoted = field != LineField::GenderCheck && field != LineField::IntelligenceCheck && field != LineField::Target
            && !LineFields::Page(theirs, field);
        return what + (quoted ? ConflictRemark::Quoted(LineFields::Text(theirs, field)) : LineFields::Shown(theirs, field));
    }

    // One field of a line that all three hold: theirs' change is taken when
    // ours left the field as it was; a different change of both is a conflict.
    void MergeField(const DialogLine &base, const DialogLine &ours, const DialogLine &theirs, LineField field, LinePlan &plan) const
    {
        if (m_withTheirs.SameField(base, theirs, field))
            return;
        if (m_withOurs.SameField(base, ours, field)) {
            plan.taken.push_back(field);
            return;
        }
        if (SameAcross(ours, theirs, field))
            return;
        // A page that says the same to both genders on both sides has one
        // conflict, in its speech.
        if (field == LineField::FemaleSpeech && SameAcrossFields(ours, LineField::Speech) && SameAcrossFields(theirs, LineField::Speech))
            return;
        plan.conflicts.push_back(ConflictRemark::Make(TheirValue(theirs, field)));
    }

    static bool SameAcrossFields(const DialogLine &page, LineField other)
    {
        return LineFields::Text(page, LineField::FemaleSpeech) == LineFields::Text(page, other);
    }

    void Plan(int n)
    {
        const Node &node = m_nodes[static_cast<size_t>(n)];
        PagePlan &plan = m_plans[static_cast<size_t>(n)];
        const DialogLine *ours = node.ours >= 0 ? m_ours.GetPage(node.ours) : nullptr;
        const DialogLine *theirs = node.theirs >= 0 ? m_theirs.GetPage(node.theirs) : nullptr;
        if (node.base >= 0 && ours && theirs) {
            plan.page = LinePlan(ours, Side::Ours, theirs);
            if (!m_theirsUnchanged[static_cast<size_t>(node.base)])
                MergePage(node, plan);
        } else if (node.base >= 0 && ours) {
            if (m_withOurs.IsUnchanged(node.base))
                return;
            plan.page = LinePlan(ours, Side::Ours);
            plan.page.conflicts.push_back(ConflictRemark::Make("removed this page"));
        } else if (node.base >= 0 && theirs) {
            if (m_withTheirs.IsUnchanged(node.base))
                return;
            plan.page = LinePlan(theirs, Side::Theirs);
            plan.page.conflicts.push_back(ConflictRemark::Make("changed this page, which ours removed"));
        } else if (ours) {
            plan.page = LinePlan(ours, Side::Ours);
        } else if (theirs) {
            plan.page = LinePlan(theirs, Side::Theirs);
            if (m_namesakes.count(n))
                plan.page.conflicts.push_back(ConflictRemark::Make("added this page, and ours added another of its name"));
        } else {
            return;
        }
        m_nodes[static_cast<size_t>(n)].kept = true;
    }

    void MergePage(const Node &node, PagePlan &plan) const
    {
        const DialogLine &base = *m_base.GetPage(node.base);
        const DialogLine &ours = *plan.page.line;
        const DialogLine &theirs = *plan.page.theirs;
        MergeField(base, ours, theirs, LineField::Name, plan.page);
        for (const LineField field : LineFields::OfPage())
            MergeField(base, ours, theirs, field, plan.page);

        const SequenceMatch withOurs = m_withOurs.MatchOptions(node.base);
        const SequenceMatch withTheirs = m_withTheirs.MatchOptions(node.base);
        std::vector<Node> nodes;
        std::vector<int> oursNode(static_cast<size_t>(ours.GetOptionCount()), -1);
        std::vector<int> theirsNode(static_cast<size_t>(theirs.GetOptionCount()), -1);
        const auto add = [&](Node option) {
            if (option.ours >= 0)
                oursNode[static_cast<size_t>(option.ours)] = static_cast<int>(nodes.size());
            if (option.theirs >= 0)
                theirsNode[static_cast<size_t>(option.theirs)] = static_cast<int>(nodes.size());
            nodes.push_back(option);
        };
        for (int b = 0; b < base.GetOptionCount(); ++b)
            add({b, withOurs.AfterOf(b), withTheirs.AfterOf(b)});
        std::vector<int> oursAdded;
        for (int o = 0; o < ours.GetOptionCount(); ++o) {
            if (withOurs.BeforeOf(o) < 0) {
                oursAdded.push_back(static_cast<int>(nodes.size()));
                add({-1, o, -1});
            }
        }
        // An option both added alike is one option.
        for (int t = 0; t < theirs.GetOptionCount(); ++t) {
            if (withTheirs.BeforeOf(t) >= 0)
                continue;
            const auto same = std::find_if(oursAdded.begin(), oursAdded.end(), [&](int n) {
                return n >= 0 && SameOptionAcross(*ours.GetOption(nodes[static_cast<size_t>(n)].ours), *theirs.GetOption(t));
            });
            if (same != oursAdded.end()) {
                nodes[static_cast<size_t>(*same)].theirs = t;
                theirsNode[static_cast<size_t>(t)] = *same;
                *same = -1;
                continue;
            }
            add({-1, -1, t});
        }

        std::vector<LinePlan> plans(nodes.size());
        bool changed = false;
        for (size_t n = 0; n < nodes.size(); ++n) {
            Node &option = nodes[n];
            LinePlan &line = plans[n];
            const DialogLine *was = option.base >= 0 ? base.GetOption(option.base) : nullptr;
            const DialogLine *mine = option.ours >= 0 ? ours.GetOption(option.ours) : nullptr;
            const DialogLine *their = option.theirs >= 0 ? theirs.GetOption(option.theirs) : nullptr;
            if (was && mine && their) {
                line = LinePlan(mine, Side::Ours, their);
                if (!m_withTheirs.SameOption(*was, *their)) {
                    for (const LineField field : LineFields::OfOption())
                        MergeField(*was, *mine, *their, field, line);
                }
            } else if (was && mine) {
                if (m_withOurs.SameOption(*was, *mine)) {
                    changed = true;
                    continue;
                }
                line = LinePlan(mine, Side::Ours);
                line.conflicts.push_back(ConflictRemark::Make("removed this option"));
            } else if (was && their) {
                if (m_withTheirs.SameOption(*was, *their))
                    continue;
                line = LinePlan(their, Side::Theirs);
                line.conflicts.push_back(ConflictRemark::Make("changed this option, which ours removed"));
            } else if (mine) {
                line = LinePlan(mine, Side::Ours);
            } else if (their) {
                line = LinePlan(their, Side::Theirs);
            } else {
                continue;
            }
            option.kept = true;
            changed = changed || line.side == Side::Theirs || !line.taken.empty() || !line.conflicts.empty();
        }
        const std::vector<int> order = MergeOrder(nodes, oursNode, theirsNode, withOurs, withTheirs);
        for (size_t k = 0; k < order.size(); ++k) {
            plan.options.push_back(std::move(plans[static_cast<size_t>(order[k])]));
            changed = changed || plan.options.back().line != (static_cast<int>(k) < ours.GetOptionCount() ? ours.GetOption(static_cast<int>(k)) : nullptr);
        }
        plan.optionsMerged = changed;
        if (!changed)
            plan.options.clear();
    }

    // Calls visit(side, page) for every page a line of the plan leads to.
    template <typename Visit>
    static void ForEachReference(const PagePlan &plan, Visit visit)
    {
        const auto line = [&visit](const LinePlan &lp) {
            for (const LineField field : kPageReferences) {
                const bool taken = lp.Takes(field);
                if (const DialogLine *page = LineFields::Page(taken ? *lp.theirs : *lp.line, field))
                    visit(taken ? Side::Theirs : lp.side, page);
            }
        };
        line(plan.page);
        if (plan.optionsMerged) {
            for (const LinePlan &option : plan.options)
                line(option);
            return;
        }
        for (int o = 0; o < plan.page.line->GetOptionCount(); ++o)
            line(LinePlan{plan.page.line->GetOption(o), plan.page.side});
    }

    // A page that one side removed while a line the merge keeps leads to it
    // is kept, with a conflict.
    void KeepWhatIsLedTo()
    {
        // Only a page one side has can be led to.
        if (std::none_of(m_nodes.begin(), m_nodes.end(), [](const Node &node) { return !node.kept && (node.ours >= 0 || node.theirs >= 0); }))
            return;
        std::vector<int> work;
        for (size_t n = 0; n < m_nodes.size(); ++n) {
            if (m_nodes[n].kept)
                work.push_back(static_cast<int>(n));
        }
        while (!work.empty()) {
            const int n = work.back();
            work.pop_back();
            ForEachReference(m_plans[static_cast<size_t>(n)], [&](Side side, const DialogLine *page) {
                const int target = NodeOf(side, page);
                if (target < 0 || m_nodes[static_cast<size_t>(target)].kept)
                    return;
                Node &node = m_nodes[static_cast<size_t>(target)];
                PagePlan &plan = m_plans[static_cast<size_t>(target)];
                if (node.ours >= 0) {
                    plan = PagePlan();
                    plan.page = LinePlan(m_ours.GetPage(node.ours), Side::Ours);
                    plan.page.conflicts.push_back(ConflictRemark::Make("removed this page, which ours leads to"));
                } else {
                    plan = PagePlan();
                    plan.page = LinePlan(m_theirs.GetPage(node.theirs), Side::Theirs);
                    plan.page.conflicts.push_back(ConflictRemark::Make("leads to this page, which ours removed"));
                }
                node.kept = true;
                work.push_back(target);
            });
        }
    }

    DialogLine *ResultPage(Side side, const DialogLine *page) const
    {
        const int n = NodeOf(side, page);
        return n < 0 ? nullptr : m_result[static_cast<size_t>(n)];
    }

    // Sets a field of a merged line to what theirs' line holds.
    void Take(DialogLine &line, const DialogLine &theirs, LineField field) const
    {
        const DialogLine::Fields fields = theirs.ViewFields();
        switch (field) {
        case LineField::Name:
            line.SetLabel(theirs.ViewLabel());
            break;
        case LineField::Speech:
            line.SetSpeech(fields[1]);
            line.SetSpeechPage(ResultPage(Side::Theirs, LineFields::Page(theirs, field)));
            break;
        case LineField::FemaleSpeech:
        case LineField::GenderCheck:
            line.SetFemaleSpeech(fields[2]);
            if (field == LineField::FemaleSpeech)
                line.SetFemaleSpeechPage(ResultPage(Side::Theirs, LineFields::Page(theirs, field)));
            break;
        case LineField::Description:
            line.SetDescription(theirs.ViewDescription());
            break;
        case LineField::Remarks:
            line.SetComment(theirs.ViewComment());
            break;
        case LineField::PageField3:
        case LineField::IntelligenceCheck:
            line.SetIntelligenceCheck(fields[3]);
            break;
        case LineField::Conditions:
            line.SetConditions(fields[4]);
            break;
        case LineField::PageField6:
        case LineField::Results:
            line.SetResults(fields[6]);
            break;
        case LineField::Target:
            line.SetTarget(ResultPage(Side::Theirs, theirs.GetTarget()));
            break;
        }
    }

    // A copy of theirs' line leads to the merged pages that theirs led to.
    void Repoint(DialogLine &copy, const DialogLine &theirs) const
    {
        copy.SetTarget(ResultPage(Side::Theirs, theirs.GetTarget()));
        if (const DialogLine *page = LineFields::Page(theirs, LineField::Speech))
            copy.SetSpeechPage(ResultPage(Side::Theirs, page));
        if (const DialogLine *page = LineFields::Page(theirs, LineField::FemaleSpeech))
            copy.SetFemaleSpeechPage(ResultPage(Side::Theirs, page));
        for (int o = 0; o < copy.GetOptionCount() && o < theirs.GetOptionCount(); ++o)
            Repoint(*copy.GetOption(o), *theirs.GetOption(o));
    }

    // Puts into a merged line what its plan takes from theirs, and records its conflicts.
    void Finish(DialogLine &line, const LinePlan &plan)
    {
        if (plan.side == Side::Theirs)
            Repoint(line, *plan.line);
        for (const LineField field : plan.taken)
            Take(line, *plan.theirs, field);
        if (line.IsNpcLine() && (plan.Takes(LineField::Speech) || plan.Takes(LineField::FemaleSpeech))) {
            if (line.GetSpeech() == line.GetFemaleSpeech())
                line.SetSameSpeechForBoth();
            else
                line.ClearSameSpeechForBoth();
        }
        if (plan.conflicts.empty())
            return;
        std::string comment(line.ViewComment());
        for (const std::string &conflict : plan.conflicts)
            comment += conflict + "\n";
        line.SetComment(comment);
        m_conflicts += static_cast<int>(plan.conflicts.size());
    }

    void Apply(const std::vector<int> &order)
    {
        // Every page of the merge, ours' own or a copy of theirs'.
        std::vector<std::unique_ptr<DialogLine>> made;
        m_result.assign(m_nodes.size(), nullptr);
        for (size_t n = 0; n < m_nodes.size(); ++n) {
            const PagePlan &plan = m_plans[n];
            if (!m_nodes[n].kept)
                continue;
            if (plan.page.side == Side::Ours) {
                m_result[n] = m_ours.GetPage(m_nodes[n].ours);
            } else {
                std::unique_ptr<DialogLine> copy = plan.page.line->Clone();
                m_result[n] = copy.get();
                made.push_back(std::move(copy));
            }
        }
        std::vector<std::unique_ptr<DialogLine>> removed;
        for (size_t n = 0; n < m_nodes.size(); ++n) {
            if (!m_nodes[n].kept)
                continue;
            const PagePlan &plan = m_plans[n];
            DialogLine &page = *m_result[n];
            Finish(page, plan.page);
            if (!plan.optionsMerged)
                continue;
            std::vector<DialogLine *> current;
            for (int o = 0; o < page.GetOptionCount(); ++o)
                current.push_back(page.GetOption(o));
            std::vector<DialogLine *> final;
            std::unordered_map<const DialogLine *, std::unique_ptr<DialogLine>> options;
            for (const LinePlan &option : plan.options) {
                DialogLine *line = const_cast<DialogLine *>(option.line);
                if (option.side == Side::Theirs) {
                    std::unique_ptr<DialogLine> copy = option.line->Clone();
                    line = copy.get();
                    options.emplace(line, std::move(copy));
                }
                Finish(*line, option);
                final.push_back(line);
            }
            Rearrange(current, final, options, removed, [&page](int i) { return page.RemoveOptionAt(i); },
                      [&page](int i, std::unique_ptr<DialogLine> line) { page.InsertOptionAt(i, std::move(line)); });
        }
        std::vector<DialogLine *> final;
        for (const int n : order)
            final.push_back(m_result[static_cast<size_t>(n)]);
        for (std::unique_ptr<DialogLine> &page : m_ours.SetPageOrder(final, std::move(made)))
            removed.push_back(std::move(page));
        CutLinksTo(removed);
    }

    // No line may lead to a page that is gone (the merge keeps every page a
    // kept line leads to; this holds it to that).
    void CutLinksTo(const std::vector<std::unique_ptr<DialogLine>> &removed)
    {
        std::unordered_set<const DialogLine *> gone;
        for (const auto &line : removed)
            gone.insert(line.get());
        if (gone.empty())
            return;
        const auto cut = [&gone](DialogLine &line) {
            if (gone.count(line.GetTarget()))
                line.SetTarget(nullptr);
            if (gone.count(LineFields::Page(line, LineField::Speech)))
                line.SetSpeechPage(nullptr);
            if (gone.count(LineFields::Page(line, LineField::FemaleSpeech)))
                line.SetFemaleSpeechPage(nullptr);
        };
        for (int p = 0; p < m_ours.GetPageCount(); ++p) {
            DialogLine &page = *m_ours.GetPage(p);
            cut(page);
            for (int o = 0; o < page.GetOptionCount(); ++o)
                cut(*page.GetOption(o));
        }
    }

    const DialogFile &m_base;
    DialogFile &m_ours;
    const DialogFile &m_theirs;
    const DocumentMatch &m_withOurs;
    const DocumentMatch &m_withTheirs;
    const std::vector<char> &m_theirsUnchanged;
    std::vector<Node> m_nodes;
    std::vector<int> m_oursNode;
    std::vector<int> m_theirsNode;
    std::unordered_set<int> m_namesakes; // theirs' added pages whose name ours also gave a page it added
    std::vector<PagePlan> m_plans;
    std::vector<DialogLine *> m_result;
    int m_conflicts = 0;
};

// Runs work(0) on another thread while work(1) runs here; a failure of
// either is thrown here once both are done.
template <typename Work>
void OnTwoCores(Work work)
{
    std::exception_ptr failure;
    std::thread other([&] {
        try {
            work(0);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        work(1);
    } catch (...) {
        other.join();
        throw;
    }
    other.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

int ConversationMerge::Merge(const DialogFile &base, DialogFile &ours, const DialogFile &theirs)
{
    // Base is compared with theirs on another core while it is with ours;
    // then half of its pages there, half here, are looked at for whether
    // theirs left them as they were.
    std::unique_ptr<DocumentMatch> withOurs;
    std::unique_ptr<DocumentMatch> withTheirs;
    OnTwoCores([&](int i) { (i == 0 ? withTheirs : withOurs) = std::make_unique<DocumentMatch>(base, i == 0 ? theirs : ours); });
    const int pages = base.GetPageCount();
    std::vector<char> theirsUnchanged(static_cast<size_t>(pages), 0);
    OnTwoCores([&](int half) {
        for (int b = half * (pages / 2); b < (half == 0 ? pages / 2 : pages); ++b)
            theirsUnchanged[static_cast<size_t>(b)] = withTheirs->IsUnchanged(b);
    });
    return Merger(base, ours, theirs, *withOurs, *withTheirs, theirsUnchanged).Run();
}
