#include "rules/Reachability.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/IntelligenceCheck.h"
#include "rules/OfferedSet.h"
#include "speech/GeneratedSpeechKind.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <set>
#include <span>
#include <unordered_map>

namespace {

using BandRange = Reachability::BandRange;
using Id = BandSets::Id;

// The intelligence that stands for band b.
long long Representative(size_t b, const std::vector<long long> &bounds)
{
    if (b == 0)
        return bounds.empty() ? 10 : bounds[0] - 1;
    return bounds[b - 1];
}

// The bands in which an option is offered to PCs of one gender (conditions
// count as passing). A check passes below a line, above one, everywhere or
// nowhere, so the bands are one range, found by halving.
BandRange PassingBands(const OfferedSet &rule, bool female, const std::vector<long long> &bounds)
{
    const size_t bands = bounds.size() + 1;
    const auto passes = [&](size_t b) { return rule.Offers({female, Representative(b, bounds)}); };
    const bool first = passes(0);
    const bool last = passes(bands - 1);
    if (first == last)
        return first ? BandRange{0, bands} : BandRange{};
    size_t low = 0;
    size_t high = bands - 1;
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        (passes(middle) == first ? low : high) = middle;
    }
    return first ? BandRange{0, high} : BandRange{high, bands};
}

// Which bands a way to a page lets through, for male and for female PCs
// ([female]): one range each, empty when it lets none through.
struct Gate {
    BandRange pass[2];
};

// Where a page leads, by an option or by Request money when the PC pays,
// and through which gate.
struct Link {
    size_t to;
    size_t gate;
};

// Every page's links, one page after another in one array, and the gates
// they go through: one for each pair of gender and intelligence checks that
// the file's options make (what an option is offered by), and gate 0,
// Request money's, which lets every PC through.
struct Links {
    std::vector<Link> all;
    std::vector<size_t> first; // page p's links start at all[first[p]]; one more entry ends the last page's
    std::vector<Gate> gates;

    size_t PageCount() const { return first.size() - 1; }
    std::span<const Link> From(size_t page) const { return {all.data() + first[page], first[page + 1] - first[page]}; }
};

// The links of the file, and in bounds where all its intelligence checks
// draw their lines. Each option's checks are read once.
Links FindLinks(const DialogFile &file, std::vector<long long> &bounds)
{
    std::unordered_map<const DialogLine *, size_t> index;
    std::vector<std::pair<size_t, const DialogLine *>> paid; // Request money: from page, to page
    size_t options = 0;
    for (int i = 0; i < file.GetPageCount(); ++i) {
        const DialogLine &page = *file.GetPage(i);
        index.emplace(&page, static_cast<size_t>(i));
        options += static_cast<size_t>(page.GetOptionCount());
        for (const SpeechText &code : {page.CopySpeechCode(), page.CopyFemaleSpeechCode()}) {
            if (code.kind == GeneratedSpeechKind::RequestMoney)
                paid.emplace_back(static_cast<size_t>(i), code.g);
        }
    }

    Links links;
    links.all.reserve(options + paid.size()); // every link there may be, and no more
    links.first.reserve(index.size() + 1);
    // The gates past 0 by the checks they stand for, as the file has them,
    // and the first option of each.
    using Checks = std::pair<std::string_view, std::string_view>;
    const auto hash = [](const Checks &checks) {
        return std::hash<std::string_view>()(checks.first) * 31 + std::hash<std::string_view>()(checks.second);
    };
    std::unordered_map<Checks, size_t, decltype(hash)> gates(0, hash);
    std::vector<const DialogLine *> firstOptions;
    auto nextPaid = paid.begin();
    for (size_t i = 0; i < index.size(); ++i) {
        links.first.push_back(links.all.size());
        const auto link = [&](const DialogLine *target, size_t gate) {
            if (const auto it = target ? index.find(target) : index.end(); it != index.end())
                links.all.push_back({it->second, gate});
        };
        for (; nextPaid != paid.end() && nextPaid->first == i; ++nextPaid)
            link(nextPaid->second, 0);
        const DialogLine &page = *file.GetPage(static_cast<int>(i));
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            const DialogLine::Fields fields = page.GetOption(o)->ViewFields();
            const auto [gate, added] = gates.try_emplace({fields[2], fields[3]}, gates.size() + 1);
            if (added)
                firstOptions.push_back(page.GetOption(o));
            link(page.GetOption(o)->GetTarget(), gate->second);
        }
    }
    links.first.push_back(links.all.size());

    std::set<long long> lines;
    for (const auto &[checks, gate] : gates) {
        if (const auto bound = IntelligenceCheck(checks.second).GetBoundary())
            lines.insert(*bound);
    }
    bounds.assign(lines.begin(), lines.end());
    const BandRange everyBand{0, bounds.size() + 1};
    links.gates.resize(gates.size() + 1);
    links.gates[0] = {{everyBand, everyBand}};
    for (size_t gate = 1; gate < links.gates.size(); ++gate) {
        const OfferedSet rule(*firstOptions[gate - 1]);
        for (const bool female : {false, true})
            links.gates[gate].pass[female] = PassingBands(rule, female, bounds);
    }
    return links;
}

// Each page's place in the reverse postorder of a walk from the first page:
// every link but those that close a loop leads to a later place.
std::vector<size_t> Order(const Links &links)
{
    const size_t pages = links.PageCount();
    std::vector<size_t> place(pages, pages);
    std::vector<bool> seen(pages, false);
    std::vector<std::pair<size_t, size_t>> stack{{0, 0}}; // page, next link
    seen[0] = true;
    size_t next = pages;
    while (!stack.empty()) {
        auto &[page, link] = stack.back();
        if (link == links.From(page).size()) {
            place[page] = --next;
            stack.pop_back();
            continue;
        }
        const size_t to = links.From(page)[link++].to;
        if (!seen[to]) {
            seen[to] = true;
            stack.emplace_back(to, 0);
        }
    }
    return place;
}

// For every page, the bands in which PCs of one gender can reach it. A page
// passes on only the bands it gained since it last did, and pages take their
// turn in walk order, so that a page has mostly gained all it will before it
// passes anything on: the work follows the file, not the file times its
// bands. The sets share what they have in common, in sets.
std::vector<Id> ReachableBands(bool female, BandSets &sets, const Links &links, const std::vector<size_t> &place)
{
    const size_t pages = links.PageCount();
    std::vector<Id> reached(pages, BandSets::kNone);
    std::vector<Id> pending(pages, BandSets::kNone);
    std::vector<bool> queued(pages, false);
    // Pages waiting for their turn, by place, earliest first.
    std::priority_queue<std::pair<size_t, size_t>, std::vector<std::pair<size_t, size_t>>, std::greater<>> turns;
    reached[0] = pending[0] = BandSets::kEvery;
    queued[0] = true;
    turns.emplace(place[0], 0);
    while (!turns.empty()) {
        const size_t from = turns.top().second;
        turns.pop();
        queued[from] = false;
        const Id gained = pending[from];
        pending[from] = BandSets::kNone;
        for (const Link &link : links.From(from)) {
            const Id offered = sets.Intersect(gained, links.gates[link.gate].pass[female]);
            const Id fresh = sets.Subtract(offered, reached[link.to]);
            if (fresh == BandSets::kNone)
                continue;
            reached[link.to] = sets.Unite(reached[link.to], fresh);
            pending[link.to] = sets.Unite(pending[link.to], fresh);
            if (!queued[link.to]) {
                queued[link.to] = true;
                turns.emplace(place[link.to], link.to);
            }
        }
    }
    return reached;
}

} // namespace

Reachability::Reachability(const DialogFile &file)
    : m_linked(static_cast<size_t>(file.GetPageCount()), false)
{
    const Links links = FindLinks(file, m_bounds);
    m_sets = BandSets(GetBandCount());
    if (file.GetPageCount() == 0)
        return;
    const std::vector<size_t> place = Order(links);
    m_reached[0] = ReachableBands(false, m_sets, links, place);
    m_reached[1] = ReachableBands(true, m_sets, links, place);
    // A link to a page counts even when it never passes and when it comes
    // from a page no PC reaches.
    for (const Link &link : links.all)
        m_linked[link.to] = true;
}

size_t Reachability::GetBand(long long intelligence) const
{
    return static_cast<size_t>(std::upper_bound(m_bounds.begin(), m_bounds.end(), intelligence) - m_bounds.begin());
}

long long Reachability::GetRepresentative(size_t band) const
{
    return Representative(band, m_bounds);
}

BandRange Reachability::GetPassing(const OfferedSet &rule, bool female) const
{
    return PassingBands(rule, female, m_bounds);
}
