#pragma once

#include <stop_token>
#include <vector>

// The tree of first arrivals of a map: breadth first from the first page,
// each page or marker (a vertex) hangs under the page whose jump reaches it
// first, in the order of that page's jumps. Pages that no jump from the
// first page reaches start trees of their own, beside the first: first those
// that no other such page leads to, in file order, then, for what is left
// (cycles among them), the first page left in file order, again and again.
// Vertices 0 to pages - 1 are the pages; the markers follow them.
class FirstArrivals {
public:
    // targets[e]: the vertex that jump e leads to from its page from[e].
    FirstArrivals(int pages, int vertices, const std::vector<int> &from, const std::vector<int> &targets, const std::stop_token &stop);

    bool IsStopped() const { return m_stopped; }
    // Every vertex once, breadth first, tree after tree. Within one depth
    // the vertices come left to right, as the map places them.
    const std::vector<int> &GetOrder() const { return m_order; }
    const std::vector<int> &GetRoots() const { return m_roots; }
    int GetParent(int vertex) const { return m_parent[static_cast<size_t>(vertex)]; }
    int GetDepth(int vertex) const { return m_depth[static_cast<size_t>(vertex)]; }
    int GetDepthCount() const { return m_depths; }
    // The jump that first reaches the vertex; -1 for a root.
    int GetArrival(int vertex) const { return m_arrival[static_cast<size_t>(vertex)]; }
    // The children of a vertex, left to right, are GetOrder()[begin, end).
    int GetChildrenBegin(int vertex) const { return m_childrenBegin[static_cast<size_t>(vertex)]; }
    int GetChildrenEnd(int vertex) const { return m_childrenEnd[static_cast<size_t>(vertex)]; }

private:
    void Grow(int root, const std::vector<int> &targets, const std::stop_token &stop);

    int m_pages;
    std::vector<int> m_firstJump; // per page, where its jumps begin in m_byPage; one more at the end
    std::vector<int> m_byPage;    // the jumps, page after page, each page's in their order
    std::vector<int> m_order;
    std::vector<int> m_roots;
    std::vector<int> m_parent;
    std::vector<int> m_depth;
    std::vector<int> m_arrival;
    std::vector<int> m_childrenBegin;
    std::vector<int> m_childrenEnd;
    int m_depths = 0;
    bool m_stopped = false;
};
