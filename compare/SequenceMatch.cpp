#include "compare/SequenceMatch.h"

#include <algorithm>

SequenceMatch::SequenceMatch(int beforeCount, int afterCount)
    : m_afterOf(static_cast<size_t>(beforeCount), -1)
    , m_beforeOf(static_cast<size_t>(afterCount), -1)
    , m_moved(static_cast<size_t>(beforeCount), false)
{
}

void SequenceMatch::Pair(int before, int after)
{
    m_afterOf[static_cast<size_t>(before)] = after;
    m_beforeOf[static_cast<size_t>(after)] = before;
}

void SequenceMatch::FindMoves()
{
    // A longest increasing run of the matched items' places after, taken in
    // their order before (patience sorting, n log n): the rest moved.
    std::vector<int> befores;
    for (int b = 0; b < BeforeCount(); ++b) {
        if (AfterOf(b) >= 0)
            befores.push_back(b);
    }
    std::vector<int> tails;                   // index into befores of the smallest tail of each length
    std::vector<int> previous(befores.size(), -1);
    for (size_t i = 0; i < befores.size(); ++i) {
        const int after = AfterOf(befores[i]);
        const auto at = std::lower_bound(tails.begin(), tails.end(), after,
                                         [this, &befores](int tail, int value) { return AfterOf(befores[static_cast<size_t>(tail)]) < value; });
        if (at != tails.begin())
            previous[i] = *(at - 1);
        if (at == tails.end())
            tails.push_back(static_cast<int>(i));
        else
            *at = static_cast<int>(i);
    }
    std::fill(m_moved.begin(), m_moved.end(), false);
    for (const int b : befores)
        m_moved[static_cast<size_t>(b)] = true;
    for (int i = tails.empty() ? -1 : tails.back(); i >= 0; i = previous[static_cast<size_t>(i)])
        m_moved[static_cast<size_t>(befores[static_cast<size_t>(i)])] = false;
}
