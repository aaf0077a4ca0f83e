#pragma once

#include "folder/FolderFile.h"

#include <QObject>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class DialogFile;
class FolderIndex;
class QFileSystemWatcher;
class QTimer;

// The game's folder of conversations beside the open file: every .dlg file
// below it, read and checked (see FolderIndex), and kept fresh as files
// change on disk (the file-system watcher, and at once for a file the editor
// saves). The reading runs off the user interface thread, one job at a time
// on the index's own workers, which read on every core; this object holds
// the entries as they were last read, for the panels and commands to show
// and search, and tells of each change. A folder is read once someone wants
// it (Load), not before: a folder nobody looks at costs nothing.
class GameFolder : public QObject {
    Q_OBJECT
public:
    // A file's entry as read again, or none when it is gone.
    using Change = std::pair<std::string, std::optional<FolderFile>>;

    explicit GameFolder(QObject *parent = nullptr);
    // A job under way ends by itself, on what it was given.
    ~GameFolder() override;

    // Another folder (spelt as Spelling spells it), or none: what was
    // listed goes, and the new one is read if the old one was wanted.
    void SetFolder(const std::string &folder);
    const std::string &GetFolder() const { return m_folder; }
    // Reads the folder, unless it has been read or is being read.
    void Load();
    // The folder has been read through once.
    bool IsLoaded() const { return m_loaded; }
    // Read through, and nothing is being read again or due to be.
    bool IsUpToDate() const;

    // Every file listed so far, sorted by path.
    const std::vector<FolderFile> &Files() const { return m_files; }
    const FolderFile *Find(const std::string &path) const;
    // Files, but with the open document (a copy of it, with its unsaved
    // changes) in the place of its file's entry: what find in the folder
    // and the uses table look through.
    std::vector<FolderFile> FilesWith(const std::shared_ptr<const DialogFile> &open) const;
    // What the last reading through found: folders that could not be
    // listed, and names passed by, each with why.
    const std::map<std::string, std::string> &Unreadable() const { return m_unreadable; }
    const std::map<std::string, std::string> &Skipped() const { return m_skipped; }

    // Reads the file at path again at once: the editor saved it (or wrote
    // it by a replace). path is spelt as the window spells it.
    void Refresh(const std::string &path);
    // A path as the entries spell it: absolute, without "." and ".." steps.
    static std::string Spelling(const std::string &path);

signals:
    // Another folder, or none: nothing is listed.
    void folderChanged();
    // The entries of these paths were added, read again or taken out.
    void filesChanged(const std::vector<std::string> &paths);
    // The folder has been read through.
    void loaded();
    // IsUpToDate may say otherwise now.
    void stateChanged();

private:
    struct Mailbox;
    struct Listing;

    void StartNext();
    void StartFill();
    void StartUpdate();
    // The entries that the fill under way has read so far.
    void TakeReady();
    void Filled(Listing listing);
    void Updated(std::vector<Change> changes, std::vector<std::string> folders);
    // Puts the entries into the list; returns their paths.
    std::vector<std::string> Merge(std::vector<Change> changes);
    void Watch(const std::vector<std::string> &folders, const std::vector<std::string> &files);
    void Due(const std::string &path, bool folder);
    void Detach();

    std::string m_folder;
    std::shared_ptr<FolderIndex> m_index;
    std::shared_ptr<Mailbox> m_mailbox; // the current folder's, shared with its jobs
    bool m_wanted = false;  // Load was called: the folder is read, and every folder after it
    bool m_loaded = false;
    bool m_running = false; // a job of the current folder is under way
    bool m_fillDue = false;
    std::set<std::string> m_duePaths;   // files to read again
    std::set<std::string> m_dueFolders; // folders whose files may have changed
    std::vector<FolderFile> m_files;
    std::map<std::string, std::string> m_unreadable;
    std::map<std::string, std::string> m_skipped;
    QFileSystemWatcher *m_watcher;
    QTimer *m_settle; // a burst of changes on disk makes one job
    QTimer *m_take;   // the entries a fill reads are shown a batch at a time
};
