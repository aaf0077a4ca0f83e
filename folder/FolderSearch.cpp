#include "folder/FolderSearch.h"

#include "folder/FolderFile.h"
#include "storage/DialogFiles.h"

#include <algorithm>

std::vector<FolderSearch::FileHits> FolderSearch::Find(const std::vector<FolderFile> &files, const TextSearch &search)
{
    std::vector<FileHits> found(files.size());
    if (!search.IsValid())
        return {};
    DialogFiles::ForEach(files.size(), [&](size_t i) {
        if (files[i].document)
            found[i] = {files[i].path, files[i].document, search.FindAll(*files[i].document)};
    });
    std::erase_if(found, [](const FileHits &file) { return file.hits.empty(); });
    return found;
}
