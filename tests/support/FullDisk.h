#pragma once

#include "storage/FileOps.h"

#include <cerrno>

// File operations on a full disk: every write fails with ENOSPC.
class FullDisk : public FileOps {
public:
    ssize_t Write(int, const char *, size_t) override
    {
        errno = ENOSPC;
        return -1;
    }
};
