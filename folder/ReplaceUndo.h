#pragma once

#include "folder/FilesWritten.h"

#include <string>
#include <string_view>
#include <vector>

class FileOps;
class RecoveryFolder;

// The undo of the last replace in files: before the replace writes a file,
// its old bytes are kept here, in a folder of the recovery folder, with the
// bytes the replace writes. The undo puts back every file whose bytes are
// still those the replace wrote, and leaves any that has changed since as
// it is. After the undo, or when the next replace begins, the copies go.
class ReplaceUndo {
public:
    // Keeps its copies in folder.
    explicit ReplaceUndo(std::string folder);
    // The copies' folder in the recovery folder.
    static ReplaceUndo In(const RecoveryFolder &recovery);

    // The files an undo would put back, sorted; none when there is nothing
    // to undo.
    std::vector<std::string> Files() const;

    // Keeps the old bytes of the file at path (as a whole or not at all)
    // for the replace about to begin, and what it writes there; false with
    // the system's reason when they could not be kept.
    bool Keep(const std::string &path, std::string_view before, std::string_view after, FileOps &ops, std::string &error) const;
    // The replace begins: the copies kept for it take the place of those of
    // the replace before. Or it does not: they go.
    void Begin() const;
    void Abandon() const;
    // Drops the copy of one file (which the replace did not write), or all.
    void Forget(const std::string &path) const;
    void Clear() const;

    // Puts back every file kept, each saved whole. A file that no longer
    // holds what the replace wrote is not overwritten, and is named. The
    // copies go, but for those of files that could not be written, so that
    // the undo can be tried again.
    FilesWritten Undo(FileOps &ops) const;

private:
    struct Copy {
        std::string path;
        std::string before;
        std::string after;
    };
    std::string CopyPath(const std::string &path) const;
    // Removes the copies whose names end in suffix.
    void Remove(std::string_view suffix) const;
    // The copies the folder holds; files that are not whole copies are left out.
    std::vector<std::pair<std::string, Copy>> ReadCopies() const;

    std::string m_folder;
};
