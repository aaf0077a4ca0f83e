#include "storage/AtomicFile.h"

#include "storage/FileName.h"
#include "storage/FileOps.h"
#include "storage/PrivateFile.h"
#include "storage/SignalCleanup.h"
#include "storage/TemporaryFiles.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string DirectoryOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? "/tmp" : folder.string();
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
    Begin(ResolveLinks(path));

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
        m_attributes.mode = DefaultMode();
        return CreateTemp(DirectoryOf(m_target)) || Fail();
    }
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return Fail();
    }
    if (!S_ISREG(st.st_mode)) {
        m_fd = m_ops.OpenForWriting(m_target);
        if (m_fd < 0)
            return Fail();
        m_way = Way::Device;
        return true;
    }
    // Where cp could not write the file, neither may a save replace it.
    m_targetFd = m_ops.OpenInPlace(m_target);
    if (m_targetFd < 0 || fstat(m_targetFd, &st) != 0)
        return Fail();
    m_keepAttributes = true;
    if (!FileAttributes::Read(m_targetFd, st, m_attributes) || st.st_nlink != 1)
        m_way = Way::CopyIn;
    if (CreateTemp(DirectoryOf(m_target)))
        return true;
    if (errno != EACCES && errno != EPERM)
        return Fail();
    // A folder that may not be written, holding a file that may.
    m_way = Way::CopyIn;
    return CreateTemp(TemporaryFolder()) || Fail();
}

bool AtomicFile::OpenPrivate(const std::string &path)
{
    Begin(path);
    m_attributes.mode = PrivateFile::Mode;

    struct stat st {};
    if (lstat(m_target.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return Fail();
    } else if (!S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        m_errorText = FileName::Printable(m_target) + " is not a regular file of this user's";
        return false;
    }
    return CreateTemp(DirectoryOf(m_target)) || Fail();
}

void AtomicFile::Begin(std::string target)
{
    Discard();
    m_target = std::move(target);
    m_errorText.clear();
    m_incomplete = false;
    m_size = 0;
    m_way = Way::Rename;
    m_keepAttributes = false;
    m_attributes = {};
}

bool AtomicFile::CreateTemp(const std::string &folder)
{
    std::string pattern = TemporaryFiles::Template(folder, NameOf(m_target));
    m_fd = m_ops.CreateTemp(pattern);
    if (m_fd < 0)
        return false;
    m_tempPath = std::move(pattern);
    m_tempTicket = SignalCleanup::Watch(m_tempPath.c_str());
    return true;
}

bool AtomicFile::Append(std::string_view data)
{
    if (m_fd < 0) {
        errno = EBADF;
        return Fail();
    }
    m_size += static_cast<off_t>(data.size());
    return WriteAll(m_fd, data) || Fail();
}

bool AtomicFile::WriteAll(int fd, std::string_view data, bool *wrote)
{
    while (!data.empty()) {
        const ssize_t written = m_ops.Write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        if (wrote)
            *wrote = true;
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
    if (m_way == Way::Device) {
        // A FIFO or a character device cannot be synced (EINVAL); a block device can.
        if (m_ops.Sync(m_fd) != 0 && errno != EINVAL)
            return Fail();
        const int fd = m_fd;
        m_fd = -1;
        return m_ops.Close(fd) == 0 || Fail();
    }
    // The written file takes what the old one was, or else is copied into it.
    if (m_way == Way::Rename && m_keepAttributes && !m_attributes.GiveTo(m_fd))
        m_way = Way::CopyIn;
    if (m_way == Way::CopyIn)
        return CopyIn();
    if (!m_keepAttributes && fchmod(m_fd, m_attributes.mode) != 0)
        return Fail();
    return Rename();
}

bool AtomicFile::Rename()
{
    if (m_ops.Sync(m_fd) != 0)
        return Fail();
    const int fd = std::exchange(m_fd, -1);
    if (m_ops.Close(fd) != 0)
        return Fail();
    if (m_targetFd >= 0)
        close(std::exchange(m_targetFd, -1));
    if (m_ops.Rename(m_tempPath, m_target) != 0)
        return Fail();
    SignalCleanup::Forget(std::exchange(m_tempTicket, -1));
    m_tempPath.clear();

    // Make the rename itself durable; a failure here no longer risks data.
    const int dir = open(DirectoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

// No signal that ends the program may stop the copy half way: they wait
// until it is done.
bool AtomicFile::CopyIn()
{
    const sigset_t signals = SignalCleanup::Signals();
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &signals, &before);
    bool touched = false;
    const bool copied = CopyBytes(touched);
    const int error = errno;
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    if (copied) {
        Discard();
        return true;
    }
    if (!touched)
        return Fail();
    // The whole new content stays where it was written, for the user to take.
    m_errorText = std::string(std::strerror(error)) + "; the file is left incomplete, and the whole new text is in "
        + FileName::Printable(m_tempPath);
    m_incomplete = true;
    SignalCleanup::Forget(std::exchange(m_tempTicket, -1));
    m_tempPath.clear();
    Discard();
    return false;
}

// Copies the temporary file into the target; touched says whether the
// target may have changed.
bool AtomicFile::CopyBytes(bool &touched)
{
    struct stat st {};
    if (fstat(m_targetFd, &st) != 0)
        return false;
    // Room for what the file grows by first: a disk too full for it fails
    // before the file changes.
    if (m_size > st.st_size && fallocate(m_targetFd, FALLOC_FL_KEEP_SIZE, 0, m_size) != 0 && errno != EOPNOTSUPP)
        return false;
    if (lseek(m_targetFd, 0, SEEK_SET) != 0)
        return false;
    std::vector<char> buffer(64 * 1024);
    for (off_t offset = 0; offset < m_size;) {
        const ssize_t got = pread(m_fd, buffer.data(), static_cast<size_t>(std::min<off_t>(static_cast<off_t>(buffer.size()), m_size - offset)), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = EIO;
            return false;
        }
        if (!WriteAll(m_targetFd, std::string_view(buffer.data(), static_cast<size_t>(got)), &touched))
            return false;
        offset += got;
    }
    touched = true;
    if (ftruncate(m_targetFd, m_size) != 0 || m_ops.Sync(m_targetFd) != 0)
        return false;
    // A write by one who may not keep it clears the setuid bit; the owner sets it again.
    if (fstat(m_targetFd, &st) == 0 && (st.st_mode & 07777) != m_attributes.mode)
        fchmod(m_targetFd, m_attributes.mode);
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
    if (m_fd >= 0)
        m_ops.Close(std::exchange(m_fd, -1));
    if (m_targetFd >= 0)
        close(std::exchange(m_targetFd, -1));
    if (!m_tempPath.empty()) {
        SignalCleanup::Forget(std::exchange(m_tempTicket, -1));
        m_ops.Unlink(m_tempPath);
        m_tempPath.clear();
    }
}

int AtomicFile::RemoveStaleTemporaries(const std::string &path)
{
    return TemporaryFiles::RemoveStale(DirectoryOf(ResolveLinks(path)));
}
