#pragma once

#include <string>
#include <sys/types.h>

// A lock file beside a recovery file that says which process keeps it: the
// process id, as text. A lock whose process is gone is stale: it holds
// nothing and is taken over.
class RecoveryLock {
public:
    // The live process, other than this one, that holds the lock at path;
    // 0 when none does.
    static pid_t HolderOf(const std::string &path);
    // Takes the lock at path for this process. When another live process
    // holds it, leaves it and returns that process's id; otherwise 0, even
    // when the lock could not be written (the folder is missing, say):
    // a lock never stops editing.
    static pid_t Take(const std::string &path);
    // Removes the lock at path if this process holds it.
    static void Release(const std::string &path);

    static bool IsAlive(pid_t pid);

private:
    // The process id a lock file names; 0 when it names none.
    static pid_t Read(const std::string &path);
};
