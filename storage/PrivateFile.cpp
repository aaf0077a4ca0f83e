#include "storage/PrivateFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int PrivateFile::Open(const std::string &path, int flags)
{
    const int fd = open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, Mode);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        errno = EPERM;
        return -1;
    }
    // One made under another umask, or by an older version, is made private.
    if ((st.st_mode & 07777) != Mode)
        fchmod(fd, Mode);
    return fd;
}

bool PrivateFile::Read(const std::string &path, std::string &bytes)
{
    const int fd = Open(path, O_RDONLY);
    if (fd < 0)
        return false;
    bytes.clear();
    char buffer[64 * 1024];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        bytes.append(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
    close(fd);
    return got == 0;
}
