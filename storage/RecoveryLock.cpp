#include "storage/RecoveryLock.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

pid_t RecoveryLock::Read(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t size = read(fd, text, sizeof text - 1);
    close(fd);
    if (size <= 0)
        return 0;
    char *end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return pid > 0 && (*end == '\n' || *end == '\0') ? static_cast<pid_t>(pid) : 0;
}

bool RecoveryLock::IsAlive(pid_t pid)
{
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

pid_t RecoveryLock::HolderOf(const std::string &path)
{
    const pid_t holder = Read(path);
    return holder != getpid() && IsAlive(holder) ? holder : 0;
}

// The lock is written whole under a temporary name and linked into place,
// which fails when a lock is there already: no one ever reads half a lock.
pid_t RecoveryLock::Take(const std::string &path)
{
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return 0;
    const std::string text = std::to_string(getpid()) + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    pid_t holder = 0;
    for (int attempt = 0; written && attempt < 2; ++attempt) {
        if (link(temp.c_str(), path.c_str()) == 0 || errno != EEXIST)
            break;
        holder = Read(path);
        if (holder == getpid()) {
            holder = 0;
            break;
        }
        if (IsAlive(holder))
            break;
        holder = 0;
        unlink(path.c_str()); // stale: its process is gone
    }
    unlink(temp.c_str());
    return holder;
}

void RecoveryLock::Release(const std::string &path)
{
    if (Read(path) == getpid())
        unlink(path.c_str());
}
