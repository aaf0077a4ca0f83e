#include "SnapshotFeed.h"

#include "EditingSession.h"
#include "model/DialogFile.h"

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
{
    connect(&session, &EditingSession::edited, this, &SnapshotFeed::Schedule);
    connect(&session, &EditingSession::documentReplaced, this, &SnapshotFeed::Schedule);
    connect(&session.GetUndoStack(), &QUndoStack::indexChanged, this, &SnapshotFeed::Schedule);
    Schedule();
}

void SnapshotFeed::Schedule()
{
    ++m_generation; // what is under way is stale from now on
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &SnapshotFeed::Take);
}

void SnapshotFeed::Take()
{
    m_scheduled = false;
    const DialogFile *document = m_session.GetDocument();
    m_latest = document ? std::shared_ptr<const DialogFile>(document->Copy()) : nullptr;
    emit changed(m_latest, m_generation);
}
