// Reads and writes a large generated conversation and prints the times next
// to a plain scan of the same bytes for line ends and a plain copy of them.
// Usage: bench_core [PAGES [OPTIONS_PER_PAGE]]
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The best of a few runs, so that one slow run does not decide.
template <typename Work>
double Best(Work work, int runs = 5)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, Seconds(start));
    }
    return best;
}

// The whole file in one read, as fast as the standard library reads.
std::string Slurp(const std::string &path)
{
    std::FILE *in = std::fopen(path.c_str(), "rb");
    std::fseek(in, 0, SEEK_END);
    std::string data(static_cast<size_t>(std::ftell(in)), '\0');
    std::rewind(in);
    data.resize(std::fread(data.data(), 1, data.size(), in));
    std::fclose(in);
    return data;
}

std::string Generate(int pages, int optionsPerPage)
{
    std::string text;
    for (int p = 0; p < pages; ++p) {
        const int number = p * 20 + 1;
        text += "// [LABEL] Page" + std::to_string(p) + "\r\n";
        text += "// [DESCRIPTION] What the innkeeper says at step " + std::to_string(p) + "\r\n";
        text += "{" + std::to_string(number) + "}{Welcome, traveller. The road from the north is long and cold.}"
                "{Welcome, traveller. The road from the north is long and cold.}{}{" + std::to_string(p + 1) + "}{}{}\r\n";
        for (int o = 0; o < optionsPerPage; ++o) {
            const int target = ((p + o + 1) % pages) * 20 + 1;
            const bool generated = o % 4 == 0;
            text += "{" + std::to_string(number + 1 + o) + "}{" + (generated ? std::string("R:50,3,7") : "Tell me about the road, please.")
                    + "}{" + (o % 3 == 0 ? "1" : "") + "}{" + (o % 2 ? "5" : "1") + "}{}{" + std::to_string(target) + "}{}\r\n";
        }
        text += "\r\n";
    }
    return text;
}

// Peak memory of a process that reads path, in kilobytes ("-" reads nothing).
long PeakKilobytes(const char *self, const std::string &path)
{
    const std::string command = std::string(self) + " --peak " + path;
    std::FILE *pipe = popen(command.c_str(), "r");
    long peak = 0;
    if (pipe && std::fscanf(pipe, "%ld", &peak) != 1)
        peak = 0;
    if (pipe)
        pclose(pipe);
    return peak;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--peak") {
        DialogFile file;
        if (std::string(argv[2]) != "-" && !file.Read(argv[2]))
            return 1;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss);
        return 0;
    }
    const int pages = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int optionsPerPage = argc > 2 ? std::atoi(argv[2]) : 10;
    const auto dir = std::filesystem::temp_directory_path() / ("talkwright-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "big.dlg").string();
    const std::string target = (dir / "out.dlg").string();
    const std::string copy = (dir / "copy.dlg").string();
    const std::string bytes = Generate(pages, optionsPerPage);
    std::ofstream(source, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    size_t lines = 0;
    const double scan = Best([&] {
        const std::string data = Slurp(source);
        lines = 0;
        for (const char *p = data.data(), *end = p + data.size(); (p = static_cast<const char *>(std::memchr(p, '\n', static_cast<size_t>(end - p)))); ++p)
            ++lines;
    });
    const double plainCopy = Best([&] {
        const std::string data = Slurp(source);
        std::FILE *out = std::fopen(copy.c_str(), "wb");
        std::fwrite(data.data(), 1, data.size(), out);
        std::fclose(out);
    });
    int pagesRead = 0;
    double read = 1e9;
    for (int run = 0; run < 5; ++run) {
        auto file = std::make_unique<DialogFile>();
        const auto start = Clock::now();
        if (!file->Read(source))
            return 1;
        read = std::min(read, Seconds(start));
        pagesRead = file->GetPageCount();
    }
    DialogFile file;
    file.Read(source);
    file.SetFileName(target);
    const double write = Best([&] {
        file.GetPage(0)->SetModified();
        if (!file.Write())
            std::exit(1);
    });

    std::printf("file: %d pages, %d options, %zu lines, %.1f MB\n", pagesRead, pages * optionsPerPage, lines,
                static_cast<double>(bytes.size()) / 1e6);
    std::printf("%-32s %10s %10s\n", "operation", "ms", "ratio");
    std::printf("%-32s %10.1f %10s\n", "scan for line ends", scan * 1e3, "1.0");
    std::printf("%-32s %10.1f %10s\n", "plain copy", plainCopy * 1e3, "1.0");
    std::printf("%-32s %10.1f %10.1f (to scan)\n", "read (DialogFile::Read)", read * 1e3, read / scan);
    std::printf("%-32s %10.1f %10.1f (to copy)\n", "write (DialogFile::Write)", write * 1e3, write / plainCopy);
    const long baseline = PeakKilobytes(argv[0], "-");
    const long peak = PeakKilobytes(argv[0], source);
    std::printf("%-32s %10.1f MB %7.1f (to the file's size; %.1f above the program's own %.1f MB)\n", "peak memory reading it",
                static_cast<double>(peak) / 1024, static_cast<double>(peak) * 1024 / static_cast<double>(bytes.size()),
                static_cast<double>(peak - baseline) * 1024 / static_cast<double>(bytes.size()), static_cast<double>(baseline) / 1024);
    std::filesystem::remove_all(dir);
    return 0;
}
