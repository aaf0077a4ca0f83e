#include "DlgtoolRun.h"

#include "TestFiles.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// As root, a run drops to nobody (permissions would not hold, and a fault
// could replace system files), who may not reach into the checkout: it may
// lie in a folder only its owner can enter, as root's home folder is. What
// nobody runs and reads is then copied where anyone can reach it, once.
struct Reachable {
    std::string dlgtool = TALKWRIGHT_DLGTOOL;
    std::string examples = TALKWRIGHT_EXAMPLES_DIR;

    static const Reachable &Get()
    {
        static const TestFiles copies;
        static const Reachable reachable = [] {
            Reachable paths;
            if (getuid() != 0)
                return paths;
            namespace fs = std::filesystem;
            fs::permissions(copies.Dir(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read
                                              | fs::perms::others_exec);
            fs::copy(paths.dlgtool, copies.Path("dlgtool"));
            fs::copy(paths.examples, copies.Path("examples"), fs::copy_options::recursive);
            paths.dlgtool = copies.Path("dlgtool");
            paths.examples = copies.Path("examples");
            return paths;
        }();
        return reachable;
    }
};

} // namespace

Result RunProgram(const std::string &name, const Invocation &run)
{
    const std::string &program = name == TALKWRIGHT_DLGTOOL ? Reachable::Get().dlgtool : name;
    const TestFiles capture;
    const bool piped = run.out == "|";
    const std::string outPath = run.out.empty() || piped ? capture.Path("out") : run.out;
    int pipeEnds[2] = {-1, -1};
    // Nobody may open the pipe again, by /dev/stdout, as its owner may.
    if (piped && (pipe(pipeEnds) != 0 || fchmod(pipeEnds[1], 0666) != 0))
        return {-1, "", "no pipe"};
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(run.in.c_str(), O_RDONLY);
        const int out = piped ? pipeEnds[1] : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = open(capture.Path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        if (piped)
            close(pipeEnds[0]);
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(126);
        for (const auto &[name, value] : run.env)
            setenv(name.c_str(), value.c_str(), 1);
        const rlimit limit{run.fileSize, run.fileSize};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const std::string &arg : run.args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    std::string fromPipe;
    if (piped) {
        close(pipeEnds[1]);
        fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    }
    const auto drain = [&] {
        char buffer[4096];
        for (ssize_t got; piped && (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            fromPipe.append(buffer, static_cast<size_t>(got));
    };
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (waitpid(child, &status, WNOHANG) == 0) {
        drain();
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            return {-1, "", "hung"};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    drain();
    if (piped)
        close(pipeEnds[0]);
    const std::string out = piped ? fromPipe : run.out.empty() ? TestFiles::ReadBytes(outPath) : "";
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), out, TestFiles::ReadBytes(capture.Path("err"))};
}

Result RunDlgtool(const Invocation &run)
{
    return RunProgram(Reachable::Get().dlgtool, run);
}

const std::string &ReachableExamples()
{
    return Reachable::Get().examples;
}
