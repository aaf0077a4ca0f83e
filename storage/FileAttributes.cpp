#include "storage/FileAttributes.h"

#include <algorithm>
#include <cerrno>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Calls get(buffer, size) as flistxattr and fgetxattr are called: first for
// the size, then for the bytes, again when they grew in between.
template <typename Get>
bool Fetch(std::string &bytes, Get get)
{
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        bytes.assign(static_cast<size_t>(size), '\0');
        const ssize_t got = size == 0 ? 0 : get(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// The names of fd's extended attributes; none where the file system has none.
bool Names(int fd, std::vector<std::string> &names)
{
    std::string list;
    if (!Fetch(list, [fd](char *buffer, size_t size) { return flistxattr(fd, buffer, size); }))
        return errno == ENOTSUP;
    for (size_t start = 0; start < list.size();) {
        const size_t end = list.find('\0', start);
        names.push_back(list.substr(start, end - start));
        start = end == std::string::npos ? list.size() : end + 1;
    }
    return true;
}

bool Value(int fd, const std::string &name, std::string &value)
{
    return Fetch(value, [fd, &name](char *buffer, size_t size) { return fgetxattr(fd, name.c_str(), buffer, size); });
}

} // namespace

bool FileAttributes::Read(int fd, const struct stat &st, FileAttributes &attributes)
{
    attributes.mode = st.st_mode & 07777;
    attributes.owner = st.st_uid;
    attributes.group = st.st_gid;
    attributes.extended.clear();
    std::vector<std::string> names;
    if (!Names(fd, names))
        return false;
    for (const std::string &name : names) {
        std::string value;
        if (Value(fd, name, value))
            attributes.extended.emplace_back(name, std::move(value));
        else if (errno != ENODATA) // gone since it was listed
            return false;
    }
    return true;
}

bool FileAttributes::GiveTo(int fd) const
{
    struct stat st {};
    if (fstat(fd, &st) != 0 || ((st.st_uid != owner || st.st_gid != group) && fchown(fd, owner, group) != 0))
        return false;
    // What the new file got from its folder (a default access control list,
    // a security label) and the old one did not have goes; the rest is set
    // where it differs.
    std::vector<std::string> names;
    if (!Names(fd, names))
        return false;
    for (const std::string &name : names) {
        const auto kept = std::find_if(extended.begin(), extended.end(), [&](const auto &attribute) { return attribute.first == name; });
        if (kept == extended.end() && fremovexattr(fd, name.c_str()) != 0)
            return false;
    }
    for (const auto &[name, value] : extended) {
        std::string now;
        if ((!Value(fd, name, now) || now != value) && fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0)
            return false;
    }
    if (fchmod(fd, mode) != 0 || fstat(fd, &st) != 0)
        return false;
    // The system drops a setgid bit that the writer may not set, silently.
    if ((st.st_mode & 07777) != mode) {
        errno = EPERM;
        return false;
    }
    return true;
}
