#include "panels/UsesPanel.h"

#include "session/EditingSession.h"
#include "session/GameFolder.h"
#include "session/SnapshotFeed.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// A burst of changes (a fill, a replace, typing) makes one table.
constexpr int kSettleMs = 200;

} // namespace

UsesPanel::UsesPanel(EditingSession &session, GameFolder &folder, QWidget *parent)
    : Panel(QStringLiteral("Conditions and results"), parent)
    , m_session(session)
    , m_folder(folder)
    , m_model(new UsesModel(this))
    , m_filter(new QSortFilterProxyModel(this))
    , m_settle(new QTimer(this))
    , m_job(this, [this](std::shared_ptr<const UsesModel::Names> names) { Show(std::move(names)); })
{
    setObjectName(QStringLiteral("usesPanel"));
    QVBoxLayout *layout = CreateBody();
    QWidget *body = layout->parentWidget();
    filterEdit = AddFilter(layout, QStringLiteral("usesFilter"), QStringLiteral("Filter names"), QStringLiteral("Name"));
    summary = new QLabel(body);
    summary->setObjectName(QStringLiteral("usesSummary"));
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // never widens the window
    layout->addWidget(summary);

    m_filter->setSourceModel(m_model);
    m_filter->setFilterRole(UsesModel::NameRole);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setAutoAcceptChildRows(true);
    nameView = new QTreeView(body);
    nameView->setObjectName(QStringLiteral("usesView"));
    nameView->setAccessibleName(QStringLiteral("Names"));
    nameView->setModel(m_filter);
    nameView->setHeaderHidden(true);
    nameView->setUniformRowHeights(true);
    nameView->setExpandsOnDoubleClick(false); // activating a name does it
    layout->addWidget(nameView, 1);

    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &UsesPanel::Build);
    connect(filterEdit, &QLineEdit::textChanged, m_filter, &QSortFilterProxyModel::setFilterFixedString);
    // Enter in the filter opens the uses of the first name listed, and goes to them.
    connect(filterEdit, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex first = m_filter->index(0, 0);
        if (!first.isValid())
            return;
        nameView->expand(first);
        nameView->setCurrentIndex(first);
        nameView->setFocus();
    });
    connect(nameView, &QTreeView::activated, this, &UsesPanel::Activate);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            m_folder.Load();
            if (m_stale)
                Stale();
        }
    });
    connect(&folder, &GameFolder::folderChanged, this, &UsesPanel::Stale);
    connect(&folder, &GameFolder::filesChanged, this, &UsesPanel::Stale);
    connect(&folder, &GameFolder::loaded, this, &UsesPanel::Stale);
    connect(&SnapshotFeed::Of(session), &SnapshotFeed::changed, this, &UsesPanel::Stale);
}

// A build under way works on its own copies: it ends by itself.
UsesPanel::~UsesPanel() = default;

bool UsesPanel::IsUpToDate() const
{
    return !m_stale && m_folder.IsUpToDate() && m_job.IsUpToDate() && !m_settle->isActive();
}

void UsesPanel::Stale()
{
    m_stale = true;
    if (isVisible() && !m_settle->isActive())
        m_settle->start();
}

void UsesPanel::Build()
{
    if (!isVisible())
        return;
    m_stale = false;
    if (m_folder.GetFolder().empty()) {
        m_job.Skip(++m_generation);
        Show(nullptr);
        return;
    }
    if (!m_folder.IsLoaded()) {
        m_job.Skip(++m_generation);
        summary->setText(QStringLiteral("Reading the folder..."));
        return;
    }
    m_job.Run(++m_generation, [files = m_folder.FilesWith(SnapshotFeed::Of(m_session).GetLatest())] {
        return std::shared_ptr<const UsesModel::Names>(std::make_shared<UsesModel::Names>(UsesTable::Build(files)));
    });
}

void UsesPanel::Show(std::shared_ptr<const UsesModel::Names> names)
{
    // The names open and chosen stay so.
    QSet<QString> expanded;
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex at = m_filter->index(row, 0);
        if (nameView->isExpanded(at))
            expanded << at.data(UsesModel::NameRole).toString();
    }
    const QString current = nameView->currentIndex().parent().isValid() ? nameView->currentIndex().parent().data(UsesModel::NameRole).toString()
                                                                        : nameView->currentIndex().data(UsesModel::NameRole).toString();
    m_model->SetNames(names, m_folder.GetFolder());
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex at = m_filter->index(row, 0);
        const QString name = at.data(UsesModel::NameRole).toString();
        if (expanded.contains(name))
            nameView->expand(at);
        if (name == current)
            nameView->setCurrentIndex(at);
    }
    size_t neverTested = 0;
    size_t neverSet = 0;
    for (const UsesTable::Name &name : m_model->GetNames()) {
        neverTested += name.NeverTested();
        neverSet += name.NeverSet();
    }
    summary->setText(m_folder.GetFolder().empty() ? QStringLiteral("No folder: open a file, or choose File > Open folder...")
                                                  : QStringLiteral("%1 names: %2 set but never tested, %3 tested but never set")
                                                        .arg(m_model->GetNames().size())
                                                        .arg(neverTested)
                                                        .arg(neverSet));
    emit updated();
}

QModelIndex UsesPanel::ViewIndexOf(const std::string &name, int use) const
{
    const QModelIndex row = m_model->IndexOf(name);
    return m_filter->mapFromSource(use < 0 || !row.isValid() ? row : m_model->index(use, 0, row));
}

// A use opens its file there; a name opens or closes its list of uses.
void UsesPanel::Activate(const QModelIndex &index)
{
    const QModelIndex source = m_filter->mapToSource(index);
    if (const UsesTable::Use *use = m_model->UseAt(source))
        emit openRequested(use->file, use->page, use->option);
    else if (index.isValid())
        nameView->setExpanded(index, !nameView->isExpanded(index));
}
