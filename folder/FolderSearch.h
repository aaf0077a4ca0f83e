#pragma once

#include "edits/TextSearch.h"

#include <memory>
#include <string>
#include <vector>

class DialogFile;
struct FolderFile;

// Find in every file of a folder, by the same rules as the find bar in one
// document (see TextSearch), on every core.
class FolderSearch {
public:
    // The texts of one file that hold a match.
    struct FileHits {
        std::string path;
        // The places of the hits are in it.
        std::shared_ptr<const DialogFile> document;
        std::vector<TextSearch::Hit> hits;
    };

    // The files that were read, in their order; those without a match are
    // left out.
    static std::vector<FileHits> Find(const std::vector<FolderFile> &files, const TextSearch &search);
};
