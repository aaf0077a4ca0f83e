#include "panels/MapView.h"

#include "ui/AnsiText.h"

#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QThreadPool>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

namespace {

using Mark = ConversationGraph::Mark;

const QColor kInk(40, 40, 40);
const QColor kDimmed(200, 200, 200);
const QColor kCurrent(0, 110, 220);
const QColor kMoney(184, 134, 11);
const QColor kMissing(200, 0, 0);

// The scales below which the names are not drawn, and below which the map
// shows only boxes (and the arrows of the page on display); the scale
// below which a whole map is too small to read, so that it first opens on
// the page on display.
constexpr double kNamesDrawn = 0.35;
constexpr double kArrowsDrawn = 0.12;
constexpr double kReadable = 0.5;
constexpr double kLeastScale = 0.02;
constexpr double kMostScale = 8.0;

QPointF At(const MapLayout::Point &point)
{
    return {point.x, point.y};
}

QRectF BoxRect(const MapLayout::Box &box)
{
    return {box.x - box.width / 2, box.y - box.height / 2, box.width, box.height};
}

QPainterPath PainterPath(const MapLayout::Path &path)
{
    QPainterPath painted;
    if (path.points.empty())
        return painted;
    painted.moveTo(At(path.points[0]));
    for (size_t i = 1; i + 2 < path.points.size(); i += 3)
        painted.cubicTo(At(path.points[i]), At(path.points[i + 1]), At(path.points[i + 2]));
    painted.lineTo(At(path.head));
    return painted;
}

// What a path's curve covers: its control points hold it.
QRectF PathBounds(const MapLayout::Path &path)
{
    if (path.points.empty())
        return {};
    double left = path.head.x, right = path.head.x, top = path.head.y, bottom = path.head.y;
    for (const MapLayout::Point &point : path.points) {
        left = std::min(left, point.x);
        right = std::max(right, point.x);
        top = std::min(top, point.y);
        bottom = std::max(bottom, point.y);
    }
    return QRectF(left, top, right - left, bottom - top).adjusted(-6, -6, 6, 6);
}

// The arrow the map draws for a jump everywhere: a far jump's stub, any
// other's whole route.
const MapLayout::Path &Drawn(const MapLayout::Route &route)
{
    return route.far ? route.stub : route;
}

} // namespace

void MapView::Map::MakeBounds()
{
    bounds.clear();
    bounds.reserve(layout.edges.size());
    const std::vector<ConversationGraph::Edge> &edges = graph->GetEdges();
    for (size_t e = 0; e < layout.edges.size(); ++e) {
        const MapLayout::Route &route = layout.edges[e];
        QRectF rect = PathBounds(Drawn(route));
        // Room for the stub's label, about as wide as its target's name.
        if (route.far && edges[e].to >= 0) {
            const double label = 6.0 * static_cast<double>(std::min<size_t>(graph->GetNodes()[static_cast<size_t>(edges[e].to)].name.size(), 80)) + 40;
            rect.adjust(-label, -12, label, 12);
        }
        bounds.push_back(rect);
    }
}

MapView::MapView(QWidget *parent)
    : QGraphicsView(parent)
{
    setObjectName(QStringLiteral("mapView"));
    setAccessibleName(QStringLiteral("Conversation map"));
    setScene(new QGraphicsScene(this));
    setDragMode(QGraphicsView::ScrollHandDrag);
    setRenderHint(QPainter::Antialiasing);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setBackgroundBrush(Qt::white);
}

void MapView::SetMap(std::shared_ptr<const Map> map)
{
    // Taking a large map apart takes its time: off this thread.
    if (std::shared_ptr<const Map> before = std::exchange(m_map, std::move(map)); before.use_count() == 1)
        QThreadPool::globalInstance()->start([before = std::move(before)]() mutable { before.reset(); });
    m_currentRoutes.clear();
    if (!m_map) {
        scene()->setSceneRect(QRectF());
        m_dimmed = {};
        viewport()->update();
        return;
    }
    const MapLayout &layout = m_map->layout;
    scene()->setSceneRect(QRectF(layout.left, layout.top, layout.width, layout.height));
    if (m_dimmed.nodes.size() != layout.nodes.size() || m_dimmed.edges.size() != layout.edges.size())
        m_dimmed = {};
    // The scroll bars stand for places on the map, not in its rectangle:
    // as they are, the view stays where it was.
    FindCurrentRoutes();
    viewport()->update();
}

void MapView::SetDimmed(ConversationGraph::Dimmed dimmed)
{
    m_dimmed = std::move(dimmed);
    viewport()->update();
}

void MapView::SetCurrentPage(int page, bool scroll)
{
    const bool changed = page != m_current;
    m_current = page;
    m_chosen = page;
    if (changed)
        FindCurrentRoutes();
    if (scroll)
        ScrollToCurrent();
    viewport()->update();
}

void MapView::FindCurrentRoutes()
{
    m_currentRoutes.clear();
    if (!m_map || m_current < 0 || static_cast<size_t>(m_current) >= m_map->layout.nodes.size())
        return;
    const std::vector<ConversationGraph::Edge> &edges = m_map->graph->GetEdges();
    for (size_t e = 0; e < edges.size(); ++e) {
        if (edges[e].from != m_current && edges[e].to != m_current)
            continue;
        const MapLayout::Route &route = m_map->layout.edges[e];
        m_currentRoutes.push_back({static_cast<int>(e), route.far ? m_map->layout.RouteOf(static_cast<int>(e)) : MapLayout::Path(route)});
    }
}

bool MapView::IsCurrentRoute(int edge) const
{
    const ConversationGraph::Edge &jump = m_map->graph->GetEdges()[static_cast<size_t>(edge)];
    return m_current >= 0 && (jump.from == m_current || jump.to == m_current);
}

void MapView::ScrollToCurrent()
{
    if (m_map && m_current >= 0 && static_cast<size_t>(m_current) < m_map->layout.nodes.size())
        centerOn(BoxRect(m_map->layout.nodes[static_cast<size_t>(m_current)]).center());
}

double MapView::FitScale() const
{
    const QRectF rect = sceneRect();
    if (rect.width() <= 0 || rect.height() <= 0)
        return 1;
    return std::min({1.0, viewport()->width() / rect.width(), viewport()->height() / rect.height()});
}

void MapView::ZoomBy(double factor)
{
    const double now = transform().m11();
    // Out as far as the whole map, however large.
    const double least = std::min({kLeastScale, FitScale(), now});
    factor = std::clamp(now * factor, least, kMostScale) / now;
    scale(factor, factor);
}

void MapView::FitToWindow()
{
    fitInView(sceneRect(), Qt::KeepAspectRatio);
    // Small maps are not blown up past their natural size.
    if (transform().m11() > 1.0)
        setTransform(QTransform());
}

void MapView::ShowFirst()
{
    if (FitScale() >= kReadable) {
        FitToWindow();
        return;
    }
    setTransform(QTransform());
    if (m_current >= 0)
        ScrollToCurrent();
    else if (m_map && !m_map->layout.nodes.empty())
        centerOn(BoxRect(m_map->layout.nodes.front()).center());
}

int MapView::PageAt(const QPoint &viewportPoint) const
{
    if (!m_map)
        return -1;
    const QPointF point = mapToScene(viewportPoint);
    return m_map->layout.PageAt({point.x(), point.y()});
}

QPoint MapView::PagePoint(int page) const
{
    return mapFromScene(BoxRect(m_map->layout.nodes[static_cast<size_t>(page)]).center());
}

QColor MapView::EdgeColour(int edge) const
{
    const size_t e = static_cast<size_t>(edge);
    if (e < m_dimmed.edges.size() && m_dimmed.edges[e])
        return kDimmed;
    const Mark mark = m_map->graph->GetEdges()[e].mark;
    return mark == Mark::RequestMoney ? kMoney : mark == Mark::NoPage ? kMissing : kInk;
}

// The arrow: its curve, then at its head an arrowhead or, where the dialog
// ends, a bar.
void MapView::DrawArrow(QPainter &painter, int edge, const MapLayout::Path &path, bool text) const
{
    if (path.points.empty())
        return;
    const Mark mark = m_map->graph->GetEdges()[static_cast<size_t>(edge)].mark;
    const QColor colour = EdgeColour(edge);
    QPen pen(colour, 1.0);
    pen.setCosmetic(true);
    if (mark == Mark::RequestMoney)
        pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPainterPath curve = PainterPath(path);
    painter.drawPath(curve);
    const QPointF head = At(path.head);
    const QPointF along = head - At(path.points.back());
    const double length = std::hypot(along.x(), along.y());
    if (length > 0) {
        const QPointF unit = along / length;
        const QPointF normal(-unit.y(), unit.x());
        if (mark == Mark::EndsDialog) {
            painter.drawLine(head + normal * 4, head - normal * 4);
        } else {
            painter.setBrush(colour);
            painter.drawPolygon(QPolygonF{head, head - unit * 8 + normal * 3.5, head - unit * 8 - normal * 3.5});
        }
    }
    if (text && mark == Mark::RequestMoney)
        painter.drawText(curve.pointAtPercent(0.5) + QPointF(3, -3), QStringLiteral("pays"));
}

// A far jump's stub is named after its target, beside its head on the side
// the target lies.
void MapView::DrawStubLabel(QPainter &painter, int edge, bool text) const
{
    const ConversationGraph::Edge &jump = m_map->graph->GetEdges()[static_cast<size_t>(edge)];
    const MapLayout::Route &route = m_map->layout.edges[static_cast<size_t>(edge)];
    if (!text || !route.far || jump.to < 0 || route.stub.points.empty())
        return;
    const MapLayout::Path &stub = route.stub;
    const bool left = m_map->layout.nodes[static_cast<size_t>(jump.to)].x < stub.head.x;
    const bool up = stub.head.y < stub.points.front().y;
    QString name = AnsiText::ToDisplay(m_map->graph->GetNodes()[static_cast<size_t>(jump.to)].name);
    if (jump.mark == Mark::RequestMoney)
        name = QStringLiteral("pays: ") + name;
    const double width = QFontMetricsF(painter.font()).horizontalAdvance(name);
    const QPointF at(stub.head.x + (left ? -4 - width : 4), stub.head.y + (up ? 0 : 8));
    painter.setPen(EdgeColour(edge));
    painter.drawText(at, name);
}

void MapView::DrawVertex(QPainter &painter, int vertex, bool text, bool detail) const
{
    const MapLayout &layout = m_map->layout;
    const size_t pages = layout.nodes.size();
    const size_t v = static_cast<size_t>(vertex);
    const QRectF rect = BoxRect(layout.VertexBox(vertex));
    if (v >= pages) {
        // Markers where arrows lead to no page: a dot where the dialog ends.
        const MapLayout::Marker &marker = layout.markers[v - pages];
        if (marker.mark == Mark::NoPage) {
            painter.setPen(detail ? QPen(kMissing, 0) : Qt::NoPen);
            painter.setBrush(detail ? QColor(255, 235, 235) : kMissing);
            painter.drawRect(rect);
            if (text)
                painter.drawText(rect, Qt::AlignCenter, QStringLiteral("no page %1").arg(marker.number));
        } else if (detail) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kInk);
            painter.drawEllipse(rect.center(), 3, 3);
        }
        return;
    }
    const bool current = vertex == m_current;
    const bool dimmed = v < m_dimmed.nodes.size() && m_dimmed.nodes[v];
    const QColor fill = current ? QColor(225, 238, 255) : dimmed ? QColor(248, 248, 248) : QColor(255, 255, 240);
    const QColor border = current ? kCurrent : dimmed ? kDimmed : kInk;
    if (!detail) {
        // Too small to read: a plain box, the page on display at least a
        // few pixels across, so that it can be found on the whole map.
        painter.setPen(Qt::NoPen);
        painter.setBrush(current ? kCurrent : dimmed ? kDimmed : QColor(150, 150, 130));
        const double least = 8 / std::max(painter.worldTransform().m11(), 1e-9);
        painter.drawRect(current ? rect.adjusted(-least, -least, least, least) : rect);
        return;
    }
    QPen pen(border, current ? 3 : vertex == 0 ? 2 : 1);
    pen.setCosmetic(current);
    painter.setPen(pen);
    painter.setBrush(fill);
    painter.drawRoundedRect(rect, 6, 6);
    if (vertex == m_chosen && hasFocus()) {
        QPen focus(kCurrent, 1, Qt::DashLine);
        focus.setCosmetic(true);
        painter.setPen(focus);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(rect.adjusted(-4, -4, 4, 4), 8, 8);
    }
    if (!text)
        return;
    const ConversationGraph::Node &node = m_map->graph->GetNodes()[v];
    painter.setPen(dimmed ? QColor(160, 160, 160) : kInk);
    const int options = node.options;
    painter.drawText(rect.adjusted(3, 1, -3, -1), Qt::AlignCenter,
                     AnsiText::ToDisplay(node.name) + QLatin1Char('\n')
                         + (options == 1 ? QStringLiteral("1 option") : QStringLiteral("%1 options").arg(options)));
}

void MapView::drawBackground(QPainter *painter, const QRectF &exposed)
{
    QGraphicsView::drawBackground(painter, exposed);
    if (!m_map)
        return;
    const MapLayout &layout = m_map->layout;
    const double scale = painter->worldTransform().m11();
    const bool text = scale >= kNamesDrawn;
    const bool detail = scale >= kArrowsDrawn;

    // Arrows, then the boxes over their ends.
    QFont small = font();
    small.setPointSizeF(7);
    painter->setFont(small);
    if (detail) {
        for (size_t e = 0; e < layout.edges.size(); ++e) {
            if (!m_map->bounds[e].intersects(exposed) || IsCurrentRoute(static_cast<int>(e)))
                continue;
            // A stub's label names what it pays for too.
            DrawArrow(*painter, static_cast<int>(e), Drawn(layout.edges[e]), text && !layout.edges[e].far);
            DrawStubLabel(*painter, static_cast<int>(e), text);
        }
    }
    for (const CurrentRoute &route : m_currentRoutes)
        DrawArrow(*painter, route.edge, route.path, text);

    QFont name = font();
    name.setPointSizeF(8);
    painter->setFont(name);
    painter->setRenderHint(QPainter::Antialiasing, detail);
    for (const int vertex : layout.VerticesIn(exposed.left(), exposed.top(), exposed.right(), exposed.bottom()))
        DrawVertex(*painter, vertex, text, detail);
    painter->setRenderHint(QPainter::Antialiasing, true);
}

void MapView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        ZoomBy(std::pow(1.0015, event->angleDelta().y()));
        event->accept();
        return;
    }
    QGraphicsView::wheelEvent(event);
}

void MapView::mousePressEvent(QMouseEvent *event)
{
    m_pressedAt = event->position().toPoint();
    QGraphicsView::mousePressEvent(event);
}

// A click, not a drag, on a box shows its page.
void MapView::mouseReleaseEvent(QMouseEvent *event)
{
    QGraphicsView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || (event->position().toPoint() - m_pressedAt).manhattanLength() > 4)
        return;
    if (const int page = PageAt(event->position().toPoint()); page >= 0)
        emit pageClicked(page);
}

// The nearest page that way: the least distance along the way plus twice
// the distance across it. The ranks are rows sorted left to right, so only
// the rows and boxes that could still come nearer than the best are looked at.
int MapView::NearestPage(int from, int dx, int dy) const
{
    const MapLayout &layout = m_map->layout;
    const int pages = static_cast<int>(layout.nodes.size());
    const MapLayout::Box &origin = layout.nodes[static_cast<size_t>(from)];
    double best = std::numeric_limits<double>::infinity();
    int found = -1;
    // The cost of a box, and the least cost of any box beyond it in its row.
    const auto consider = [&](int vertex) {
        const MapLayout::Box &box = layout.VertexBox(vertex);
        const double x = box.x - origin.x, y = box.y - origin.y;
        const double along = x * dx + y * dy;
        const double across = std::abs(x * dy - y * dx);
        if (vertex < pages && along > 0.5 && along + 2 * across < best) {
            best = along + 2 * across;
            found = vertex;
        }
    };
    const auto rowY = [&](size_t rank) { return layout.ranks[rank].top + layout.ranks[rank].height / 2 - origin.y; };
    const int rank = layout.rankOf[static_cast<size_t>(from)];
    const int ranks = static_cast<int>(layout.ranks.size());
    if (dy != 0) {
        // Up or down: row after row that way, in each from the boxes under
        // (or over) the chosen one outwards.
        for (int r = rank + dy; r >= 0 && r < ranks && std::abs(rowY(static_cast<size_t>(r))) < best; r += dy) {
            const double along = std::abs(rowY(static_cast<size_t>(r)));
            const std::vector<int> &row = layout.ranks[static_cast<size_t>(r)].vertices;
            const auto middle = std::partition_point(row.begin(), row.end(), [&](int v) { return layout.VertexBox(v).x < origin.x; });
            for (auto it = middle; it != row.end() && along + 2 * (layout.VertexBox(*it).x - origin.x) < best; ++it)
                consider(*it);
            for (auto it = middle; it != row.begin() && along + 2 * (origin.x - layout.VertexBox(*(it - 1)).x) < best; --it)
                consider(*(it - 1));
        }
        return found;
    }
    // Left or right: the chosen box's row, then the rows above and below
    // it, nearest first; in each the first page that way is its nearest.
    for (int distance = 0; distance < ranks; ++distance) {
        bool nearer = false;
        for (const int r : {rank - distance, rank + distance}) {
            if (r < 0 || r >= ranks || (distance == 0 && nearer) || 2 * std::abs(rowY(static_cast<size_t>(r))) >= best)
                continue;
            nearer = true;
            const std::vector<int> &row = layout.ranks[static_cast<size_t>(r)].vertices;
            if (dx > 0) {
                auto it = std::partition_point(row.begin(), row.end(), [&](int v) { return layout.VertexBox(v).x <= origin.x + 0.5; });
                while (it != row.end() && *it >= pages)
                    ++it;
                if (it != row.end())
                    consider(*it);
            } else {
                auto it = std::partition_point(row.begin(), row.end(), [&](int v) { return layout.VertexBox(v).x < origin.x - 0.5; });
                while (it != row.begin() && *(it - 1) >= pages)
                    --it;
                if (it != row.begin())
                    consider(*(it - 1));
            }
        }
        if (!nearer && distance > 0)
            break;
    }
    return found;
}

// The keys choose a box: the arrows the nearest one that way, Enter or
// Space shows its page.
void MapView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && m_map && m_chosen >= 0) {
        emit pageClicked(m_chosen);
        event->accept();
        return;
    }
    const QPoint ways[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    const int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
    const auto way = std::find(std::begin(keys), std::end(keys), key);
    if (way == std::end(keys) || !m_map || m_map->layout.nodes.empty() || event->modifiers() != Qt::NoModifier) {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    const std::vector<MapLayout::Box> &nodes = m_map->layout.nodes;
    const QPoint direction = ways[way - std::begin(keys)];
    if (m_chosen < 0 || static_cast<size_t>(m_chosen) >= nodes.size())
        m_chosen = 0;
    else if (const int found = NearestPage(m_chosen, direction.x(), direction.y()); found >= 0)
        m_chosen = found;
    centerOn(BoxRect(nodes[static_cast<size_t>(m_chosen)]).center());
    viewport()->update();
    event->accept();
}

void MapView::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    viewport()->update();
}

void MapView::focusOutEvent(QFocusEvent *event)
{
    QGraphicsView::focusOutEvent(event);
    viewport()->update();
}
