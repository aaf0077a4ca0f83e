#include "storage/AtomicFile.h"

#include "storage/FileOps.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string DirectoryOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links until the path names something that is not one (or
// nothing yet). A loop is left to fail later with the system's ELOOP.
std::string ResolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length <= 0)
            break;
        link.resize(static_cast<size_t>(length));
        path = link.front() == '/' ? link : DirectoryOf(path) + "/" + link;
    }
    return path;
}

unsigned DefaultMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666U & ~static_cast<unsigned>(mask);
}

} // namespace

AtomicFile::AtomicFile(FileOps &ops)
    : m_ops(ops)
{
}

AtomicFile::~AtomicFile()
{
    Discard();
}

bool AtomicFile::Open(const std::string &path)
{
    Discard();
    m_errorText.clear();
    m_inPlace = false;
    m_target = ResolveLinks(path);

    struct stat st {};
    // A link such as /dev/stdout may lead to a pipe, whose link text
    // ("pipe:[N]") is no path to follow: what the path opens is written into.
    const bool opensNoFile = stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    if (opensNoFile)
        m_target = path;
    if (!opensNoFile && stat(m_target.c_str(), &st) != 0) {
        // Nothing there yet is a new file; a link loop or a path through
        // something that is not a folder is the system's error.
        if (errno != ENOENT)
            return Fail();
        m_mode = DefaultMode();
        m_hasOwner = false;
    } else if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return Fail();
    } else if (!S_ISREG(st.st_mode)) {
        m_fd = m_ops.OpenForWriting(m_target);
        if (m_fd < 0)
            return Fail();
        m_inPlace = true;
        return true;
    } else {
        m_mode = st.st_mode & 07777;
        m_hasOwner = true;
        m_uid = st.st_uid;
        m_gid = st.st_gid;
    }

    const size_t slash = m_target.rfind('/');
    const std::string name = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    std::string pattern = DirectoryOf(m_target) + "/." + name + ".XXXXXX";
    m_fd = m_ops.CreateTemp(pattern);
    if (m_fd < 0)
        return Fail();
    m_tempPath = pattern;
    return true;
}

bool AtomicFile::Append(std::string_view data)
{
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    while (!data.empty()) {
        const ssize_t written = m_ops.Write(m_fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return Fail();
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool AtomicFile::Commit()
{
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    if (m_inPlace) {
        // A FIFO or a character device cannot be synced (EINVAL); a block device can.
        if (m_ops.Sync(m_fd) != 0 && errno != EINVAL)
            return Fail();
        const int fd = m_fd;
        m_fd = -1;
        return m_ops.Close(fd) == 0 || Fail();
    }
    // The old file's permissions and, where allowed, its owner carry over.
    fchmod(m_fd, static_cast<mode_t>(m_mode));
    if (m_hasOwner && fchown(m_fd, m_uid, m_gid) != 0)
        fchmod(m_fd, static_cast<mode_t>(m_mode & 0777));
    if (m_ops.Sync(m_fd) != 0)
        return Fail();
    const int fd = m_fd;
    m_fd = -1;
    if (m_ops.Close(fd) != 0)
        return Fail();
    if (m_ops.Rename(m_tempPath, m_target) != 0)
        return Fail();
    m_tempPath.clear();

    // Make the rename itself durable; a failure here no longer risks data.
    const int dir = open(DirectoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

bool AtomicFile::Fail()
{
    m_errorText = std::strerror(errno);
    Discard();
    return false;
}

void AtomicFile::Discard()
{
    if (m_fd >= 0) {
        m_ops.Close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        m_ops.Unlink(m_tempPath);
        m_tempPath.clear();
    }
}
