#pragma once

#include "session/LatestJob.h"
#include "storage/RecoveryFolder.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <string>
#include <sys/types.h>

class EditingSession;
class FileOps;

// Keeps the session's unsaved changes in a recovery file, so that a crash
// does not lose them. A change made here is in the file within a second
// (Delay), and the file is written no more often than that while the writer
// types, from a copy of the document off the user interface thread. It goes
// when the document is saved or undone to its saved state, when the
// document is replaced or closed (its changes saved or discarded), and when
// the session goes at the program's end. A lock beside it tells other
// windows that the document is open here. It follows the session by itself.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int Delay = 1000; // ms

    explicit RecoveryKeeper(EditingSession &session, QObject *parent = nullptr);
    ~RecoveryKeeper() override;

    // The user's recovery folder: the application data folder's "recovery".
    static QString FolderPath();

    // Writes the recovery file now, or removes it when nothing needs
    // keeping. False when it could not be written.
    bool KeepNow();
    // The same off the user interface thread, from a copy of the document,
    // as the timer does after changes; said in the status line if it fails.
    void KeepInBackground();
    // The calls that write recovery files, for tests to make them fail.
    void SetFileOps(FileOps &ops) { m_ops = &ops; }
    // This window's recovery file, whether it exists or not.
    std::string GetRecoveryPath() const { return m_slot.empty() ? std::string() : m_folder.RecoveryPath(m_slot); }

    // What the offers of recovered work need to know.
    RecoveryFolder &GetFolder() { return m_folder; }
    const std::string &GetSlot() const { return m_slot; }
    const std::string &GetIdentity() const { return m_identity; }
    bool IsUntitled() const { return m_untitled; }
    // The process that has the document open too, or 0.
    pid_t GetOtherWindow() const { return m_otherWindow; }
    // The slot follows the document's name; the old one's file and lock go.
    void Follow();
    // The document holds changes of its own from now on (restored ones).
    void MarkEdited() { m_edited = true; }
    // This window's changes go beside the recovery file in its slot, which
    // stays as it is: another window's, or one that could not be restored.
    void KeepBeside();

signals:
    // For the status line.
    void message(const QString &text);

private:
    void Replaced();
    void Release();
    void RemoveKept();
    // Follows the document's name; false when nothing needs keeping, the
    // recovery file gone if it is saved or unchanged.
    bool NeedsKeeping();
    // What the document would be saved as, ready for the recovery file but
    // for its bytes.
    RecoveryRecord MakeRecord() const;
    // Writes the recovery file from a copy of the document, off this thread.
    void StartWrite();
    // Waits for the write under way, if any, and takes in how it went:
    // false when it failed.
    bool FinishWrite();
    void Written(const std::string &error);
    void TellFailure(const std::string &error);
    void OnChanged();
    void OnModifiedChanged(bool modified);

    EditingSession &m_session;
    FileOps *m_ops;
    RecoveryFolder m_folder;
    QTimer m_timer;
    std::string m_slot;     // this window's; empty before a document has one
    std::string m_identity; // the document's absolute path, empty when untitled
    bool m_untitled = false;
    pid_t m_otherWindow = 0; // the process that has the document open too
    bool m_edited = false;   // changed here since it became the session's
    bool m_kept = false;     // the slot's recovery file is one this window wrote
    bool m_failureTold = false;
    bool m_writeOk = true;   // how the last write taken in went
    bool m_removeWhenWritten = false; // the document went back to what was saved meanwhile
    quint64 m_writes = 0;
    // Writes in the background, one at a time: a file that goes waits for
    // the write of it under way.
    QThreadPool m_writer;
    LatestJob<std::string> m_writing; // its error, empty when written
};
