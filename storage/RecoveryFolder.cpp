#include "storage/RecoveryFolder.h"

#include "storage/AtomicFile.h"
#include "storage/PrivateFile.h"
#include "storage/RecoveryLock.h"
#include "storage/TemporaryFiles.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kSuffix = ".recovery";

} // namespace

RecoveryFolder::RecoveryFolder(std::string path)
    : m_path(std::move(path))
{
}

std::string RecoveryFolder::Absolute(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// 64 bits of FNV-1a: enough that two paths never meet in one folder, and
// the record names its path besides.
std::string RecoveryFolder::SlotForFile(const std::string &absolutePath)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : absolutePath) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char slot[32];
    std::snprintf(slot, sizeof slot, "file-%016llx", static_cast<unsigned long long>(hash));
    return slot;
}

std::string RecoveryFolder::SlotForUntitled()
{
    static std::atomic<unsigned> count = 0;
    return "untitled-" + std::to_string(getpid()) + "-" + std::to_string(std::time(nullptr)) + "-" + std::to_string(++count);
}

bool RecoveryFolder::MakeFolder(std::string &error) const
{
    if (m_path.empty()) {
        error = "there is no folder for the user's data";
        return false;
    }
    std::error_code ignored; // a parent that could not be made fails the mkdir below
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ignored);
    struct stat st {};
    if ((mkdir(m_path.c_str(), 0700) != 0 && errno != EEXIST) || stat(m_path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = std::strerror(ENOTDIR);
        return false;
    }
    // Made under the umask, or left readable by an older version: this user's alone.
    if ((st.st_mode & 07777) != 0700 && chmod(m_path.c_str(), 0700) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

pid_t RecoveryFolder::TakeLock(const std::string &slot) const
{
    std::string error;
    if (!MakeFolder(error))
        return 0;
    const pid_t holder = RecoveryLock::Take(LockPath(slot));
    if (holder != 0)
        return holder;
    // The slot is this process's: a temporary file of it is what a write
    // that a crash cut short left behind.
    const std::string name = slot + std::string(kSuffix);
    const std::string temporary = TemporaryFiles::Prefix(name, TemporaryFiles::NameMax(m_path));
    std::error_code ignored;
    for (const auto &item : std::filesystem::directory_iterator(m_path, ignored)) {
        const std::string entry = item.path().filename().string();
        if (entry.starts_with(temporary) && TemporaryFiles::IsTemporary(entry) && item.is_regular_file(ignored) && !item.is_symlink(ignored))
            unlink(item.path().c_str());
    }
    TemporaryFiles::RemoveStale(m_path);
    return 0;
}

void RecoveryFolder::ReleaseLock(const std::string &slot) const
{
    RecoveryLock::Release(LockPath(slot));
}

bool RecoveryFolder::Write(const std::string &slot, const RecoveryRecord &record, FileOps &ops, std::string &error) const
{
    if (!MakeFolder(error))
        return false;
    AtomicFile file(ops);
    if (file.OpenPrivate(RecoveryPath(slot)) && file.Append(record.Header()) && file.Append(record.bytes) && file.Commit())
        return true;
    error = file.GetErrorText();
    return false;
}

void RecoveryFolder::Remove(const std::string &slot) const
{
    unlink(RecoveryPath(slot).c_str());
}

std::vector<RecoveryFolder::Entry> RecoveryFolder::Unkept(const std::string &except) const
{
    return Entries([this, &except](const std::string &slot) { return slot != except && RecoveryLock::HolderOf(LockPath(slot)) == 0; });
}

std::vector<RecoveryFolder::Entry> RecoveryFolder::KeptElsewhere() const
{
    return Entries([this](const std::string &slot) { return RecoveryLock::HolderOf(LockPath(slot)) != 0; });
}

std::vector<RecoveryFolder::Entry> RecoveryFolder::Entries(const std::function<bool(const std::string &slot)> &wanted) const
{
    std::vector<Entry> entries;
    std::error_code error;
    for (const auto &item : std::filesystem::directory_iterator(m_path, error)) {
        const std::string name = item.path().filename().string();
        if (!name.ends_with(kSuffix) || name.front() == '.')
            continue;
        Entry entry{name.substr(0, name.size() - kSuffix.size()), {}};
        if (!wanted(entry.slot))
            continue;
        std::string bytes;
        if (PrivateFile::Read(item.path().string(), bytes) && RecoveryRecord::Parse(bytes, entry.record))
            entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.record.writtenAt != b.record.writtenAt ? a.record.writtenAt > b.record.writtenAt : a.slot < b.slot;
    });
    return entries;
}

std::vector<RecoveryFolder::Entry> RecoveryFolder::ForFile(const std::vector<Entry> &entries, const std::string &absolutePath)
{
    std::vector<Entry> found;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                 [&](const Entry &entry) { return !entry.record.untitled && entry.record.path == absolutePath; });
    return found;
}

std::vector<RecoveryFolder::Entry> RecoveryFolder::ForUntitled(const std::vector<Entry> &entries)
{
    std::vector<Entry> found;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(found), [](const Entry &entry) { return entry.record.untitled; });
    return found;
}
