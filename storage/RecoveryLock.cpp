#include "storage/RecoveryLock.h"

#include "storage/PrivateFile.h"
#include "storage/TemporaryFiles.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A lock whose holder is putting its own file in place is looked at again,
// this many times, a millisecond apart.
constexpr int kAttempts = 100;

std::mutex g_mutex;
// The locks this process holds: their paths, and the files it holds them on.
std::map<std::string, int> g_held;

struct flock WholeFile()
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return lock;
}

bool Lock(int fd)
{
    struct flock lock = WholeFile();
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool IsLocked(int fd)
{
    struct flock lock = WholeFile();
    return fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

// The process id the open lock file names; 0 when it names none.
pid_t IdIn(int fd)
{
    char text[32] = {};
    const ssize_t size = pread(fd, text, sizeof text - 1, 0);
    if (size <= 0)
        return 0;
    char *end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return pid > 0 && (*end == '\n' || *end == '\0') ? static_cast<pid_t>(pid) : 0;
}

bool IsAlive(pid_t pid)
{
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

// Whether path still names the open file fd.
bool Names(const std::string &path, int fd)
{
    struct stat open {};
    struct stat named {};
    return fstat(fd, &open) == 0 && lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

void Pause()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A lock file of this process's, whole and locked, under a temporary name
// beside path; -1 when it cannot be made.
int MakeOwnLock(const std::string &path, std::string &temporary)
{
    const size_t slash = path.rfind('/');
    temporary = TemporaryFiles::Template(slash == std::string::npos ? "." : path.substr(0, slash),
                                         slash == std::string::npos ? path : path.substr(slash + 1));
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    const std::string text = std::to_string(getpid()) + "\n";
    if (fchmod(fd, PrivateFile::Mode) != 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) || !Lock(fd)) {
        unlink(temporary.c_str());
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

pid_t RecoveryLock::HolderOf(const std::string &path)
{
    {
        const std::lock_guard<std::mutex> guard(g_mutex);
        if (g_held.count(path) != 0)
            return 0;
    }
    pid_t holder = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int fd = PrivateFile::Open(path, O_RDONLY);
        if (fd < 0)
            return 0;
        const bool locked = IsLocked(fd);
        holder = IdIn(fd);
        const bool named = Names(path, fd);
        close(fd);
        if (!named)
            continue; // replaced as it was read
        if (!locked || holder == getpid())
            return 0;
        if (IsAlive(holder))
            return holder;
        Pause(); // its new holder is putting its own file in place
    }
    return holder;
}

pid_t RecoveryLock::Take(const std::string &path)
{
    const std::lock_guard<std::mutex> guard(g_mutex);
    if (g_held.count(path) != 0)
        return 0;
    pid_t holder = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string temporary;
        const int own = MakeOwnLock(path, temporary);
        if (own < 0)
            return 0;
        if (link(temporary.c_str(), path.c_str()) == 0) {
            unlink(temporary.c_str());
            g_held[path] = own;
            return 0;
        }
        const int linkError = errno;
        const int there = linkError == EEXIST ? PrivateFile::Open(path, O_RDWR) : -1;
        const int openError = errno;
        bool taken = false;
        holder = 0;
        if (there >= 0 && Lock(there)) {
            // Its holder is gone: ours takes its place, unless another
            // process has put its own there meanwhile.
            taken = Names(path, there) && rename(temporary.c_str(), path.c_str()) == 0;
        } else if (there >= 0) {
            holder = IdIn(there);
        }
        if (there >= 0)
            close(there);
        if (taken) {
            g_held[path] = own;
            return 0;
        }
        unlink(temporary.c_str());
        close(own);
        if (IsAlive(holder))
            return holder;
        // Anything but a lock file of this user's there is left alone; a
        // lock released meanwhile, or one being taken over, is tried again.
        if (linkError != EEXIST || (there < 0 && openError != ENOENT))
            return 0;
        if (holder != 0)
            Pause();
    }
    return holder;
}

void RecoveryLock::Release(const std::string &path)
{
    const std::lock_guard<std::mutex> guard(g_mutex);
    const auto held = g_held.find(path);
    if (held == g_held.end())
        return;
    // Only its holder replaces a held lock: path names it still.
    if (Names(path, held->second))
        unlink(path.c_str());
    close(held->second);
    g_held.erase(held);
}
