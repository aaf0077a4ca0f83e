#include "panels/MapView.h"

#include "ui/AnsiText.h"

#include <QGraphicsScene>
#include <QKeyEvent>
#include <algorithm>
#include <iterator>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace {

using Mark = ConversationGraph::Mark;

const QColor kInk(40, 40, 40);
const QColor kDimmed(200, 200, 200);
const QColor kCurrent(0, 110, 220);
const QColor kMoney(184, 134, 11);
const QColor kMissing(200, 0, 0);

QPointF At(const GraphvizLayout::Point &point)
{
    return {point.x, point.y};
}

} // namespace

void MapView::Map::MakePaths()
{
    paths.clear();
    bounds.clear();
    paths.reserve(layout.edges.size());
    bounds.reserve(layout.edges.size());
    for (const GraphvizLayout::Path &edge : layout.edges) {
        QPainterPath path;
        if (!edge.points.empty()) {
            path.moveTo(At(edge.points[0]));
            for (size_t i = 1; i + 2 < edge.points.size(); i += 3)
                path.cubicTo(At(edge.points[i]), At(edge.points[i + 1]), At(edge.points[i + 2]));
            path.lineTo(At(edge.head));
        }
        bounds.push_back(path.boundingRect().adjusted(-6, -6, 6, 6));
        paths.push_back(std::move(path));
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
    m_map = std::move(map);
    if (!m_map) {
        scene()->setSceneRect(QRectF());
        m_dimmed = {};
        viewport()->update();
        return;
    }
    const GraphvizLayout::Layout &layout = m_map->layout;
    scene()->setSceneRect(QRectF(-20, -20, layout.width + 40, layout.height + 40));
    if (m_dimmed.nodes.size() != layout.nodes.size() || m_dimmed.edges.size() != layout.edges.size())
        m_dimmed = {};
    ScrollToCurrent();
    viewport()->update();
}

void MapView::SetDimmed(ConversationGraph::Dimmed dimmed)
{
    m_dimmed = std::move(dimmed);
    viewport()->update();
}

void MapView::SetCurrentPage(int page, bool scroll)
{
    m_current = page;
    m_chosen = page;
    if (scroll)
        ScrollToCurrent();
    viewport()->update();
}

void MapView::ScrollToCurrent()
{
    if (m_map && m_current >= 0 && static_cast<size_t>(m_current) < m_map->layout.nodes.size())
        centerOn(BoxRect(m_map->layout.nodes[static_cast<size_t>(m_current)]).center());
}

void MapView::ZoomBy(double factor)
{
    const double now = transform().m11();
    factor = std::clamp(now * factor, 0.02, 8.0) / now;
    scale(factor, factor);
}

void MapView::FitToWindow()
{
    fitInView(sceneRect(), Qt::KeepAspectRatio);
    // Small maps are not blown up past their natural size.
    if (transform().m11() > 1.0)
        setTransform(QTransform());
}

QRectF MapView::BoxRect(const GraphvizLayout::Box &box) const
{
    return {box.x - box.width / 2, box.y - box.height / 2, box.width, box.height};
}

int MapView::PageAt(const QPoint &viewportPoint) const
{
    if (!m_map)
        return -1;
    const QPointF point = mapToScene(viewportPoint);
    const std::vector<GraphvizLayout::Box> &nodes = m_map->layout.nodes;
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (BoxRect(nodes[i]).contains(point))
            return static_cast<int>(i);
    }
    return -1;
}

QPoint MapView::PagePoint(int page) const
{
    return mapFromScene(BoxRect(m_map->layout.nodes[static_cast<size_t>(page)]).center());
}

void MapView::drawBackground(QPainter *painter, const QRectF &exposed)
{
    QGraphicsView::drawBackground(painter, exposed);
    if (!m_map)
        return;
    const GraphvizLayout::Layout &layout = m_map->layout;
    const ConversationGraph &graph = *m_map->graph;
    const bool text = painter->worldTransform().m11() > 0.35; // readable at all
    const auto dimmedEdge = [this](size_t e) { return e < m_dimmed.edges.size() && m_dimmed.edges[e]; };
    const auto dimmedNode = [this](size_t i) { return i < m_dimmed.nodes.size() && m_dimmed.nodes[i]; };

    // Arrows, then their heads and marks.
    QFont small = font();
    small.setPointSizeF(7);
    painter->setFont(small);
    for (size_t e = 0; e < m_map->paths.size(); ++e) {
        if (!m_map->bounds[e].intersects(exposed))
            continue;
        const ConversationGraph::Edge &edge = graph.GetEdges()[e];
        QColor color = edge.mark == Mark::RequestMoney ? kMoney : edge.mark == Mark::NoPage ? kMissing : kInk;
        if (dimmedEdge(e))
            color = kDimmed;
        QPen pen(color, 1.0);
        pen.setCosmetic(true);
        if (edge.mark == Mark::RequestMoney)
            pen.setStyle(Qt::DashLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        const QPainterPath &path = m_map->paths[e];
        painter->drawPath(path);
        // The head: an arrow, or a bar where the dialog ends.
        const GraphvizLayout::Path &points = layout.edges[e];
        if (points.points.empty())
            continue;
        const QPointF head = At(points.head);
        const QPointF from = At(points.points.back()) == head && points.points.size() > 1 ? At(points.points[points.points.size() - 2]) : At(points.points.back());
        const QPointF along = head - from;
        const double length = std::hypot(along.x(), along.y());
        if (length <= 0)
            continue;
        const QPointF unit = along / length;
        const QPointF normal(-unit.y(), unit.x());
        if (edge.mark == Mark::EndsDialog) {
            painter->drawLine(head + normal * 4, head - normal * 4);
        } else {
            painter->setBrush(color);
            painter->drawPolygon(QPolygonF{head, head - unit * 8 + normal * 3.5, head - unit * 8 - normal * 3.5});
        }
        if (text && edge.mark == Mark::RequestMoney)
            painter->drawText(path.pointAtPercent(0.5) + QPointF(3, -3), QStringLiteral("pays"));
    }

    // Markers where arrows lead to no page.
    for (const GraphvizLayout::Marker &marker : layout.markers) {
        const QRectF rect = BoxRect(marker.box);
        if (!rect.intersects(exposed))
            continue;
        if (marker.mark == Mark::NoPage) {
            painter->setPen(QPen(kMissing, 0));
            painter->setBrush(QColor(255, 235, 235));
            painter->drawRect(rect);
            if (text)
                painter->drawText(rect, Qt::AlignCenter, QStringLiteral("no page %1").arg(marker.number));
        } else {
            painter->setPen(Qt::NoPen);
            painter->setBrush(kInk);
            painter->drawEllipse(rect.center(), 3, 3);
        }
    }

    // The pages.
    QFont name = font();
    name.setPointSizeF(8);
    for (size_t i = 0; i < layout.nodes.size(); ++i) {
        const QRectF rect = BoxRect(layout.nodes[i]);
        if (!rect.intersects(exposed))
            continue;
        const bool current = static_cast<int>(i) == m_current;
        const bool dimmed = dimmedNode(i);
        QPen pen(current ? kCurrent : dimmed ? kDimmed : kInk, current ? 3 : i == 0 ? 2 : 1);
        pen.setCosmetic(current);
        painter->setPen(pen);
        painter->setBrush(current ? QColor(225, 238, 255) : dimmed ? QColor(248, 248, 248) : QColor(255, 255, 240));
        painter->drawRoundedRect(rect, 6, 6);
        if (static_cast<int>(i) == m_chosen && hasFocus()) {
            QPen focus(kCurrent, 1, Qt::DashLine);
            focus.setCosmetic(true);
            painter->setPen(focus);
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(rect.adjusted(-4, -4, 4, 4), 8, 8);
        }
        if (!text)
            continue;
        const ConversationGraph::Node &node = graph.GetNodes()[i];
        painter->setFont(name);
        painter->setPen(dimmed ? QColor(160, 160, 160) : kInk);
        const int options = node.options;
        painter->drawText(rect.adjusted(3, 1, -3, -1), Qt::AlignCenter,
                          AnsiText::ToDisplay(node.name) + QLatin1Char('\n')
                              + (options == 1 ? QStringLiteral("1 option") : QStringLiteral("%1 options").arg(options)));
    }
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
    const QPointF ways[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    const int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
    const auto way = std::find(std::begin(keys), std::end(keys), key);
    if (way == std::end(keys) || !m_map || m_map->layout.nodes.empty() || event->modifiers() != Qt::NoModifier) {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    const std::vector<GraphvizLayout::Box> &nodes = m_map->layout.nodes;
    const QPointF direction = ways[way - std::begin(keys)];
    if (m_chosen < 0 || static_cast<size_t>(m_chosen) >= nodes.size()) {
        m_chosen = 0;
    } else {
        const QPointF from = BoxRect(nodes[static_cast<size_t>(m_chosen)]).center();
        double best = 0;
        int found = -1;
        for (size_t i = 0; i < nodes.size(); ++i) {
            const QPointF to = BoxRect(nodes[i]).center() - from;
            const double along = to.x() * direction.x() + to.y() * direction.y();
            if (along <= 0.5)
                continue;
            const double across = std::abs(to.x() * direction.y() - to.y() * direction.x());
            const double cost = along + 2 * across;
            if (found < 0 || cost < best) {
                best = cost;
                found = static_cast<int>(i);
            }
        }
        if (found >= 0)
            m_chosen = found;
    }
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
