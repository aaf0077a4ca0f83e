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

// The graph of document, laid out again only when its shape differs from
// the one laid out before.
std::shared_ptr<MapView::Map> MakeMap(const DialogFile &document, const std::shared_ptr<const MapView::Map> &before)
{
    auto map = std::make_shared<MapView::Map>();
    auto graph = std::make_shared<const ConversationGraph>(document);
    if (before && before->graph->GetEdges() == graph->GetEdges() && before->graph->GetNodes().size() == graph->GetNodes().size()) {
        map->layout = before->layout;
        map->paths = before->paths;
        map->bounds = before->bounds;
    } else {
        std::string error;
        if (!GraphvizLayout::Lay(*graph, map->layout, error))
            map->layout = {};
        map->MakePaths();
    }
    map->graph = std::move(graph);
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
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && m_hidden)
            Lay(std::move(m_hidden), m_hiddenGeneration);
    });
    // Another document's map is never shown for this one.
    connect(&session, &EditingSession::documentReplaced, this, [this] {
        view->SetMap(nullptr);
        m_fitted = false;
    });
    connect(&session, &EditingSession::currentPageChanged, this, &MapPanel::ShowCurrentPage);
    SnapshotFeed &feed = SnapshotFeed::Of(session);
    connect(&feed, &SnapshotFeed::changed, this, &MapPanel::Lay);
    Lay(feed.GetLatest(), feed.GetGeneration());
}

// A layout under way works on its own copy: it ends by itself.
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

// Graphviz takes minutes over many thousands of pages, and a layout under
// way cannot be stopped (the program would wait for it when it ends): the
// map is laid out while it is shown, and for conversations up to this size.
constexpr int kMostPagesLaidOut = 2000;

void MapPanel::Lay(std::shared_ptr<const DialogFile> document, quint64 generation)
{
    m_hidden.reset();
    if (document && document->GetPageCount() > kMostPagesLaidOut) {
        m_job.Skip(generation);
        view->SetMap(nullptr);
        statusLabel->setText(QStringLiteral("The map is drawn for conversations of up to %1 pages; this one has %2.")
                                 .arg(kMostPagesLaidOut)
                                 .arg(document->GetPageCount()));
        return;
    }
    if (!isVisible()) {
        m_hidden = std::move(document);
        m_hiddenGeneration = generation;
        return;
    }
    if (!document) {
        m_job.Skip(generation);
        return;
    }
    statusLabel->setText(QStringLiteral("Laying out\u2026"));
    m_job.Run(generation, [document, before = view->GetMap()] { return MakeMap(*document, before); });
}

void MapPanel::Show(std::shared_ptr<MapView::Map> map)
{
    statusLabel->clear();
    view->SetMap(std::move(map));
    UpdateDimmed();
    ShowCurrentPage();
    if (!m_fitted) {
        m_fitted = true;
        view->FitToWindow();
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
    const DialogFile *document = m_session.GetDocument();
    view->SetCurrentPage(document ? document->IndexOf(m_session.GetCurrentPage()) : -1, true);
}
