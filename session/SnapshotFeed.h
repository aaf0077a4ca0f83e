#pragma once

#include <QObject>

class QTimer;
#include <memory>

class DialogFile;
class EditingSession;

// Copies of the session's document for work off the user interface thread:
// after an edit, undo, redo, Open or Save, a copy with a new generation number,
// taken a moment later so that an edit shows at once and a burst of edits
// makes one copy. Whoever works on
// a copy drops its result when a later generation has come meanwhile.
// One feed a session, shared by the panels that need it.
class SnapshotFeed : public QObject {
    Q_OBJECT
public:
    static SnapshotFeed &Of(EditingSession &session);

    std::shared_ptr<const DialogFile> GetLatest() const { return m_latest; }
    quint64 GetGeneration() const { return m_generation; }

signals:
    // A new copy (null when no document is open).
    void changed(std::shared_ptr<const DialogFile> document, quint64 generation);

private:
    explicit SnapshotFeed(EditingSession &session);
    void Schedule();
    void Take();

    EditingSession &m_session;
    std::shared_ptr<const DialogFile> m_latest;
    quint64 m_generation = 0;
    QTimer *m_settle;
};
