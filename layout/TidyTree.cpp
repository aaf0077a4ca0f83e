#include "layout/TidyTree.h"

#include "layout/FirstArrivals.h"

#include <algorithm>
#include <utility>

namespace {

constexpr size_t kPiece = 4096;

// The outline of a subtree: the left and right edges of its boxes at each
// depth below its root, the deepest first (so that a parent adds its own
// depth at the end), each to be moved by offset.
struct Contour {
    std::vector<std::pair<double, double>> sides;
    double offset = 0;

    size_t Depths() const { return sides.size(); }
    // Depth k below the root.
    double Left(size_t k) const { return sides[sides.size() - 1 - k].first + offset; }
    double Right(size_t k) const { return sides[sides.size() - 1 - k].second + offset; }
};

// How far right of the forest's origin the next subtree must stand so that
// it keeps gap from the forest at every depth they share.
double Clearance(const Contour &forest, const Contour &next, double gap)
{
    double shift = -1e300;
    const size_t shared = std::min(forest.Depths(), next.Depths());
    for (size_t k = 0; k < shared; ++k)
        shift = std::max(shift, forest.Right(k) + gap - next.Left(k));
    return shift;
}

// The forest with next, moved by shift, to its right: the deeper of the two
// keeps its sides, and the depths they share take the forest's left and
// next's right. The work is the depths they share.
void Join(Contour &forest, Contour &&next, double shift)
{
    next.offset += shift;
    const size_t shared = std::min(forest.Depths(), next.Depths());
    if (next.Depths() > forest.Depths()) {
        for (size_t k = 0; k < shared; ++k)
            next.sides[next.Depths() - 1 - k].first = forest.Left(k) - next.offset;
        forest = std::move(next);
        return;
    }
    for (size_t k = 0; k < shared; ++k)
        forest.sides[forest.Depths() - 1 - k].second = next.Right(k) - forest.offset;
}

} // namespace

std::vector<double> TidyTree::Place(const FirstArrivals &tree, const std::vector<double> &widths, double gap, const std::stop_token &stop)
{
    const std::vector<int> &order = tree.GetOrder();
    // Children before parents: each subtree's contour, its root at 0, and
    // each child's place relative to its parent.
    std::vector<Contour> contours(order.size());
    std::vector<double> relative(order.size(), 0);
    for (size_t i = order.size(); i-- > 0;) {
        if (i % kPiece == 0 && stop.stop_requested())
            return {};
        const int vertex = order[i];
        const int begin = tree.GetChildrenBegin(vertex);
        const int end = tree.GetChildrenEnd(vertex);
        Contour forest;
        double last = 0;
        for (int c = begin; c < end; ++c) {
            const size_t child = static_cast<size_t>(order[static_cast<size_t>(c)]);
            Contour &next = contours[child];
            last = c == begin ? 0 : Clearance(forest, next, gap);
            relative[child] = last;
            if (c == begin)
                forest = std::move(next);
            else
                Join(forest, std::move(next), last);
        }
        const double centre = last / 2;
        for (int c = begin; c < end; ++c)
            relative[static_cast<size_t>(order[static_cast<size_t>(c)])] -= centre;
        forest.offset -= centre;
        const double half = widths[static_cast<size_t>(vertex)] / 2;
        forest.sides.emplace_back(-half - forest.offset, half - forest.offset);
        contours[static_cast<size_t>(vertex)] = std::move(forest);
    }
    // The trees side by side, then every vertex from its parent.
    std::vector<double> x(order.size(), 0);
    Contour forest;
    const std::vector<int> &roots = tree.GetRoots();
    for (size_t r = 0; r < roots.size(); ++r) {
        Contour &next = contours[static_cast<size_t>(roots[r])];
        const double at = r == 0 ? 0 : Clearance(forest, next, gap);
        x[static_cast<size_t>(roots[r])] = at;
        if (r == 0)
            forest = std::move(next);
        else
            Join(forest, std::move(next), at);
    }
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t vertex = static_cast<size_t>(order[i]);
        const int parent = tree.GetParent(order[i]);
        if (parent >= 0)
            x[vertex] = x[static_cast<size_t>(parent)] + relative[vertex];
    }
    double left = x.empty() ? 0 : 1e300;
    for (size_t v = 0; v < x.size(); ++v)
        left = std::min(left, x[v] - widths[v] / 2);
    for (double &at : x)
        at -= left;
    return x;
}
