#pragma once

#include "storage/RecoveryFolder.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <string>
#include <sys/types.h>
#include <vector>

class CMainDialog;
class EditingSession;
class FileCommands;
class FileOps;
class Prompter;

// Keeps the session's unsaved changes in a recovery file, so that a crash
// does not lose them, and offers them back. A change made here is in the
// file within a second (Delay), and the file is written no more often than
// that while the writer types. It goes when the document is saved or undone
// to its saved state, when the document is replaced or closed (its changes
// saved or discarded), and when the window goes at the program's end. A
// lock beside it tells other windows that the document is open here.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int Delay = 1000; // ms

    RecoveryKeeper(EditingSession &session, Prompter &prompter, FileCommands &files, CMainDialog &window);
    ~RecoveryKeeper() override;

    // The user's recovery folder: the application data folder's "recovery".
    static QString FolderPath();

    // The session holds another document: the old one's recovery file and
    // lock go, and the new one's lock is taken.
    void Replaced();
    // For the file just opened (or named to be created), named displayName:
    // says so when another window has it open, and offers what was kept of it.
    void OfferForFile(const QString &displayName);
    // At start-up with an untitled document: offers what was kept of
    // untitled documents.
    void OfferForUntitled();
    // File > Recover unsaved work...: every recovery file that no window
    // keeps, to restore or discard.
    void ShowUnkept();

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

private:
    // The slot follows the document's name; the old one's file and lock go.
    void Follow();
    void Release();
    // This window's changes go beside the recovery file in its slot, which
    // stays as it is: another window's, or one that could not be restored.
    void KeepBeside();
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
    void TellFailure(const std::string &error);
    void OnIndexChanged();
    void OnCleanChanged(bool clean);
    // Asks about each entry in turn until one is restored; name is the
    // document's, or empty for the entry's own. True when one was.
    bool Offer(const std::vector<RecoveryFolder::Entry> &entries, const QString &name);
    QString Differences(const RecoveryFolder::Entry &entry, const QString &name) const;
    bool Restore(const RecoveryFolder::Entry &entry);

    EditingSession &m_session;
    Prompter &m_prompter;
    FileCommands &m_files;
    CMainDialog &m_window;
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
    // Writes in the background, one at a time: a file that goes waits for
    // the write of it under way.
    QThreadPool m_writer;
    QFuture<std::string> m_writing; // its error, empty when written
    QFutureWatcher<std::string> m_writingWatcher;
    bool m_writeTakenIn = true;
};
