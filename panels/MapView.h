#pragma once

#include "layout/MapLayout.h"
#include "rules/ConversationGraph.h"

#include <QGraphicsView>
#include <QRectF>
#include <memory>
#include <vector>

// The conversation map as laid out: pages as boxes (name and number of
// options), jumps as arrows, marked by kind, the pages and arrows a profile
// of PC can never reach dimmed and the page on display highlighted. A far
// jump is drawn as its stub named after its target, except those from and
// to the page on display, which are drawn in full. Ctrl+wheel zooms,
// dragging pans, a click on a box asks to show its page, the arrow keys
// choose a box. It paints only what is exposed, and at small scales boxes
// without names, then boxes alone, so that a map of 20,000 pages stays quick.
class MapView : public QGraphicsView {
    Q_OBJECT
public:
    // What the map draws, made off the user interface thread.
    struct Map {
        std::shared_ptr<const ConversationGraph> graph;
        MapLayout layout;
        std::vector<QRectF> bounds; // per edge: what its arrow, or a far jump's stub, covers
        // Finds the bounds of layout's arrows.
        void MakeBounds();
    };

    explicit MapView(QWidget *parent = nullptr);

    // A new map, or none. The view keeps its place on the map, so that the
    // page on display, which a new layout keeps where it was, stays on screen.
    void SetMap(std::shared_ptr<const Map> map);
    const std::shared_ptr<const Map> &GetMap() const { return m_map; }
    void SetDimmed(ConversationGraph::Dimmed dimmed);
    const ConversationGraph::Dimmed &GetDimmed() const { return m_dimmed; }
    // The page on display (its index, or -1); scrolls to it when asked.
    void SetCurrentPage(int page, bool scroll);
    int GetCurrentPage() const { return m_current; }
    int GetChosenPage() const { return m_chosen; }
    void ZoomBy(double factor);
    void FitToWindow();
    // The first look at a map: the whole of it when its names can still be
    // read so, otherwise the page on display at its natural size.
    void ShowFirst();
    // The scale at which the whole map fits the window (at most 1).
    double FitScale() const;
    double GetScale() const { return transform().m11(); }
    // The page whose box holds the point of the viewport, or -1.
    int PageAt(const QPoint &viewportPoint) const;
    // The centre of a page's box in the viewport.
    QPoint PagePoint(int page) const;

signals:
    void pageClicked(int page);

protected:
    void drawBackground(QPainter *painter, const QRectF &exposed) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The full routes of the far jumps from and to the page on display.
    struct CurrentRoute {
        int edge = -1;
        MapLayout::Path path;
    };

    void ScrollToCurrent();
    void FindCurrentRoutes();
    // The page nearest the chosen one in the way (dx, dy), or -1.
    int NearestPage(int from, int dx, int dy) const;
    void DrawArrow(QPainter &painter, int edge, const MapLayout::Path &path, bool text) const;
    void DrawStubLabel(QPainter &painter, int edge, bool text) const;
    void DrawVertex(QPainter &painter, int vertex, bool text, bool detail) const;
    QColor EdgeColour(int edge) const;
    bool IsCurrentRoute(int edge) const;

    std::shared_ptr<const Map> m_map;
    ConversationGraph::Dimmed m_dimmed;
    int m_current = -1;
    int m_chosen = -1; // the box the keys have chosen
    std::vector<CurrentRoute> m_currentRoutes;
    QPoint m_pressedAt;
};
