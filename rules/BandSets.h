#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Sets of intelligence bands, kept for many pages at once: each set is a
// binary tree over the bands whose halves that are all in or all out are
// single shared leaves, and whose nodes are shared by every set that has
// them. Equal sets are the same Id. A set that differs from another in a
// few bands costs a few nodes, not a copy: a file whose pages each miss a
// band more than the page before holds its sets in room that grows with
// the file, not with the file times its bands.
class BandSets {
public:
    using Id = uint32_t;
    using Range = std::pair<size_t, size_t>; // bands [first, last)

    static constexpr Id kNone = 0;  // no band
    static constexpr Id kEvery = 1; // every band

    explicit BandSets(size_t bands);

    size_t GetBandCount() const { return m_bands; }

    Id Of(Range range);
    Id Unite(Id a, Id b);
    // The bands of a that b lacks.
    Id Subtract(Id a, Id b);
    Id Intersect(Id a, Range range);

    bool Contains(Id set, size_t band) const;
    // Whether the set holds some band of range.
    bool Meets(Id set, Range range) const;
    // How many separate ranges the set holds, or (missing) the bands it lacks.
    size_t CountRanges(Id set, bool missing) const;
    // Up to most of those ranges, in order, from the first or (fromEnd) from the last.
    std::vector<Range> GetRanges(Id set, bool missing, size_t most, bool fromEnd) const;

private:
    struct Node {
        Id left, right;
        uint32_t ranges; // of bands in the set
        bool first, last; // whether its first and its last band are in the set
    };

    Id Make(Id left, Id right);
    Id Of(Range range, size_t low, size_t high);
    Id Unite(Id a, Id b, size_t low, size_t high);
    Id Subtract(Id a, Id b, size_t low, size_t high);
    Id Intersect(Id a, Range range, size_t low, size_t high);
    bool Meets(Id set, Range range, size_t low, size_t high) const;
    // Walks the bands of [low, high) in order (backwards when fromEnd),
    // adding ranges of those in the set (or not, when missing) to out,
    // until it holds most; open is where the range being walked began.
    void Walk(Id set, bool missing, size_t most, bool fromEnd, size_t low, size_t high, std::vector<Range> &out, size_t &open,
              bool &inRange) const;

    // Finds the node of two halves in m_slots, or the free slot for it.
    size_t Slot(Id left, Id right) const;
    void Grow();

    size_t m_bands;
    std::vector<Node> m_nodes;
    // The nodes by their halves: an open table, at most half full, of node
    // indexes (kNone where free); one probe mostly finds a node, and adding
    // one allocates nothing.
    std::vector<Id> m_slots;
};
