#include "Reachability.h"

#include "DialogFile.h"
#include "DialogLine.h"
#include "IntelligenceCheck.h"
#include "OfferedSet.h"
#include "speech/GeneratedSpeechKind.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <queue>
#include <set>
#include <unordered_map>

namespace {

using BandRange = Reachability::BandRange;
using BandSet = Reachability::BandSet;

BandSet Intersect(const BandSet &set, BandRange range)
{
    BandSet result;
    for (const auto &[first, last] : set) {
        const size_t from = std::max(first, range.first);
        const size_t to = std::min(last, range.second);
        if (from < to)
            result.emplace_back(from, to);
    }
    return result;
}

BandSet Unite(const BandSet &a, const BandSet &b)
{
    BandSet merged;
    std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(merged));
    BandSet result;
    for (const BandRange &range : merged) {
        if (!result.empty() && range.first <= result.back().second)
            result.back().second = std::max(result.back().second, range.second);
        else
            result.push_back(range);
    }
    return result;
}

// The bands of a that b lacks.
BandSet Subtract(const BandSet &a, const BandSet &b)
{
    BandSet result;
    size_t k = 0;
    for (auto [first, last] : a) {
        while (k < b.size() && b[k].second <= first)
            ++k;
        for (size_t j = k; j < b.size() && b[j].first < last; ++j) {
            if (b[j].first > first)
                result.emplace_back(first, b[j].first);
            first = std::max(first, b[j].second);
        }
        if (first < last)
            result.emplace_back(first, last);
    }
    return result;
}

// Where the intelligence checks of the file draw their lines.
std::vector<long long> Boundaries(const DialogFile &file)
{
    std::set<long long> bounds;
    for (int i = 0; i < file.GetPageCount(); ++i) {
        for (int o = 0; o < file.GetPage(i)->GetOptionCount(); ++o) {
            if (const auto bound = IntelligenceCheck(file.GetPage(i)->GetOption(o)->GetIntelligenceCheck()).GetBoundary())
                bounds.insert(*bound);
        }
    }
    return {bounds.begin(), bounds.end()};
}

// The intelligence that stands for band b.
long long Representative(size_t b, const std::vector<long long> &bounds)
{
    if (b == 0)
        return bounds.empty() ? 10 : bounds[0] - 1;
    return bounds[b - 1];
}

// The bands in which option is offered to PCs of one gender (conditions
// count as passing). A check passes below a line, above one, everywhere or
// nowhere, so the bands are one range, found by halving.
BandSet PassingBands(const DialogLine &option, bool female, const std::vector<long long> &bounds)
{
    const size_t bands = bounds.size() + 1;
    const OfferedSet rule(option);
    const auto passes = [&](size_t b) { return rule.Offers({female, Representative(b, bounds)}); };
    const bool first = passes(0);
    const bool last = passes(bands - 1);
    if (first == last)
        return first ? BandSet{{0, bands}} : BandSet{};
    size_t low = 0;
    size_t high = bands - 1;
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        (passes(middle) == first ? low : high) = middle;
    }
    return first ? BandSet{{0, high}} : BandSet{{high, bands}};
}

// Where a page leads: by an option, or (option null) by Request money when
// the PC pays.
struct Link {
    size_t to;
    const DialogLine *option;
};

std::vector<std::vector<Link>> Links(const DialogFile &file)
{
    std::unordered_map<const DialogLine *, size_t> index;
    for (int i = 0; i < file.GetPageCount(); ++i)
        index.emplace(file.GetPage(i), static_cast<size_t>(i));
    std::vector<std::vector<Link>> links(index.size());
    for (size_t i = 0; i < links.size(); ++i) {
        const DialogLine &page = *file.GetPage(static_cast<int>(i));
        const auto link = [&](const DialogLine *target, const DialogLine *option) {
            if (const auto it = target ? index.find(target) : index.end(); it != index.end())
                links[i].push_back({it->second, option});
        };
        for (const SpeechText *code : {&page.GetSpeechCode(), &page.GetFemaleSpeechCode()}) {
            if (code->kind == GeneratedSpeechKind::RequestMoney)
                link(code->g, nullptr);
        }
        for (int o = 0; o < page.GetOptionCount(); ++o)
            link(page.GetOption(o)->GetTarget(), page.GetOption(o));
    }
    return links;
}

// Each page's place in the reverse postorder of a walk from the first page:
// every link but those that close a loop leads to a later place.
std::vector<size_t> Order(const std::vector<std::vector<Link>> &links)
{
    std::vector<size_t> place(links.size(), links.size());
    std::vector<bool> seen(links.size(), false);
    std::vector<std::pair<size_t, size_t>> stack{{0, 0}}; // page, next link
    seen[0] = true;
    size_t next = links.size();
    while (!stack.empty()) {
        auto &[page, link] = stack.back();
        if (link == links[page].size()) {
            place[page] = --next;
            stack.pop_back();
            continue;
        }
        const size_t to = links[page][link++].to;
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
// bands.
std::vector<BandSet> ReachableBands(bool female, const std::vector<long long> &bounds, const std::vector<std::vector<Link>> &links,
                                    const std::vector<size_t> &place)
{
    const size_t pages = links.size();
    std::vector<BandSet> reached(pages);
    std::vector<BandSet> pending(pages);
    std::vector<bool> queued(pages, false);
    // Pages waiting for their turn, by place, earliest first.
    std::priority_queue<std::pair<size_t, size_t>, std::vector<std::pair<size_t, size_t>>, std::greater<>> turns;
    reached[0] = pending[0] = {{0, bounds.size() + 1}};
    queued[0] = true;
    turns.emplace(place[0], 0);
    while (!turns.empty()) {
        const size_t from = turns.top().second;
        turns.pop();
        queued[from] = false;
        const BandSet gained = std::move(pending[from]);
        pending[from].clear();
        for (const Link &link : links[from]) {
            BandSet offered = gained;
            if (link.option) {
                const BandSet passing = PassingBands(*link.option, female, bounds);
                offered = passing.empty() ? BandSet{} : Intersect(gained, passing.front());
            }
            BandSet fresh = Subtract(offered, reached[link.to]);
            if (fresh.empty())
                continue;
            reached[link.to] = Unite(reached[link.to], fresh);
            pending[link.to] = Unite(pending[link.to], fresh);
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
    : m_bounds(Boundaries(file))
    , m_linked(static_cast<size_t>(file.GetPageCount()), false)
{
    if (file.GetPageCount() == 0)
        return;
    const std::vector<std::vector<Link>> links = Links(file);
    const std::vector<size_t> place = Order(links);
    m_reached[0] = ReachableBands(false, m_bounds, links, place);
    m_reached[1] = ReachableBands(true, m_bounds, links, place);
    // A link to a page counts even when it never passes and when it comes
    // from a page no PC reaches.
    for (const std::vector<Link> &from : links) {
        for (const Link &link : from)
            m_linked[link.to] = true;
    }
}

size_t Reachability::GetBand(long long intelligence) const
{
    return static_cast<size_t>(std::upper_bound(m_bounds.begin(), m_bounds.end(), intelligence) - m_bounds.begin());
}

long long Reachability::GetRepresentative(size_t band) const
{
    return Representative(band, m_bounds);
}

Reachability::BandSet Reachability::GetMissed(int page, bool female) const
{
    return Subtract({{0, GetBandCount()}}, GetReached(page, female));
}
