#include "storage/DiskStamp.h"

#include <cerrno>
#include <sys/stat.h>

DiskStamp DiskStamp::Of(const std::string &path)
{
    DiskStamp stamp;
    struct stat st {};
    if (!path.empty() && stat(path.c_str(), &st) == 0) {
        stamp.exists = true;
        stamp.device = st.st_dev;
        stamp.inode = st.st_ino;
        stamp.size = st.st_size;
        stamp.modified = st.st_mtim;
    }
    return stamp;
}

bool DiskStamp::IsMissing(const std::string &path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

bool DiskStamp::ChangedOnDisk(const std::string &path) const
{
    const DiskStamp now = Of(path);
    return now.exists && !(now == *this);
}

bool DiskStamp::operator==(const DiskStamp &other) const
{
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size
        && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}
