#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

// What a file is besides its bytes: its permissions (with the setuid,
// setgid and sticky bits), owner, group and extended attributes (which hold
// its access control list and security labels), read from one open file to
// be given to the file that replaces it.
struct FileAttributes {
    mode_t mode = 0; // the permission bits, 07777
    uid_t owner = 0;
    gid_t group = 0;
    std::vector<std::pair<std::string, std::string>> extended; // name, value

    // The attributes of the open file fd, whose status is st. False, with
    // errno set, when its extended attributes cannot be read.
    static bool Read(int fd, const struct stat &st, FileAttributes &attributes);

    // Gives them all to the open file fd, once it is written (a write
    // clears the setuid bit), in the order that keeps each: the owner first,
    // since a change of owner clears the setuid and setgid bits and some
    // attributes, the mode last, since an access control list changes it.
    // The file then has these extended attributes and no others, and this
    // mode exactly. False, with errno set, when the system does not let
    // one of them be given.
    bool GiveTo(int fd) const;
};
