#include "session/SnapshotFeed.h"

#include "session/EditingSession.h"
#include "model/DialogFile.h"

#include <QThreadPool>
#include <QTimer>

SnapshotFeed &SnapshotFeed::Of(EditingSession &session)
{
    if (auto *feed = session.findChild<SnapshotFeed *>(QString(), Qt::FindDirectChildrenOnly))
        return *feed;
    return *new SnapshotFeed(session);
}

SnapshotFeed::SnapshotFeed(EditingSession &session)
    : QObject(&session)
    , m_session(session)
    , m_settle(new QTimer(this))
{
    // Long enough for the edit to be shown first, short enough that the
    // panels fed from the copies keep up with the writer.
    m_settle->setSingleShot(true);
    m_settle->setInterval(40);
    connect(m_settle, &QTimer::timeout, this, &SnapshotFeed::Take);
    connect(&session, &EditingSession::changed, this, &SnapshotFeed::Schedule);
    connect(&session, &EditingSession::documentReplaced, this, &SnapshotFeed::Schedule);
    // A save gives the lines their lines of the file.
    connect(&session, &EditingSession::saved, this, &SnapshotFeed::Schedule);
    Schedule();
}

void SnapshotFeed::Schedule()
{
    ++m_generation; // what is under way is stale from now on
    if (!m_settle->isActive())
        m_settle->start();
}

void SnapshotFeed::Take()
{
    const DialogFile *document = m_session.GetDocument();
    std::shared_ptr<const DialogFile> before = std::move(m_latest);
    m_latest = document ? std::shared_ptr<const DialogFile>(document->Copy()) : nullptr;
    emit changed(m_latest, m_generation);
    // Taking a large copy apart takes as long as making it: off this thread.
    if (before)
        QThreadPool::globalInstance()->start([before = std::move(before)]() mutable { before.reset(); });
}
