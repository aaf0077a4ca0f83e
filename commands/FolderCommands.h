#pragma once

#include "edits/TextSearch.h"
#include "folder/FilesWritten.h"
#include "folder/FolderReplace.h"
#include "session/LatestJob.h"

#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class EditingSession;
class FileCommands;
class GameFolder;
class Prompter;
class RecoveryKeeper;
class QWidget;

// The commands on the game's folder: which folder it is (the open file's,
// unless File > Open folder... chose one that holds it; the choice is
// remembered), replace in every file of it, and the undo of that replace.
// The replace first reads every file and says what it would change, what
// it refuses and which files it leaves out, asking with Cancel as the
// default; the reading, the writing and the undo run off the user interface
// thread, one at a time.
class FolderCommands : public QObject {
    Q_OBJECT
public:
    FolderCommands(EditingSession &session, Prompter &prompter, GameFolder &folder, FileCommands &files, RecoveryKeeper &recovery,
                   QWidget *parent);
    ~FolderCommands() override;

    void OpenFolder();
    void Replace(const QString &pattern, TextSearch::Options options, const QString &replacement);
    void UndoReplace();
    // The copies of a replace in files are kept: it can be undone.
    bool CanUndo() const { return !m_undoable.empty(); }
    // No replace, undo or look at the copies is under way.
    bool IsIdle() const;

signals:
    // For the status line.
    void message(const QString &text);
    // CanUndo may say otherwise now.
    void undoableChanged();
    // A folder was chosen.
    void folderChosen();

private:
    // The open file's folder, when the file lies outside the folder shown.
    void Follow();
    void ListUndoable();
    void Listed(std::vector<std::string> files);
    void Confirm(std::shared_ptr<FolderReplace::Plan> plan);
    void Written(std::shared_ptr<FilesWritten> done);
    // A path for the questions: below the folder, from it.
    QString Shown(const std::string &path) const;
    void Tell(const QString &caption, const QString &text);

    EditingSession &m_session;
    Prompter &m_prompter;
    GameFolder &m_folder;
    FileCommands &m_files;
    RecoveryKeeper &m_recovery;
    QWidget *m_parent;
    bool m_busy = false;      // a replace or an undo is under way, or its question open
    bool m_undoing = false;   // what is being written is the undo
    bool m_askUndo = false;   // the undo's question follows the listing under way
    std::vector<std::string> m_undoable;
    quint64 m_jobs = 0;
    LatestJob<std::shared_ptr<FolderReplace::Plan>> m_planning;
    LatestJob<std::shared_ptr<FilesWritten>> m_writing;
    LatestJob<std::vector<std::string>> m_listing;
};
