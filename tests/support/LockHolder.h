#pragma once

#include <string>
#include <sys/types.h>

// Another process that holds the recovery lock at path, as another
// Talkwright window does, until it is killed (as a crash would end it).
class LockHolder {
public:
    explicit LockHolder(const std::string &path);
    ~LockHolder() { Kill(); }
    pid_t Pid() const { return m_pid; }
    void Kill();

private:
    pid_t m_pid = -1;
};
