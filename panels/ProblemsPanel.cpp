#include "panels/ProblemsPanel.h"

#include "session/EditingSession.h"
#include "panels/ProblemListModel.h"
#include "session/SnapshotFeed.h"
#include "rules/Linter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeView>
#include <algorithm>

// What a check of one copy found, sorted as dlgtool check sorts.
struct ProblemsResult {
    quint64 generation = 0;
    std::vector<Finding> findings;
};

ProblemsPanel::ProblemsPanel(EditingSession &session, QWidget *parent)
    : Panel(QStringLiteral("Problems"), parent)
    , m_session(session)
    , m_model(new ProblemListModel(this))
    , m_job(this, [this](std::shared_ptr<ProblemsResult> result) { Show(std::move(result)); })
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
        m_session.ShowLine(page, option >= 0 && option < page->GetOptionCount() ? page->GetOption(option) : page);
    });
    SnapshotFeed &feed = SnapshotFeed::Of(session);
    connect(&feed, &SnapshotFeed::changed, this, &ProblemsPanel::Check);
    Check(feed.GetLatest(), feed.GetGeneration());
}

// A check under way works on its own copy: it ends by itself.
ProblemsPanel::~ProblemsPanel() = default;

bool ProblemsPanel::IsUpToDate() const
{
    return m_job.IsUpToDate() && m_job.GetRequested() == SnapshotFeed::Of(m_session).GetGeneration();
}

void ProblemsPanel::Check(std::shared_ptr<const DialogFile> document, quint64 generation)
{
    if (!document) {
        m_job.Skip(generation);
        m_model->SetEntries({});
        setWindowTitle(QStringLiteral("Problems"));
        emit updated();
        return;
    }
    m_job.Run(generation, [document, generation] {
        auto result = std::make_shared<ProblemsResult>();
        result->generation = generation;
        result->findings = Linter::CheckDocument(*document, document->GetFileName());
        std::sort(result->findings.begin(), result->findings.end());
        return result;
    });
}

void ProblemsPanel::Show(std::shared_ptr<ProblemsResult> result)
{
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
    const int errors = m_model->Count(Finding::Error);
    const int warnings = m_model->Count(Finding::Warning);
    setWindowTitle(QStringLiteral("Problems (%1 error%2, %3 warning%4)")
                       .arg(errors)
                       .arg(errors == 1 ? "" : "s")
                       .arg(warnings)
                       .arg(warnings == 1 ? "" : "s"));
    emit updated();
}
