// Inputs that once made a command slow down with the square of their size,
// each timed at one size and at four times it: the ratio beside linear
// growth's 4. Then the peak memory that dlgtool check and format add on
// inputs of many small parts, each beside its goal.
// Usage: bench_growth   (DLGTOOL=PATH runs another dlgtool)
#include "cli/CheckCommand.h"
#include "cli/PlayCommand.h"
#include "model/DialogFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The best of three runs, in seconds.
double Best(const std::function<void()> &work)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

std::string Write(const std::filesystem::path &dir, const std::string &name, const std::string &bytes)
{
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// One page whose line goes on with empty fields, n bytes of them.
std::string EmptyFields(size_t n)
{
    std::string text = "{1}{A}{A}{}{}{}{}";
    while (text.size() < n)
        text += "{}";
    return text + "\n";
}

// n dialog lines that end in a lone CR, which reading takes for one line.
std::string LoneCrLines(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text.append("{").append(std::to_string(i * 20 + 1)).append("}{A}{A}{}{}{}{}\r");
    return text;
}

// A page of n options that lead to a page number that no page has, and one
// back to itself, then n more pages: each step of a play offers every one.
std::string JumpsToNoPage(int n)
{
    std::string text = "// [LABEL] Hub\r\n{1}{Where to?}{Where to?}{}{}{}{}\r\n{2}{Again}{}{1}{}{1}{}\r\n";
    for (int i = 0; i < n; ++i)
        text.append("{").append(std::to_string(i + 3)).append("}{Lost}{}{1}{}{99999999}{}\r\n");
    for (int i = 1; i <= n; ++i)
        text.append("{").append(std::to_string(i * 20 + 1 + n)).append("}{Far}{Far}{}{}{}{}\r\n");
    return text;
}

// A chain of n pages, each reached by PCs of one intelligence fewer than
// the page before: the last misses n - 1 separate bands.
std::string MissingBands(int n)
{
    std::string text;
    for (int p = 0; p < n; ++p) {
        const int number = p * 20 + 1;
        text.append("// [LABEL] Step").append(std::to_string(p)).append("\r\n{").append(std::to_string(number)).append("}{Go on?}{Go on?}{}{}{}{}\r\n");
        if (p + 1 < n) {
            const std::string next = std::to_string(number + 20);
            text.append("{").append(std::to_string(number + 1)).append("}{Low}{}{-").append(std::to_string(2 * p + 2)).append("}{}{");
            text.append(next).append("}{}\r\n{").append(std::to_string(number + 2)).append("}{High}{}{").append(std::to_string(2 * p + 3));
            text.append("}{}{").append(next).append("}{}\r\n");
        }
        text += "\r\n";
    }
    return text;
}

// Runs a command on args, its output thrown away; the best time in seconds.
double Time(Command &&command, const std::vector<std::string> &args)
{
    std::FILE *sink = std::fopen("/dev/null", "w");
    const double best = Best([&] { command.Execute(args, sink, sink); });
    std::fclose(sink);
    return best;
}

// The peak memory of dlgtool run on args, in kilobytes, and its exit status.
long PeakKilobytes(const std::string &dlgtool, const std::vector<std::string> &args)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char *> argv{const_cast<char *>(dlgtool.c_str())};
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execv(dlgtool.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return usage.ru_maxrss;
}

// "name  time  ratio x the smaller (linear: 4)": the work at four times the input.
void PrintGrowth(const char *name, double small, double large)
{
    std::printf("%-46s %8.1f ms  %5.1f x the input of a quarter the size (linear: 4)\n", name, large * 1e3, large / small);
}

} // namespace

int main()
{
    const auto dir = std::filesystem::temp_directory_path() / ("talkwright-growth-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);

    // Peak memory on many small parts, beside the memory of the program's
    // own on a tiny file. The files are written a line at a time, so that
    // this program stays small: a program it starts counts its memory.
    {
        const char *other = std::getenv("DLGTOOL");
        const std::string dlgtool = other ? other : TALKWRIGHT_DLGTOOL;
        const std::string tiny = Write(dir, "tiny.dlg", "// [LABEL] A\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n\r\n");
        const long idle = PeakKilobytes(dlgtool, {"check", tiny});
        const auto report = [&](const char *name, const std::vector<std::string> &args, const std::string &path) {
            const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1024 * 1024);
            const double grown = static_cast<double>(PeakKilobytes(dlgtool, args) - idle) / 1024;
            std::printf("%-46s %8.1f MB  %5.2f x the file (goal 3: %s)\n", name, grown, grown / megabytes, grown / megabytes <= 3 ? "met" : "NOT MET");
        };
        const std::string junk = (dir / "junk.dlg").string();
        {
            std::ofstream out(junk, std::ios::binary);
            out << "{1}{Hi}{Hi}{}{}{}{}\r\n";
            for (int i = 0; i < 3000000; ++i)
                out << "junk\r\n";
        }
        report("dlgtool check, 3,000,000 junk lines, memory", {"check", junk}, junk);
        const std::string pages = (dir / "pages.dlg").string();
        {
            std::ofstream out(pages, std::ios::binary);
            for (int i = 0; i < 1000000; ++i)
                out << "// [LABEL] Page" << i << "\r\n{" << i * 20 + 1 << "}{Hello.}{Hello.}{}{}{}{}\r\n\r\n";
        }
        report("dlgtool format, 1,000,000 small pages, memory", {"format", pages, "-o", (dir / "out.dlg").string()}, pages);
        std::filesystem::remove(junk);
        std::filesystem::remove(pages);
    }

    // The reader: text outside the seventh field is looked through once.
    {
        const std::string small = EmptyFields(400 * 1000);
        const std::string large = EmptyFields(1600 * 1000);
        const auto read = [](const std::string &bytes) {
            return Best([&] {
                DialogFile file;
                file.ReadText(bytes);
            });
        };
        PrintGrowth("read a 1.6 MB line of empty fields", read(small), read(large));
        const std::string fewCr = LoneCrLines(10000);
        const std::string manyCr = LoneCrLines(40000);
        PrintGrowth("read 40,000 lines that end in a lone CR", read(fewCr), read(manyCr));
    }

    // play: a jump to a page number that no page has is found missing at once.
    {
        const std::string small = Write(dir, "hub-small.dlg", JumpsToNoPage(5000));
        const std::string large = Write(dir, "hub-large.dlg", JumpsToNoPage(20000));
        std::string choices = "1";
        for (int i = 1; i < 20; ++i)
            choices += ",1";
        const auto play = [&](const std::string &path) {
            return Time(PlayCommand(), {path, "--gender", "male", "--intelligence", "10", "--choose", choices});
        };
        PrintGrowth("dlgtool play, 20 steps by 20,000 lost jumps", play(small), play(large));
    }

    // check: pages that miss more and more bands.
    {
        const std::string small = Write(dir, "bands-small.dlg", MissingBands(4000));
        const std::string large = Write(dir, "bands-large.dlg", MissingBands(16000));
        PrintGrowth("dlgtool check, 16,000 pages missing more bands", Time(CheckCommand(), {small}), Time(CheckCommand(), {large}));
    }

    std::filesystem::remove_all(dir);
    return 0;
}
