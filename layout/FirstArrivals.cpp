#include "layout/FirstArrivals.h"

#include <algorithm>

namespace {

// How many vertices a step handles before it looks whether it is to stop.
constexpr size_t kPiece = 4096;

} // namespace

FirstArrivals::FirstArrivals(int pages, int vertices, const std::vector<int> &from, const std::vector<int> &targets,
                             const std::stop_token &stop)
    : m_pages(pages)
    , m_firstJump(static_cast<size_t>(pages) + 1, 0)
    , m_byPage(targets.size())
    , m_parent(static_cast<size_t>(vertices), -1)
    , m_depth(static_cast<size_t>(vertices), -1)
    , m_arrival(static_cast<size_t>(vertices), -1)
    , m_childrenBegin(static_cast<size_t>(vertices), 0)
    , m_childrenEnd(static_cast<size_t>(vertices), 0)
{
    m_order.reserve(static_cast<size_t>(vertices));
    for (const int page : from)
        ++m_firstJump[static_cast<size_t>(page) + 1];
    for (size_t p = 0; p < static_cast<size_t>(pages); ++p)
        m_firstJump[p + 1] += m_firstJump[p];
    std::vector<int> next(m_firstJump.begin(), m_firstJump.end() - 1);
    for (size_t e = 0; e < targets.size(); ++e)
        m_byPage[static_cast<size_t>(next[static_cast<size_t>(from[e])]++)] = static_cast<int>(e);

    if (pages > 0)
        Grow(0, targets, stop);
    // How many jumps from the pages left lead to each page left.
    std::vector<int> ledTo(static_cast<size_t>(pages), 0);
    for (size_t e = 0; e < targets.size(); ++e) {
        if (m_depth[static_cast<size_t>(from[e])] < 0 && targets[e] < pages)
            ++ledTo[static_cast<size_t>(targets[e])];
    }
    for (const bool any : {false, true}) {
        for (int page = 0; page < pages && !m_stopped; ++page) {
            if (m_depth[static_cast<size_t>(page)] < 0 && (any || ledTo[static_cast<size_t>(page)] == 0))
                Grow(page, targets, stop);
        }
    }
    // Every marker hangs under the page whose jump it ends, so none is left
    // once the pages are placed; one left anyway stands alone.
    for (int vertex = pages; vertex < vertices && !m_stopped; ++vertex) {
        if (m_depth[static_cast<size_t>(vertex)] < 0)
            Grow(vertex, targets, stop);
    }
}

// One tree, breadth first from root, over the vertices not placed yet.
void FirstArrivals::Grow(int root, const std::vector<int> &targets, const std::stop_token &stop)
{
    m_roots.push_back(root);
    m_depth[static_cast<size_t>(root)] = 0;
    size_t head = m_order.size();
    m_order.push_back(root);
    for (; head < m_order.size(); ++head) {
        if (head % kPiece == 0 && stop.stop_requested()) {
            m_stopped = true;
            return;
        }
        const int vertex = m_order[head];
        const int depth = m_depth[static_cast<size_t>(vertex)];
        m_depths = std::max(m_depths, depth + 1);
        m_childrenBegin[static_cast<size_t>(vertex)] = static_cast<int>(m_order.size());
        if (vertex < m_pages) {
            for (int j = m_firstJump[static_cast<size_t>(vertex)]; j < m_firstJump[static_cast<size_t>(vertex) + 1]; ++j) {
                const int jump = m_byPage[static_cast<size_t>(j)];
                const int target = targets[static_cast<size_t>(jump)];
                if (m_depth[static_cast<size_t>(target)] >= 0)
                    continue;
                m_depth[static_cast<size_t>(target)] = depth + 1;
                m_parent[static_cast<size_t>(target)] = vertex;
                m_arrival[static_cast<size_t>(target)] = jump;
                m_order.push_back(target);
            }
        }
        m_childrenEnd[static_cast<size_t>(vertex)] = static_cast<int>(m_order.size());
    }
}
