#pragma once

#include <string>

// A file that only this user may read, in a folder of this user's (the
// recovery files and their locks). It is opened without following a
// symbolic link and without waiting (a FIFO never holds the program up),
// and only a regular file that this user owns is taken: anything else there
// is left alone. Whatever the umask, such a file has mode 0600.
class PrivateFile {
public:
    static constexpr unsigned Mode = 0600;

    // The open file at path (flags as for open; with O_CREAT it is made
    // when missing); -1 with errno set when it cannot be opened or is not
    // such a file (ELOOP for a link, EPERM for anything else).
    static int Open(const std::string &path, int flags);
    // Its bytes; false when it cannot be read or is not such a file.
    static bool Read(const std::string &path, std::string &bytes);
};
