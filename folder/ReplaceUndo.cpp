#include "folder/ReplaceUndo.h"

#include "folder/GuardedSave.h"
#include "model/DialogFile.h"
#include "storage/AtomicFile.h"
#include "storage/HeaderReader.h"
#include "storage/RecoveryFolder.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A kept copy: a short text header, then the bytes as they are:
//   Talkwright replaced 1
//   path 22
//   /home/w/quests/inn.dlg
//   before 4521
//   <4521 bytes>
//   after 4530
//   <4530 bytes>
constexpr std::string_view kMagic = "Talkwright replaced 1\n";
constexpr std::string_view kSuffix = ".kept";
constexpr std::string_view kNext = ".next"; // kept for the replace about to begin

std::string Counted(std::string_view key, std::string_view bytes)
{
    return std::string(key) + " " + std::to_string(bytes.size()) + "\n";
}

} // namespace

ReplaceUndo::ReplaceUndo(std::string folder)
    : m_folder(std::move(folder))
{
}

ReplaceUndo ReplaceUndo::In(const RecoveryFolder &recovery)
{
    return ReplaceUndo(recovery.GetPath() + "/replaced");
}

std::string ReplaceUndo::CopyPath(const std::string &path) const
{
    return m_folder + "/" + RecoveryFolder::SlotForFile(RecoveryFolder::Absolute(path)) + std::string(kSuffix);
}

std::vector<std::pair<std::string, ReplaceUndo::Copy>> ReplaceUndo::ReadCopies() const
{
    std::vector<std::pair<std::string, Copy>> copies;
    std::error_code error;
    for (const auto &item : fs::directory_iterator(m_folder, error)) {
        const std::string name = item.path().filename().string();
        if (!name.ends_with(kSuffix) || name.front() == '.')
            continue;
        std::string text;
        std::string reason;
        if (!DialogFile::ReadFileBytes(item.path().string(), text, reason) || !text.starts_with(kMagic))
            continue;
        HeaderReader in(std::string_view(text).substr(kMagic.size()));
        Copy copy;
        size_t sizes[3] = {};
        if (in.Key("path") && in.Number(sizes[0], '\n') && in.Bytes(sizes[0], copy.path, true) && in.Key("before") && in.Number(sizes[1], '\n')
            && in.Bytes(sizes[1], copy.before, true) && in.Key("after") && in.Number(sizes[2], '\n') && in.Bytes(sizes[2], copy.after, false)
            && in.AtEnd())
            copies.emplace_back(item.path().string(), std::move(copy));
    }
    std::sort(copies.begin(), copies.end(), [](const auto &a, const auto &b) { return a.second.path < b.second.path; });
    return copies;
}

std::vector<std::string> ReplaceUndo::Files() const
{
    std::vector<std::string> files;
    for (const auto &[kept, copy] : ReadCopies())
        files.push_back(copy.path);
    return files;
}

bool ReplaceUndo::Keep(const std::string &path, std::string_view before, std::string_view after, FileOps &ops, std::string &error) const
{
    std::error_code made;
    if (fs::create_directories(m_folder, made))
        fs::permissions(m_folder, fs::perms::owner_all, made);
    const std::string absolute = RecoveryFolder::Absolute(path);
    AtomicFile file(ops);
    if (file.Open(CopyPath(absolute) + std::string(kNext)) && file.Append(kMagic) && file.Append(Counted("path", absolute) + absolute + "\n")
        && file.Append(Counted("before", before)) && file.Append(before) && file.Append("\n") && file.Append(Counted("after", after))
        && file.Append(after) && file.Commit())
        return true;
    error = file.GetErrorText();
    return false;
}

void ReplaceUndo::Begin() const
{
    Remove(kSuffix);
    std::error_code error;
    for (const auto &item : fs::directory_iterator(m_folder, error)) {
        const std::string name = item.path().string();
        if (name.ends_with(kNext)) {
            std::error_code ignored;
            fs::rename(name, name.substr(0, name.size() - kNext.size()), ignored);
        }
    }
}

void ReplaceUndo::Abandon() const
{
    Remove(kNext);
}

void ReplaceUndo::Forget(const std::string &path) const
{
    unlink(CopyPath(path).c_str());
}

void ReplaceUndo::Clear() const
{
    Remove({});
}

void ReplaceUndo::Remove(std::string_view suffix) const
{
    std::error_code error;
    for (const auto &item : fs::directory_iterator(m_folder, error)) {
        std::error_code ignored;
        if (item.path().string().ends_with(suffix))
            fs::remove(item.path(), ignored);
    }
}

FilesWritten ReplaceUndo::Undo(FileOps &ops) const
{
    FilesWritten done;
    for (const auto &[kept, copy] : ReadCopies()) {
        std::string error;
        switch (GuardedSave::Save(copy.path, copy.after, copy.before, ops, error)) {
        case GuardedSave::Saved:
            done.written.push_back(copy.path);
            break;
        case GuardedSave::Changed:
            done.notWritten.emplace_back(copy.path, error + ", so it is left as it is");
            break;
        case GuardedSave::Failed:
            done.notWritten.emplace_back(copy.path, "cannot write it: " + error);
            continue; // kept, to try again
        }
        unlink(kept.c_str());
    }
    return done;
}
