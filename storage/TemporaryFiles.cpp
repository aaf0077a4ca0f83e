#include "storage/TemporaryFiles.h"

#include <cctype>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kMark = ".talkwright-";
constexpr size_t kRandom = 6; // the X's that mkstemp fills in

} // namespace

long TemporaryFiles::NameMax(const std::string &folder)
{
    const long max = pathconf(folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? max : 255;
}

std::string TemporaryFiles::Prefix(std::string_view name, long nameMax)
{
    const size_t room = nameMax > static_cast<long>(1 + kMark.size() + kRandom + 1)
        ? static_cast<size_t>(nameMax) - 1 - kMark.size() - kRandom
        : 1;
    std::string_view kept = name.substr(0, room);
    // Not in the middle of a UTF-8 character: a name cut there would not show.
    if (kept.size() < name.size() && (static_cast<unsigned char>(name[kept.size()]) & 0xC0) == 0x80) {
        while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80)
            kept.remove_suffix(1);
        if (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0xC0)
            kept.remove_suffix(1);
    }
    return "." + std::string(kept) + std::string(kMark);
}

std::string TemporaryFiles::Template(const std::string &folder, std::string_view name)
{
    return folder + "/" + Prefix(name, NameMax(folder)) + std::string(kRandom, 'X');
}

bool TemporaryFiles::IsTemporary(std::string_view entry)
{
    if (entry.size() < 1 + kMark.size() + kRandom || entry.front() != '.')
        return false;
    const std::string_view random = entry.substr(entry.size() - kRandom);
    for (const char c : random) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    }
    return entry.substr(entry.size() - kRandom - kMark.size(), kMark.size()) == kMark;
}

int TemporaryFiles::RemoveStale(const std::string &folder, std::int64_t age)
{
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    const std::int64_t before = static_cast<std::int64_t>(std::time(nullptr)) - age;
    int removed = 0;
    while (const dirent *entry = readdir(dir)) {
        if (!IsTemporary(entry->d_name))
            continue;
        struct stat st {};
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()
            && st.st_mtim.tv_sec < before && unlinkat(dirfd(dir), entry->d_name, 0) == 0)
            ++removed;
    }
    closedir(dir);
    return removed;
}
