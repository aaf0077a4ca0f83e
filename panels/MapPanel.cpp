#include "panels/MapPanel.h"

#include "session/EditingSession.h"
#include "session/SnapshotFeed.h"
#include "model/DialogFile.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The graph of document, laid out again only as far as its shape differs
// from the one laid out before; null when asked to stop first.
std::shared_ptr<MapView::Map> MakeMap(const DialogFile &document, const std::shared_ptr<const MapView::Map> &before,
                                      const MapLayout::Anchor &anchor, const std::stop_token &stop)
{
    auto graph = std::make_shared<const ConversationGraph>(document);
    auto map = std::make_shared<MapView::Map>();
    if (!MapLayout::Lay(*graph, before ? &before->layout : nullptr, anchor, stop, map->layout))
        return nullptr;
    map->graph = std::move(graph);
    map->MakeBounds();
    return map;
}

} // namespace

MapPanel::MapPanel(EditingSession &session, QWidget *parent)
    : Panel(QStringLiteral("Map"), parent)
    , m_session(session)
    , m_job(this, [this](std::shared_ptr<MapView::Map> map) { Show(std::move(map)); })
{
    setObjectName(QStringLiteral("mapPanel"));
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Seen as:"), body);
    profileBox = new QComboBox(body);
    profileBox->setObjectName(QStringLiteral("mapProfile"));
    profileBox->setAccessibleName(QStringLiteral("Seen as"));
    profileBox->addItems({QStringLiteral("Anyone"), QStringLiteral("Male PC"), QStringLiteral("Female PC")});
    label->setBuddy(profileBox);
    auto *intelligenceLabel = new QLabel(QStringLiteral("Intelligence:"), body);
    intelligenceBox = new QSpinBox(body);
    intelligenceBox->setObjectName(QStringLiteral("mapIntelligence"));
    intelligenceBox->setAccessibleName(QStringLiteral("Intelligence"));
    intelligenceBox->setRange(-9999, 9999);
    intelligenceBox->setValue(10);
    intelligenceBox->setEnabled(false);
    intelligenceLabel->setBuddy(intelligenceBox);
    row->addWidget(label);
    row->addWidget(profileBox);
    row->addWidget(intelligenceLabel);
    row->addWidget(intelligenceBox);
    row->addStretch(1);
    // The zoom and what the map is doing on a row of their own, so that
    // the panel stays narrow beside the page.
    auto *second = new QHBoxLayout;
    statusLabel = new QLabel(body);
    statusLabel->setObjectName(QStringLiteral("mapStatus"));
    statusLabel->setAccessibleName(QStringLiteral("Map status"));
    // However long its message, it never widens the window.
    statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusLabel->setWordWrap(true);
    second->addWidget(statusLabel, 1);

    view = new MapView(body);
    const auto addZoom = [&](const char *name, const QString &text, const QString &tip, const QKeySequence &keys, auto slot) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(tip);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, view, slot);
        addAction(action);
        auto *button = new QToolButton(body);
        button->setDefaultAction(action);
        button->setAccessibleName(tip);
        second->addWidget(button);
    };
    addZoom("actionZoomOut", QStringLiteral("\u2212"), QStringLiteral("Zoom out"), QKeySequence::ZoomOut, [this] { view->ZoomBy(1 / 1.25); });
    addZoom("actionZoomIn", QStringLiteral("+"), QStringLiteral("Zoom in"), QKeySequence::ZoomIn, [this] { view->ZoomBy(1.25); });
    addZoom("actionFitMap", QStringLiteral("Fit"), QStringLiteral("Fit to window"), QKeySequence(Qt::CTRL | Qt::Key_0), [this] { view->FitToWindow(); });
    layout->addLayout(row);
    layout->addLayout(second);
    layout->addWidget(view, 1);
    setWidget(body);

    connect(profileBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        intelligenceBox->setEnabled(index != 0);
        UpdateDimmed();
    });
    connect(intelligenceBox, &QSpinBox::valueChanged, this, &MapPanel::UpdateDimmed);
    connect(view, &MapView::pageClicked, this, [this](int index) {
        if (const DialogFile *document = m_session.GetDocument(); document && document->GetPage(index))
            m_session.ShowLine(document->GetPage(index), document->GetPage(index));
    });
    // A hidden map is not laid out: the layout under way stops, and the
    // copy it worked on waits for the map to be shown again.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && m_hidden) {
            Lay(std::move(m_hidden), m_hiddenGeneration);
        } else if (!visible && !m_job.IsUpToDate() && m_laying) {
            m_job.Stop();
            m_hidden = m_laying;
            m_hiddenGeneration = m_job.GetRequested();
            statusLabel->clear();
        }
    });
    // Another document's map is never shown for this one: not even a
    // layout of the old one that is about to end.
    connect(&session, &EditingSession::documentReplaced, this, [this] {
        m_job.Stop();
        m_laying.reset();
        m_hidden.reset();
        m_shownPage = nullptr;
        statusLabel->clear();
        view->SetMap(nullptr);
        m_fitted = false;
    });
    connect(&session, &EditingSession::currentPageChanged, this, &MapPanel::ShowCurrentPage);
    SnapshotFeed &feed = SnapshotFeed::Of(session);
    connect(&feed, &SnapshotFeed::changed, this, &MapPanel::Lay);
    Lay(feed.GetLatest(), feed.GetGeneration());
}

// A layout under way works on its own copy: asked to stop, it ends by itself.
MapPanel::~MapPanel() = default;

bool MapPanel::IsUpToDate() const
{
    return m_job.IsUpToDate() && !m_hidden && m_job.GetRequested() == SnapshotFeed::Of(m_session).GetGeneration();
}

ConversationGraph::Profile MapPanel::GetProfile() const
{
    ConversationGraph::Profile profile;
    profile.anyone = profileBox->currentIndex() == 0;
    profile.female = profileBox->currentIndex() == 2;
    profile.intelligence = intelligenceBox->value();
    return profile;
}

void MapPanel::Lay(std::shared_ptr<const DialogFile> document, quint64 generation)
{
    m_hidden.reset();
    if (!isVisible()) {
        m_hidden = std::move(document);
        m_hiddenGeneration = generation;
        return;
    }
    m_laying = document;
    if (!document) {
        m_job.Skip(generation);
        return;
    }
    // The page on display stays where it is on the map shown now: the copy
    // is the document as it stands, so the page's index is the same in both.
    MapLayout::Anchor anchor;
    const std::shared_ptr<const MapView::Map> &before = view->GetMap();
    const int shown = view->GetCurrentPage();
    if (before && shown >= 0 && static_cast<size_t>(shown) < before->layout.nodes.size()) {
        anchor.page = CurrentIndex();
        anchor.at = {before->layout.nodes[static_cast<size_t>(shown)].x, before->layout.nodes[static_cast<size_t>(shown)].y};
    }
    statusLabel->setText(QStringLiteral("Laying out\u2026"));
    m_job.Run(generation, [document, before, anchor](const std::stop_token &stop) { return MakeMap(*document, before, anchor, stop); });
}

int MapPanel::CurrentIndex() const
{
    const DialogFile *document = m_session.GetDocument();
    return document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
}

void MapPanel::Show(std::shared_ptr<MapView::Map> map)
{
    statusLabel->clear();
    if (!map)
        return;
    // The view stays where it is on the map, and so does the page on display.
    view->SetMap(std::move(map));
    UpdateDimmed();
    view->SetCurrentPage(CurrentIndex(), false);
    if (!m_fitted) {
        m_fitted = true;
        view->ShowFirst();
    }
    emit updated();
}

void MapPanel::UpdateDimmed()
{
    if (const auto &map = view->GetMap())
        view->SetDimmed(map->graph->GetDimmed(GetProfile()));
}

void MapPanel::ShowCurrentPage()
{
    // An edit shows its page again: the map stays where it is, and the
    // index of the page in the map shown till the new layout comes.
    const DialogLine *page = m_session.GetCurrentPage();
    if (page == m_shownPage && view->GetMap())
        return;
    m_shownPage = page;
    view->SetCurrentPage(CurrentIndex(), true);
}
