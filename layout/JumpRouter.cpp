#include "layout/JumpRouter.h"

#include <algorithm>

namespace {

using Point = MapLayout::Point;
using Path = MapLayout::Path;

// A path made of cubic segments, each from where the one before ends.
class PathBuilder {
public:
    explicit PathBuilder(Point start) { m_path.points.push_back(start); }

    // A straight segment.
    void Line(Point to)
    {
        const Point from = m_path.points.back();
        Add({from.x + (to.x - from.x) / 3, from.y + (to.y - from.y) / 3},
            {from.x + (to.x - from.x) * 2 / 3, from.y + (to.y - from.y) * 2 / 3}, to);
    }
    // An S from one height to another, leaving and arriving upright.
    void Bend(Point to)
    {
        const Point from = m_path.points.back();
        const double middle = (from.y + to.y) / 2;
        Add({from.x, middle}, {to.x, middle}, to);
    }
    // Upright, then sideways at to's height.
    void Turn(Point to)
    {
        const Point from = m_path.points.back();
        Add({from.x, to.y}, {from.x, to.y}, to);
    }
    // An arch to to at the same height, rising by lift.
    void Arch(Point to, double lift)
    {
        const Point from = m_path.points.back();
        Add({from.x, from.y - lift}, {to.x, to.y - lift}, to);
    }
    Path Finish(Point head)
    {
        m_path.head = head;
        return std::move(m_path);
    }

private:
    void Add(Point first, Point second, Point to)
    {
        m_path.points.push_back(first);
        m_path.points.push_back(second);
        m_path.points.push_back(to);
    }

    Path m_path;
};

double Left(const MapLayout::Box &box)
{
    return box.x - box.width / 2;
}

double Right(const MapLayout::Box &box)
{
    return box.x + box.width / 2;
}

// Where a straight line from one point to another is at height y.
double Along(Point from, Point to, double y)
{
    return to.y == from.y ? to.x : from.x + (to.x - from.x) * (y - from.y) / (to.y - from.y);
}

} // namespace

JumpRouter::JumpRouter(const MapLayout &layout, double gap, double channel)
    : m_layout(layout)
    , m_gap(gap)
    , m_channel(channel)
{
}

double JumpRouter::GapAt(int rank, double x) const
{
    const std::vector<int> &row = m_layout.ranks[static_cast<size_t>(rank)].vertices;
    // The first box whose right edge, with the clearance, lies beyond x.
    const auto it = std::partition_point(row.begin(), row.end(), [&](int v) { return Right(m_layout.VertexBox(v)) + kClearance <= x; });
    if (it == row.end() || Left(m_layout.VertexBox(*it)) - kClearance >= x)
        return x;
    const MapLayout::Box &box = m_layout.VertexBox(*it);
    const double before = it == row.begin() ? Left(box) - m_gap / 2 : (Right(m_layout.VertexBox(*(it - 1))) + Left(box)) / 2;
    const double after = it + 1 == row.end() ? Right(box) + m_gap / 2 : (Right(box) + Left(m_layout.VertexBox(*(it + 1)))) / 2;
    return x - before <= after - x ? before : after;
}

double JumpRouter::Beside(int target, bool right) const
{
    const MapLayout::Box &box = m_layout.VertexBox(target);
    const std::vector<int> &row = m_layout.ranks[static_cast<size_t>(m_layout.rankOf[static_cast<size_t>(target)])].vertices;
    const auto it = std::partition_point(row.begin(), row.end(), [&](int v) { return m_layout.VertexBox(v).x < box.x; });
    double space = m_gap;
    if (right && it != row.end() && it + 1 != row.end())
        space = std::min(space, Left(m_layout.VertexBox(*(it + 1))) - Right(box));
    if (!right && it != row.begin())
        space = std::min(space, Left(box) - Right(m_layout.VertexBox(*(it - 1))));
    return right ? Right(box) + space / 2 : Left(box) - space / 2;
}

Path JumpRouter::Down(Point start, int from, int target) const
{
    const MapLayout::Box &box = m_layout.VertexBox(target);
    const int to = m_layout.rankOf[static_cast<size_t>(target)];
    const Point end{box.x, box.y - box.height / 2};
    PathBuilder path(start);
    for (int k = from + 1; k < to; ++k) {
        const MapLayout::Rank &rank = m_layout.ranks[static_cast<size_t>(k)];
        const double x = GapAt(k, Along(start, end, rank.top + rank.height / 2));
        path.Bend({x, rank.top});
        path.Line({x, rank.top + rank.height});
    }
    path.Bend({end.x, end.y - kArrow});
    return path.Finish(end);
}

Path JumpRouter::Up(Point start, int from, int target) const
{
    const MapLayout::Box &box = m_layout.VertexBox(target);
    const int to = m_layout.rankOf[static_cast<size_t>(target)];
    const bool right = start.x >= box.x;
    const double side = right ? Right(box) : Left(box);
    const double beside = Beside(target, right);
    const Point end{side, box.y};
    PathBuilder path(start);
    const MapLayout::Rank &last = m_layout.ranks[static_cast<size_t>(to)];
    if (to == from) {
        path.Arch({beside, last.top}, m_channel * 0.6);
    } else {
        const Point aim{beside, last.top + last.height};
        for (int k = from - 1; k > to; --k) {
            const MapLayout::Rank &rank = m_layout.ranks[static_cast<size_t>(k)];
            const double x = GapAt(k, Along(start, aim, rank.top + rank.height / 2));
            path.Bend({x, rank.top + rank.height});
            path.Line({x, rank.top});
        }
        path.Bend(aim);
    }
    path.Turn({side + (right ? kArrow : -kArrow), end.y});
    return path.Finish(end);
}

Path JumpRouter::Stub(Point start, bool up)
{
    const double way = up ? -1 : 1;
    PathBuilder path(start);
    path.Line({start.x, start.y + way * 6});
    return path.Finish({start.x, start.y + way * (6 + kArrow)});
}
