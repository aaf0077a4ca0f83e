#pragma once

#include <string>
#include <sys/types.h>

// A lock file beside a recovery file that says which process keeps it. The
// process holds an advisory lock on it (an open file description lock),
// which the system releases when the process ends however it ends, and the
// file names the process's id, as text, for the user to read. Only a lock
// held so counts: a lock file whose process is gone, or whose id now
// belongs to another program, holds nothing and is taken over.
//
// A lock file is always written whole before it is put in place, and only
// the process that holds the lock on the file there replaces it, so that
// the id read from a held lock is its holder's.
class RecoveryLock {
public:
    // The process, other than this one, that holds the lock at path; 0
    // when none does.
    static pid_t HolderOf(const std::string &path);
    // Takes the lock at path for this process. When another process holds
    // it, leaves it and returns that process's id; otherwise 0, even when
    // the lock could not be written (the folder is missing, say): a lock
    // never stops editing.
    static pid_t Take(const std::string &path);
    // Removes the lock at path if this process holds it.
    static void Release(const std::string &path);
};
