#include "app/ProblemsPanel.h"

#include "app/EditingSession.h"
#include "app/ProblemListModel.h"
#include "app/SnapshotFeed.h"
#include "rules/Linter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

#include <QFutureWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeView>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

// What a check of one copy found, sorted as dlgtool check sorts.
struct ProblemsResult {
    quint64 generation = 0;
    std::vector<Finding> findings;
};

ProblemsPanel::ProblemsPanel(EditingSession &session, QWidget *parent)
    : QDockWidget(QStringLiteral("Problems"), parent)
    , m_session(session)
    , m_model(new ProblemListModel(this))
    , m_watcher(new QFutureWatcher<std::shared_ptr<ProblemsResult>>(this))
{
    setObjectName(QStringLiteral("problemsPanel"));
    problemView = new QTreeView(this);
    problemView->setObjectName(QStringLiteral("problemView"));
    problemView->setAccessibleName(QStringLiteral("Problems"));
    problemView->setModel(m_model);
    problemView->setRootIsDecorated(false);
    problemView->setUniformRowHeights(true);
    problemView->setAllColumnsShowFocus(true);
    problemView->header()->setStretchLastSection(true);
    problemView->header()->setSectionResizeMode(ProblemListModel::LineColumn, QHeaderView::ResizeToContents);
    setWidget(problemView);

    connect(problemView, &QTreeView::activated, this, [this](const QModelIndex &index) {
        const ProblemListModel::Entry *entry = m_model->EntryAt(index);
        DialogLine *page = entry && m_session.GetDocument() ? m_session.GetDocument()->GetPage(entry->finding.page) : nullptr;
        if (!page)
            return;
        const int option = entry->finding.option;
        emit problemActivated(page, option >= 0 && option < page->GetOptionCount() ? page->GetOption(option) : page);
    });
    connect(m_watcher, &QFutureWatcherBase::finished, this, &ProblemsPanel::Show);
    SnapshotFeed &feed = SnapshotFeed::Of(session);
    connect(&feed, &SnapshotFeed::changed, this, &ProblemsPanel::Check);
    Check(feed.GetLatest(), feed.GetGeneration());
}

void ProblemsPanel::keyPressEvent(QKeyEvent *event)
{
    // Enter has shown the finding chosen: it never saves.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDockWidget::keyPressEvent(event);
}

// A check under way works on its own copy: it ends by itself.
ProblemsPanel::~ProblemsPanel()
{
    m_watcher->disconnect(this);
}

bool ProblemsPanel::IsUpToDate() const
{
    return m_shownGeneration == SnapshotFeed::Of(m_session).GetGeneration() && !m_watcher->isRunning() && !m_pending;
}

void ProblemsPanel::Check(std::shared_ptr<const DialogFile> document, quint64 generation)
{
    if (m_watcher->isRunning()) {
        m_pending = std::move(document);
        m_pendingGeneration = generation;
        return;
    }
    m_pending.reset();
    if (!document) {
        m_shownGeneration = generation;
        m_model->SetEntries({});
        setWindowTitle(QStringLiteral("Problems"));
        emit updated();
        return;
    }
    m_watcher->setFuture(QtConcurrent::run([document, generation] {
        auto result = std::make_shared<ProblemsResult>();
        result->generation = generation;
        result->findings = Linter::CheckDocument(*document, document->GetFileName());
        std::sort(result->findings.begin(), result->findings.end());
        return result;
    }));
}

void ProblemsPanel::Show()
{
    const std::shared_ptr<ProblemsResult> result = m_watcher->result();
    if (m_pending) {
        Check(std::move(m_pending), m_pendingGeneration);
        return;
    }
    // Only the latest copy matches the document as it stands.
    if (result->generation != SnapshotFeed::Of(m_session).GetGeneration())
        return;
    const DialogFile *document = m_session.GetDocument();
    std::vector<ProblemListModel::Entry> entries;
    entries.reserve(result->findings.size());
    for (Finding &finding : result->findings) {
        const DialogLine *page = document ? document->GetPage(finding.page) : nullptr;
        QString name = page ? AnsiText::ToDisplay(page->GetLabel()) : QString();
        entries.push_back({std::move(finding), std::move(name)});
    }
    m_model->SetEntries(std::move(entries));
    m_shownGeneration = result->generation;
    const int errors = m_model->Count(Finding::Error);
    const int warnings = m_model->Count(Finding::Warning);
    setWindowTitle(QStringLiteral("Problems (%1 error%2, %3 warning%4)")
                       .arg(errors)
                       .arg(errors == 1 ? "" : "s")
                       .arg(warnings)
                       .arg(warnings == 1 ? "" : "s"));
    emit updated();
}
