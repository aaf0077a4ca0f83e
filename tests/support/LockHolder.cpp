#include "LockHolder.h"

#include "storage/RecoveryLock.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

LockHolder::LockHolder(const std::string &path)
{
    int ready[2];
    if (pipe(ready) != 0 || (m_pid = fork()) < 0)
        return;
    if (m_pid == 0 && RecoveryLock::Take(path) == 0 && write(ready[1], "", 1) == 1)
        pause();
    if (m_pid == 0)
        _exit(1);
    close(ready[1]);
    char byte;
    if (read(ready[0], &byte, 1) != 1)
        Kill();
    close(ready[0]);
}

void LockHolder::Kill()
{
    if (m_pid > 0 && kill(m_pid, SIGKILL) == 0)
        waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}
