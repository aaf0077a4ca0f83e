#pragma once

#include "folder/FolderFile.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// The .dlg files of a game's folder, each read and checked: what the
// Conversations panel lists (pages, errors, warnings, or why a file cannot
// be read), and what find in the folder, the uses table and replace in the
// folder work on, without the files being opened in a window. It takes the
// paths as dlgtool does: a folder stands for every .dlg file below it.
//
// An index is for one thread at a time: fill it on a worker, then hand it
// over (or copy its entries, whose documents are shared) to the thread that
// shows it.
class FolderIndex {
public:
    // check: run the checks on each file, for its errors and warnings;
    // find and the uses table need only the documents.
    explicit FolderIndex(std::vector<std::string> paths, bool check = true);

    // Lists the files below the paths and reads them on every core; what
    // the index held before goes. ready, when given, is called with each
    // file as soon as it is read, on the thread that read it, one call at a
    // time, in no set order: a window can show the files as they come.
    void Fill(const std::function<void(const FolderFile &)> &ready = {});

    // Reads the file at path again, after it changed, appeared or went on
    // disk: its entry is replaced, added (a .dlg file new below the index's
    // folders) or taken out (the file is gone). Returns the entry, or null
    // when the index holds none for path now.
    const FolderFile *Refresh(const std::string &path);

    // Every file, sorted by path.
    const std::vector<FolderFile> &Files() const { return m_files; }
    const FolderFile *Find(const std::string &path) const;
    // The folders that could not be listed, with the system's reason.
    const std::map<std::string, std::string> &Unreadable() const { return m_unreadable; }
    // What was passed by, with why: links to folders (not followed, so
    // that no loop can form), .dlg names that are no files.
    const std::map<std::string, std::string> &Skipped() const { return m_skipped; }

private:
    // Whether path lies below one of the folders, or is one of the files, named.
    bool Covers(const std::string &path) const;

    std::vector<std::string> m_paths;
    bool m_check;
    std::vector<FolderFile> m_files;
    std::map<std::string, std::string> m_unreadable;
    std::map<std::string, std::string> m_skipped;
};
