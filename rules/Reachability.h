#pragma once

#include "rules/BandSets.h"

#include <cstddef>
#include <utility>
#include <vector>

class DialogFile;
class OfferedSet;

// Which PCs can reach each page of a file from its first page, by the
// options they are offered and by Request money when they pay. PCs are told
// apart by gender and by intelligence band: the file's intelligence checks
// split intelligence at their boundaries, band 0 lies below the first
// boundary, band b from boundary b - 1 on.
class Reachability {
public:
    using BandRange = BandSets::Range;

    explicit Reachability(const DialogFile &file);

    // Ascending; the lowest intelligence of each band but the first.
    const std::vector<long long> &GetBoundaries() const { return m_bounds; }
    size_t GetBandCount() const { return m_bounds.size() + 1; }
    // The band of PCs of an intelligence, and an intelligence that stands
    // for band (every check of the file treats a band's PCs alike).
    size_t GetBand(long long intelligence) const;
    long long GetRepresentative(size_t band) const;
    // Whether an option or a Request money of some page leads to the page.
    bool IsLinked(int page) const { return m_linked[static_cast<size_t>(page)]; }
    // The bands of PCs of a gender that can reach the page, in GetSets.
    BandSets::Id GetReached(int page, bool female) const { return m_reached[female][static_cast<size_t>(page)]; }
    const BandSets &GetSets() const { return m_sets; }
    // The bands in which an option's checks let PCs of a gender through:
    // a check passes below a line, above one, everywhere or nowhere.
    BandRange GetPassing(const OfferedSet &rule, bool female) const;

private:
    std::vector<long long> m_bounds;
    BandSets m_sets{1};
    std::vector<bool> m_linked;
    std::vector<BandSets::Id> m_reached[2]; // [female][page]
};
