#include "rules/BandSets.h"

#include <algorithm>

namespace {

using Id = BandSets::Id;
using Range = BandSets::Range;

size_t Middle(size_t low, size_t high)
{
    return low + (high - low) / 2;
}

} // namespace

BandSets::BandSets(size_t bands)
    : m_bands(bands)
{
    // The two leaves, whatever bands they cover.
    m_nodes.push_back({kNone, kNone, 0, false, false});
    m_nodes.push_back({kEvery, kEvery, 1, true, true});
}

size_t BandSets::Slot(Id left, Id right) const
{
    uint64_t hash = (static_cast<uint64_t>(left) << 32 | right) * 0x9E3779B97F4A7C15ULL;
    hash ^= hash >> 29;
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Id id = m_slots[slot];
        if (id == kNone || (m_nodes[id].left == left && m_nodes[id].right == right))
            return slot;
    }
}

void BandSets::Grow()
{
    std::vector<Id> nodes;
    nodes.reserve(m_nodes.size());
    for (const Id id : m_slots) {
        if (id != kNone)
            nodes.push_back(id);
    }
    m_slots.assign(std::max<size_t>(64, m_slots.size() * 2), kNone);
    for (const Id id : nodes)
        m_slots[Slot(m_nodes[id].left, m_nodes[id].right)] = id;
}

Id BandSets::Make(Id left, Id right)
{
    if (left == right && (left == kNone || left == kEvery))
        return left;
    if (2 * (m_nodes.size() + 1) > m_slots.size())
        Grow();
    const size_t slot = Slot(left, right);
    if (m_slots[slot] != kNone)
        return m_slots[slot];
    const Node &l = m_nodes[left];
    const Node &r = m_nodes[right];
    // Two ranges that meet in the middle are one.
    const Node node{left, right, l.ranges + r.ranges - (l.last && r.first ? 1 : 0), l.first, r.last};
    m_slots[slot] = static_cast<Id>(m_nodes.size());
    m_nodes.push_back(node);
    return m_slots[slot];
}

Id BandSets::Of(Range range)
{
    return Of(range, 0, m_bands);
}

Id BandSets::Of(Range range, size_t low, size_t high)
{
    if (range.second <= low || high <= range.first || range.first >= range.second)
        return kNone;
    if (range.first <= low && high <= range.second)
        return kEvery;
    const size_t middle = Middle(low, high);
    return Make(Of(range, low, middle), Of(range, middle, high));
}

Id BandSets::Unite(Id a, Id b)
{
    return Unite(a, b, 0, m_bands);
}

Id BandSets::Unite(Id a, Id b, size_t low, size_t high)
{
    if (a == b || b == kNone || a == kEvery)
        return a;
    if (a == kNone || b == kEvery)
        return b;
    const size_t middle = Middle(low, high);
    const Id left = Unite(m_nodes[a].left, m_nodes[b].left, low, middle);
    const Id right = Unite(m_nodes[a].right, m_nodes[b].right, middle, high);
    return Make(left, right);
}

Id BandSets::Subtract(Id a, Id b)
{
    return Subtract(a, b, 0, m_bands);
}

Id BandSets::Subtract(Id a, Id b, size_t low, size_t high)
{
    if (a == kNone || b == kNone)
        return a;
    if (a == b || b == kEvery)
        return kNone;
    // The halves of every band are the leaf itself.
    const Id aLeft = a == kEvery ? kEvery : m_nodes[a].left;
    const Id aRight = a == kEvery ? kEvery : m_nodes[a].right;
    const size_t middle = Middle(low, high);
    const Id left = Subtract(aLeft, m_nodes[b].left, low, middle);
    const Id right = Subtract(aRight, m_nodes[b].right, middle, high);
    return Make(left, right);
}

Id BandSets::Intersect(Id a, Range range)
{
    return Intersect(a, range, 0, m_bands);
}

Id BandSets::Intersect(Id a, Range range, size_t low, size_t high)
{
    if (a == kNone || range.second <= low || high <= range.first || range.first >= range.second)
        return kNone;
    if (range.first <= low && high <= range.second)
        return a;
    if (a == kEvery)
        return Of(range, low, high);
    const size_t middle = Middle(low, high);
    const Id left = Intersect(m_nodes[a].left, range, low, middle);
    const Id right = Intersect(m_nodes[a].right, range, middle, high);
    return Make(left, right);
}

bool BandSets::Contains(Id set, size_t band) const
{
    for (size_t low = 0, high = m_bands; set != kNone && set != kEvery;) {
        const size_t middle = Middle(low, high);
        if (band < middle) {
            set = m_nodes[set].left;
            high = middle;
        } else {
            set = m_nodes[set].right;
            low = middle;
        }
    }
    return set == kEvery && band < m_bands;
}

bool BandSets::Meets(Id set, Range range) const
{
    return Meets(set, range, 0, m_bands);
}

bool BandSets::Meets(Id set, Range range, size_t low, size_t high) const
{
    if (set == kNone || range.second <= low || high <= range.first || range.first >= range.second)
        return false;
    if (set == kEvery)
        return true;
    const size_t middle = Middle(low, high);
    return Meets(m_nodes[set].left, range, low, middle) || Meets(m_nodes[set].right, range, middle, high);
}

size_t BandSets::CountRanges(Id set, bool missing) const
{
    const Node &node = m_nodes[set];
    if (!missing)
        return node.ranges;
    // Between each two ranges a gap, and one before the first and after
    // the last unless they start and end the bands.
    return node.ranges + 1 - (node.first ? 1 : 0) - (node.last ? 1 : 0);
}

std::vector<Range> BandSets::GetRanges(Id set, bool missing, size_t most, bool fromEnd) const
{
    std::vector<Range> ranges;
    size_t open = 0;
    bool inRange = false;
    if (most > 0)
        Walk(set, missing, most, fromEnd, 0, m_bands, ranges, open, inRange);
    if (inRange && ranges.size() < most)
        ranges.push_back(fromEnd ? Range{0, open} : Range{open, m_bands});
    if (fromEnd)
        std::reverse(ranges.begin(), ranges.end());
    return ranges;
}

void BandSets::Walk(Id set, bool missing, size_t most, bool fromEnd, size_t low, size_t high, std::vector<Range> &out, size_t &open,
                    bool &inRange) const
{
    if (out.size() >= most || low >= high)
        return;
    if (set == kNone || set == kEvery) {
        const bool in = (set == kEvery) != missing;
        if (in && !inRange) {
            open = fromEnd ? high : low;
            inRange = true;
        } else if (!in && inRange) {
            out.push_back(fromEnd ? Range{high, open} : Range{open, low});
            inRange = false;
        }
        return;
    }
    const size_t middle = Middle(low, high);
    const Node &node = m_nodes[set];
    if (fromEnd) {
        Walk(node.right, missing, most, fromEnd, middle, high, out, open, inRange);
        Walk(node.left, missing, most, fromEnd, low, middle, out, open, inRange);
    } else {
        Walk(node.left, missing, most, fromEnd, low, middle, out, open, inRange);
        Walk(node.right, missing, most, fromEnd, middle, high, out, open, inRange);
    }
}
