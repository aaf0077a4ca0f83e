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
// as it was keeps the layout), and a result that a later edit made stale is
// dropped. Clicking a box shows its page.
class MapPanel : public Panel {
    Q_OBJECT
public:
    explicit MapPanel(EditingSession &session, QWidget *parent = nullptr);
    ~MapPanel() override;

    // The page on display changed: it is highlighted and scrolled to.
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

    EditingSession &m_session;
    LatestJob<std::shared_ptr<MapView::Map>> m_job;
    // A copy that waits for the map to be shown.
    std::shared_ptr<const DialogFile> m_hidden;
    quint64 m_hiddenGeneration = 0;
    bool m_fitted = false;
};
