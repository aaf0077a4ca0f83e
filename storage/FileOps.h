#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

// The operating-system calls that saving a file makes, in one place, so
// that tests can make any one of them fail. Each returns what the POSIX
// call returns and leaves errno set on failure.
class FileOps {
public:
    virtual ~FileOps() = default;

    virtual int CreateTemp(std::string &pathTemplate); // mkstemp: fills in the X's
    // Opens an existing regular file to write into it, without truncating
    // it and without waiting: the test that it may be written.
    virtual int OpenInPlace(const std::string &path);
    virtual ssize_t Write(int fd, const char *data, size_t size);
    virtual int Sync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const std::string &from, const std::string &to);

    // The calls a test has no reason to fail.
    int Unlink(const std::string &path);
    int OpenForWriting(const std::string &path); // open an existing file to write into it

    static FileOps &Default();
};
