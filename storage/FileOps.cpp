#include "storage/FileOps.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

int FileOps::CreateTemp(std::string &pathTemplate)
{
    return mkostemp(pathTemplate.data(), O_CLOEXEC);
}

int FileOps::OpenInPlace(const std::string &path)
{
    return ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

ssize_t FileOps::Write(int fd, const char *data, size_t size)
{
    return ::write(fd, data, size);
}

int FileOps::Sync(int fd)
{
    return ::fsync(fd);
}

int FileOps::Close(int fd)
{
    return ::close(fd);
}

int FileOps::Rename(const std::string &from, const std::string &to)
{
    return std::rename(from.c_str(), to.c_str());
}

int FileOps::Unlink(const std::string &path)
{
    return ::unlink(path.c_str());
}

int FileOps::OpenForWriting(const std::string &path)
{
    return ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
}

FileOps &FileOps::Default()
{
    static FileOps ops;
    return ops;
}
