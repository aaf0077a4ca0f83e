#include "LockHolder.h"

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

LockHolder::LockHolder(const std::string &path)
{
    int ready[2];
    if (pipe(ready) != 0)
        return;
    const char *name = path.c_str();
    m_pid = fork();
    if (m_pid == 0) {
        char text[16];
        char *end = text + sizeof text;
        *--end = '\n';
        for (pid_t pid = getpid(); pid > 0; pid /= 10)
            *--end = static_cast<char>('0' + pid % 10);
        const int fd = open(name, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (fd < 0 || write(fd, end, static_cast<size_t>(text + sizeof text - end)) < 0 || fcntl(fd, F_OFD_SETLK, &lock) != 0)
            _exit(1);
        if (write(ready[1], "", 1) != 1)
            _exit(1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char byte;
    if (m_pid < 0 || read(ready[0], &byte, 1) != 1)
        Kill();
    close(ready[0]);
}

LockHolder::~LockHolder()
{
    Kill();
}

void LockHolder::Kill()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}
