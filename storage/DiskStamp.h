#pragma once

#include <ctime>
#include <string>
#include <sys/types.h>

// What a file on disk was when it was read or saved, to tell whether another
// program has changed it since: its identity, size and time of change.
struct DiskStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    // The stamp of the file at path now (links followed); not existing when
    // there is none.
    static DiskStamp Of(const std::string &path);
    // Nothing at all stands at path, not even a link: the file may be created.
    static bool IsMissing(const std::string &path);
    // The file exists now and is not the one stamped.
    bool ChangedOnDisk(const std::string &path) const;

    bool operator==(const DiskStamp &other) const;
};
