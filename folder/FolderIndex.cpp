#include "folder/FolderIndex.h"

#include "storage/DialogFiles.h"

#include <algorithm>
#include <mutex>

namespace {

bool ByPath(const FolderFile &file, const std::string &path)
{
    return file.path < path;
}

} // namespace

FolderIndex::FolderIndex(std::vector<std::string> paths, bool check)
    : m_paths(std::move(paths))
    , m_check(check)
{
}

void FolderIndex::Fill(const std::function<void(const FolderFile &)> &ready)
{
    m_unreadable.clear();
    m_skipped.clear();
    const std::vector<std::string> paths = DialogFiles::Collect(m_paths, m_unreadable, &m_skipped);
    std::vector<FolderFile> files(paths.size());
    std::mutex calling;
    DialogFiles::ForEach(paths.size(), [&](size_t i) {
        files[i] = FolderFile::Read(paths[i], m_check);
        if (ready) {
            const std::lock_guard lock(calling);
            ready(files[i]);
        }
    });
    m_files = std::move(files);
}

const FolderFile *FolderIndex::Refresh(const std::string &path)
{
    auto at = std::lower_bound(m_files.begin(), m_files.end(), path, ByPath);
    const bool held = at != m_files.end() && at->path == path;
    if (DiskStamp::IsMissing(path) || (!held && !Covers(path))) {
        if (held)
            m_files.erase(at);
        return nullptr;
    }
    FolderFile file = FolderFile::Read(path, m_check);
    if (held)
        *at = std::move(file);
    else
        at = m_files.insert(at, std::move(file));
    return &*at;
}

const FolderFile *FolderIndex::Find(const std::string &path) const
{
    const auto at = std::lower_bound(m_files.begin(), m_files.end(), path, ByPath);
    return at != m_files.end() && at->path == path ? &*at : nullptr;
}

bool FolderIndex::Covers(const std::string &path) const
{
    if (!DialogFiles::IsDialogFileName(path))
        return false;
    return std::any_of(m_paths.begin(), m_paths.end(), [&path](const std::string &named) {
        const std::string folder = named.ends_with('/') ? named : named + "/";
        return path == named || path.starts_with(folder);
    });
}
