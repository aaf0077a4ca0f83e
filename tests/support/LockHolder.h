#pragma once

#include <string>
#include <sys/types.h>

// Another process that holds the recovery lock at path, as another
// Talkwright window does: it names itself in the file and holds the lock
// on it until it is killed, when this goes. Safe to make in a program with
// threads (a window test): the process makes only the calls that are safe
// after fork.
class LockHolder {
public:
    explicit LockHolder(const std::string &path);
    ~LockHolder();
    LockHolder(const LockHolder &) = delete;
    LockHolder &operator=(const LockHolder &) = delete;

    pid_t Pid() const { return m_pid; }
    // Ends it; the system releases its lock.
    void Kill();

private:
    pid_t m_pid = -1;
};
