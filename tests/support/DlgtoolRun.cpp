#include "DlgtoolRun.h"

#include "TestFiles.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

Result RunDlgtool(const Invocation &run)
{
    const TestFiles capture;
    const std::string outPath = run.out.empty() ? capture.Path("out") : run.out;
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(run.in.c_str(), O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = open(capture.Path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        // As root, permissions would not hold, and a fault could replace system files.
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(126);
        const rlimit limit{run.fileSize, run.fileSize};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<char *> argv{const_cast<char *>(TALKWRIGHT_DLGTOOL)};
        for (const std::string &arg : run.args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execv(TALKWRIGHT_DLGTOOL, argv.data());
        _exit(127);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            return {-1, "", "hung"};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), run.out.empty() ? TestFiles::ReadBytes(outPath) : "",
            TestFiles::ReadBytes(capture.Path("err"))};
}
