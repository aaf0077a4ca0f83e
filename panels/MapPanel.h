#pragma once

#include "panels/MapView.h"
#include "session/LatestJob.h"

#include "panels/Panel.h"
#include <memory>

class DialogFile;
class DialogLine;
class EditingSession;
class QComboBox;
class QLabel;
class QSpinBox;

// The conversation map in a panel, with a profile selector above it: seen
// as anyone, or as a PC of one gender and intelligence, the pages and arrows
// such a PC can never reach from the first page are dimmed. The map follows
// every edit, undo and redo: the graph is built and laid out on a copy of
// the document off the user interface thread (an edit that leaves the shape
// as it was keeps the layout, one that changes it keeps the page on display
// where it was), and the new layout replaces the old one when it is ready.
// A layout that can no longer be shown stops at once: when a later edit
// makes it stale, when another document is opened (whose map is cleared at
// once), when the panel is hidden or goes. Clicking a box shows its page.
class MapPanel : public Panel {
    Q_OBJECT
public:
    explicit MapPanel(EditingSession &session, QWidget *parent = nullptr);
    ~MapPanel() override;

    // Another page is on display: it is highlighted and scrolled to.
    void ShowCurrentPage();
    // The map shows the document as it stands.
    bool IsUpToDate() const;
    ConversationGraph::Profile GetProfile() const;

    MapView *view = nullptr;
    QComboBox *profileBox = nullptr;
    QSpinBox *intelligenceBox = nullptr;
    QLabel *statusLabel = nullptr;


signals:
    void updated();

private:
    void Lay(std::shared_ptr<const DialogFile> document, quint64 generation);
    void Show(std::shared_ptr<MapView::Map> map);
    void UpdateDimmed();
    // The index of the page on display in the document as it stands, or -1.
    int CurrentIndex() const;

    EditingSession &m_session;
    LatestJob<std::shared_ptr<MapView::Map>> m_job;
    // The copy the latest layout works on, and one that waits for the map
    // to be shown.
    std::shared_ptr<const DialogFile> m_laying;
    std::shared_ptr<const DialogFile> m_hidden;
    quint64 m_hiddenGeneration = 0;
    const DialogLine *m_shownPage = nullptr; // the page on display the map last scrolled to
    bool m_fitted = false;
};
