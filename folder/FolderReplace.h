#pragma once

#include "folder/FilesWritten.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

class FileOps;
class RecoveryFolder;
class ReplaceUndo;
class TextSearch;

// Replace in every file of a folder, safely. First the plan, which writes
// nothing: for each file, how many texts would change and which are
// refused and why (the refusals of Replace all, and a page that would no
// longer read back as one), or why the file is left out as a whole. Then,
// once the user has said yes to it, the replace: the old bytes of every
// file kept first (see ReplaceUndo), then each file saved whole, as Save
// writes it; a file changed on disk since the plan is left as it is.
class FolderReplace {
public:
    // A text that keeps its old text.
    struct Refused {
        int line = 0;
        std::string page; // its page's name
        std::string which; // "option 2 speech", as DocumentText names it
        std::string reason;
    };
    struct FilePlan {
        std::string path;
        // Why the file is left out as a whole: it cannot be read, it is
        // open with unsaved changes, a save would drop lines. Empty when
        // it is not.
        std::string leftOut;
        size_t changes = 0; // texts that change
        std::vector<Refused> refused;
        std::string before; // the file as the plan read it, when it is to be written
        std::string after;  // what the replace writes
    };
    // The files that have something to say, in the order of the paths.
    struct Plan {
        std::vector<FilePlan> files;
        size_t Changes() const;
        size_t FilesToWrite() const;
    };

    // Reads every file on every core. open names the files (by absolute
    // path, see RecoveryFolder::Absolute) that are open with unsaved
    // changes, which are left out.
    static Plan Prepare(const std::vector<std::string> &files, const TextSearch &search, std::string_view replacement,
                        const std::set<std::string> &open);
    // The files that a Talkwright window other than this process's holds
    // open with unsaved changes, by absolute path: those whose recovery
    // file a live process keeps.
    static std::set<std::string> OpenElsewhere(const RecoveryFolder &recovery);

    // Keeps the old bytes of each file to write, in the place of those of
    // the replace before, then writes them. When a copy cannot be kept,
    // nothing is written, and the replace before can still be undone.
    static FilesWritten Apply(const Plan &plan, const ReplaceUndo &undo, FileOps &ops);
};
