#include "panels/DifferencesPanel.h"

#include "compare/ConversationDiff.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "panels/DifferenceModel.h"
#include "panels/MarkedTextDelegate.h"
#include "session/EditingSession.h"
#include "session/SnapshotFeed.h"

#include <QHeaderView>
#include <QTreeView>

// What one comparison of a copy found, ready to be listed.
struct DifferencesResult {
    quint64 generation = 0;
    const DialogFile *other = nullptr; // the version compared with
    int pages = 0;
    std::vector<DifferenceModel::Entry> entries;
};

DifferencesPanel::DifferencesPanel(EditingSession &session, QWidget *parent)
    : Panel(QStringLiteral("Differences"), parent)
    , m_session(session)
    , m_model(new DifferenceModel(this))
    , m_job(this, [this](std::shared_ptr<DifferencesResult> result) { Show(std::move(result)); })
{
    setObjectName(QStringLiteral("differencesPanel"));
    differenceView = new QTreeView(this);
    differenceView->setObjectName(QStringLiteral("differenceView"));
    differenceView->setAccessibleName(QStringLiteral("Differences"));
    differenceView->setModel(m_model);
    differenceView->setItemDelegate(new MarkedTextDelegate(differenceView));
    differenceView->setHeaderHidden(true);
    differenceView->setUniformRowHeights(true);
    setWidget(differenceView);

    connect(differenceView, &QTreeView::activated, this, &DifferencesPanel::Activate);
    connect(&session, &EditingSession::documentReplaced, this, &DifferencesPanel::EndComparison);
    connect(&SnapshotFeed::Of(session), &SnapshotFeed::changed, this, &DifferencesPanel::Compare);
}

// A comparison under way works on its own copies: it ends by itself.
DifferencesPanel::~DifferencesPanel() = default;

void DifferencesPanel::CompareWith(std::shared_ptr<const DialogFile> other, const QString &name)
{
    m_other = std::move(other);
    m_otherName = name;
    setWindowTitle(QStringLiteral("Differences from %1").arg(name));
    // A copy of the document as it stands now: the feed's latest may be
    // older than an edit it is about to copy.
    const DialogFile *document = m_session.GetDocument();
    Compare(document ? std::shared_ptr<const DialogFile>(document->Copy()) : nullptr, SnapshotFeed::Of(m_session).GetGeneration());
}

bool DifferencesPanel::IsUpToDate() const
{
    return m_job.IsUpToDate() && m_job.GetRequested() == SnapshotFeed::Of(m_session).GetGeneration();
}

void DifferencesPanel::EndComparison()
{
    m_other.reset();
    m_otherName.clear();
    m_model->SetEntries({});
    setWindowTitle(QStringLiteral("Differences"));
}

void DifferencesPanel::Compare(std::shared_ptr<const DialogFile> document, quint64 generation)
{
    if (!document || !m_other) {
        m_job.Skip(generation);
        emit updated();
        return;
    }
    m_job.Run(generation, [document, other = m_other, generation] {
        auto result = std::make_shared<DifferencesResult>();
        result->generation = generation;
        result->other = other.get();
        const ConversationDiff diff = ConversationDiff::Compare(*other, *document);
        result->pages = static_cast<int>(diff.GetPages().size());
        result->entries = DifferenceModel::EntriesOf(diff);
        return result;
    });
}

void DifferencesPanel::Show(std::shared_ptr<DifferencesResult> result)
{
    // Only the latest copy, compared with the version now chosen, matches
    // the document as it stands.
    if (result->generation != SnapshotFeed::Of(m_session).GetGeneration() || result->other != m_other.get())
        return;
    m_model->SetEntries(std::move(result->entries));
    differenceView->expandAll();
    setWindowTitle(result->pages == 0 ? QStringLiteral("Differences from %1 (no differences)").arg(m_otherName)
                                      : QStringLiteral("Differences from %1 (%2 page%3)").arg(m_otherName).arg(result->pages).arg(result->pages == 1 ? "" : "s"));
    emit updated();
}

void DifferencesPanel::Activate(const QModelIndex &index)
{
    const DifferenceModel::Entry *entry = m_model->EntryAt(index);
    DialogLine *page = entry && m_session.GetDocument() ? m_session.GetDocument()->GetPage(entry->page) : nullptr;
    if (!page)
        return;
    const int option = entry->option;
    m_session.ShowLine(page, option >= 0 && option < page->GetOptionCount() ? page->GetOption(option) : page);
}
