#pragma once

#include <cstddef>
#include <vector>

// Which item of one sequence is which item of another (pages of two
// versions of a conversation, or the options of one page), and which of
// the matched items moved: the fewest that must move for the others to
// keep their order.
class SequenceMatch {
public:
    SequenceMatch(int beforeCount, int afterCount);

    int BeforeCount() const { return static_cast<int>(m_afterOf.size()); }
    int AfterCount() const { return static_cast<int>(m_beforeOf.size()); }
    // The item matched to one of the other sequence; -1 for none.
    int AfterOf(int before) const { return m_afterOf[static_cast<size_t>(before)]; }
    int BeforeOf(int after) const { return m_beforeOf[static_cast<size_t>(after)]; }
    void Pair(int before, int after);
    // Whether a matched item moved: FindMoves says.
    bool IsMoved(int before) const { return m_moved[static_cast<size_t>(before)]; }
    // Marks as moved the matched items outside a longest run that keeps its
    // order in both sequences.
    void FindMoves();

private:
    std::vector<int> m_afterOf;
    std::vector<int> m_beforeOf;
    std::vector<bool> m_moved;
};
