#pragma once

#include "graph/GraphvizLayout.h"
#include "rules/ConversationGraph.h"

#include <QGraphicsView>
#include <QPainterPath>
#include <memory>
#include <vector>

// The conversation map as laid out: pages as boxes (name and number of
// options), jumps as arrows, marked by kind, the pages and arrows a profile
// of PC can never reach dimmed and the page on display highlighted. Ctrl+wheel
// zooms, dragging pans, a click on a box asks to show its page. It paints
// only what is exposed, so a map of thousands of pages stays quick.
class MapView : public QGraphicsView {
    Q_OBJECT
public:
    // What the map draws, made off the user interface thread.
    struct Map {
        std::shared_ptr<const ConversationGraph> graph;
        GraphvizLayout::Layout layout;
        std::vector<QPainterPath> paths; // per edge
        std::vector<QRectF> bounds;      // per edge
        // Builds the arrows' paths of layout.
        void MakePaths();
    };

    explicit MapView(QWidget *parent = nullptr);

    // A new map; the view stays on the page on display.
    void SetMap(std::shared_ptr<const Map> map);
    const std::shared_ptr<const Map> &GetMap() const { return m_map; }
    void SetDimmed(ConversationGraph::Dimmed dimmed);
    const ConversationGraph::Dimmed &GetDimmed() const { return m_dimmed; }
    // The page on display (its index, or -1); scrolls to it when asked.
    void SetCurrentPage(int page, bool scroll);
    void ZoomBy(double factor);
    void FitToWindow();
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
    QRectF BoxRect(const GraphvizLayout::Box &box) const;
    void ScrollToCurrent();

    std::shared_ptr<const Map> m_map;
    ConversationGraph::Dimmed m_dimmed;
    int m_current = -1;
    int m_chosen = -1; // the box the keys have chosen
    QPoint m_pressedAt;
};
