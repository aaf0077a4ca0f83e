// Reads and writes a large generated conversation and prints the times next
// to a plain scan of the same bytes for line ends and a plain copy of them;
// then runs dlgtool on the same file as a program, next to cp with sync and
// wc -l, and prints its times and peak memory as ratios with their goals,
// and the times of what translators and voice directors are handed.
// Usage: bench_core [PAGES [OPTIONS_PER_PAGE]]   (DLGTOOL=PATH runs another dlgtool)
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// The page blocks of a generated file, each with its empty line.
std::vector<std::string> Blocks(const std::string &text)
{
    std::vector<std::string> blocks;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n\r\n", start);
        const size_t next = end == std::string::npos ? text.size() : end + 4;
        blocks.push_back(text.substr(start, next - start));
        start = next;
    }
    return blocks;
}

// Another version of a generated file, as a writer's branch makes it: every
// step-th page (from first) has its NPC speech changed, as many pages again
// are added, numbered past the others, and as many are moved to the end.
std::string Branch(const std::string &text, int first, int step, const std::string &speech)
{
    std::vector<std::string> blocks = Blocks(text);
    std::vector<std::string> moved;
    std::string out;
    for (size_t p = 0; p < blocks.size(); ++p) {
        std::string block = blocks[p];
        if (static_cast<int>(p) % step == first) {
            const size_t at = block.find("Welcome, traveller");
            block.replace(at, 18, speech);
            out += "// [LABEL] New" + speech + std::to_string(p) + "\r\n{" + std::to_string(2000000 + static_cast<int>(p) * 20 + first)
                   + "}{A page added.}{A page added.}{}{}{}{}\r\n{" + std::to_string(2000001 + static_cast<int>(p) * 20 + first)
                   + "}{Back.}{}{1}{}{1}{}\r\n\r\n";
        }
        if (static_cast<int>(p) % step == (first + step / 2) % step)
            moved.push_back(block);
        else
            out += block;
    }
    for (const std::string &block : moved)
        out += block;
    return out;
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

// What one run of a program took: wall time and its peak resident size.
struct Run {
    double seconds = 0;
    long peakKilobytes = 0;
};

// The peak resident size of this process image, in kilobytes. Unlike
// getrusage, it leaves out the memory of the parent that spawned it.
long OwnPeakKilobytes()
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    long peak = 0;
    char line[256];
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %ld", &peak) == 1)
            break;
    }
    if (status)
        std::fclose(status);
    return peak;
}

// Runs argv from this program, a small process (the figures of a process
// spawned from a large one count the large one's memory), its output
// thrown away, and prints its time, peak memory and exit status.
int RunAndReport(char **argv)
{
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execvp(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 1;
    std::printf("%.6f %ld %d\n", Seconds(start), usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
    return 0;
}

// Runs argv through RunAndReport; false when it fails.
bool Spawn(const char *self, const std::vector<std::string> &argv, Run &run)
{
    std::string command = std::string(self) + " --run";
    for (const std::string &arg : argv)
        command += " '" + arg + "'";
    std::FILE *pipe = popen(command.c_str(), "r");
    int status = 1;
    const bool read = pipe && std::fscanf(pipe, "%lf %ld %d", &run.seconds, &run.peakKilobytes, &status) == 3;
    if (pipe)
        pclose(pipe);
    return read && status == 0;
}

// The best time of a few runs of the commands one after another, and the
// largest peak memory of any of them.
Run BestOf(const char *self, const std::vector<std::vector<std::string>> &commands, int runs = 5)
{
    Run best{1e9, 0};
    for (int i = 0; i < runs; ++i) {
        Run total;
        for (const auto &command : commands) {
            Run one;
            if (!Spawn(self, command, one)) {
                std::fprintf(stderr, "bench_core: %s failed\n", command.front().c_str());
                std::exit(1);
            }
            total.seconds += one.seconds;
            total.peakKilobytes = std::max(total.peakKilobytes, one.peakKilobytes);
        }
        best.seconds = std::min(best.seconds, total.seconds);
        best.peakKilobytes = std::max(best.peakKilobytes, total.peakKilobytes);
    }
    return best;
}

const char *Verdict(double ratio, double goal)
{
    return ratio <= goal ? "met" : "NOT MET";
}

// dlgtool spell on the file, with the en_US dictionary and a word list of
// the one word of the file that it lacks, next to format in the same run.
void ReportSpell(const char *self, const std::string &dlgtool, const std::string &source, const Run &format)
{
    const char *name = "dlgtool spell FILE";
    if (access("/usr/share/hunspell/en_US.dic", R_OK) != 0) {
        std::printf("%-46s not measured: no en_US dictionary (hunspell-en-us)\n", name);
        return;
    }
    const std::string words = std::filesystem::path(source).replace_extension("words").string();
    std::ofstream(words) << "traveller\n";
    const Run spell = BestOf(self, {{dlgtool, "spell", "--lang", "en_US", "--words", words, source}});
    std::printf("%-46s %8.1f ms  %5.2f x format (goal 5: %s)\n", name, spell.seconds * 1e3, spell.seconds / format.seconds,
                Verdict(spell.seconds / format.seconds, 5));
}

// What translators and voice directors are handed from the file, each next
// to format's time in the same run (goal: 3 times). The translation that
// apply puts in changes every text: gettext's msgen and msgfilter make it,
// every msgstr its msgid in capitals.
void PrintTranslationFigures(const char *self, const std::string &dlgtool, const std::string &source, const std::filesystem::path &dir,
                             const Run &format)
{
    const std::string pot = (dir / "big.pot").string();
    const std::string same = (dir / "same.po").string();
    const std::string po = (dir / "big.po").string();
    const Run extract = BestOf(self, {{dlgtool, "po", "extract", source, "-o", pot}});
    const std::string translate = "msgen -o '" + same + "' '" + pot + "' && msgfilter --keep-header -i '" + same + "' -o '" + po + "' tr a-z A-Z";
    if (std::system(translate.c_str()) != 0) {
        std::fprintf(stderr, "bench_core: msgen or msgfilter failed\n");
        std::exit(1);
    }
    const Run apply = BestOf(self, {{dlgtool, "po", "apply", source, po, "-o", (dir / "translated.dlg").string()}});
    const Run script = BestOf(self, {{dlgtool, "script", source, "-o", (dir / "script.csv").string()}});
    for (const auto &[name, run] : {std::pair{"dlgtool po extract FILE -o OUT.pot", extract}, {"dlgtool po apply FILE LANG.po -o OUT", apply},
                                    {"dlgtool script FILE -o OUT", script}}) {
        const double ratio = run.seconds / format.seconds;
        std::printf("%-46s %8.1f ms  %5.2f x format (goal 3: %s)\n", name, run.seconds * 1e3, ratio, Verdict(ratio, 3));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--peak") {
        DialogFile file;
        if (std::string(argv[2]) != "-" && !file.Read(argv[2]))
            return 1;
        std::printf("%ld\n", OwnPeakKilobytes());
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "--run")
        return RunAndReport(argv + 2);
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
    std::printf("%-46s %8.1f ms\n", "scan for line ends", scan * 1e3);
    std::printf("%-46s %8.1f ms\n", "plain copy", plainCopy * 1e3);
    std::printf("%-46s %8.1f ms  %5.1f x the scan\n", "read (DialogFile::Read)", read * 1e3, read / scan);
    std::printf("%-46s %8.1f ms  %5.1f x the copy (the save also syncs)\n", "write (DialogFile::Write)", write * 1e3, write / plainCopy);
    const long baseline = PeakKilobytes(argv[0], "-");
    const long peak = PeakKilobytes(argv[0], source);
    std::printf("%-46s %8.1f MB  %5.1f x the file (%.1f above the program's own %.1f MB)\n", "peak memory reading it",
                static_cast<double>(peak) / 1024, static_cast<double>(peak) * 1024 / static_cast<double>(bytes.size()),
                static_cast<double>(peak - baseline) * 1024 / static_cast<double>(bytes.size()), static_cast<double>(baseline) / 1024);
    // dlgtool as a program, next to what the machine does with the same bytes:
    // a copy synced to disk (dlgtool syncs what it saves) and a count of lines.
    const char *other = std::getenv("DLGTOOL");
    const std::string dlgtool = other ? other : TALKWRIGHT_DLGTOOL;
    const std::string tiny = (dir / "tiny.dlg").string();
    std::ofstream(tiny, std::ios::binary) << "// [LABEL] A\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n\r\n";
    const Run cp = BestOf(argv[0], {{"rm", "-f", copy}, {"cp", source, copy}, {"sync", copy}});
    const Run wc = BestOf(argv[0], {{"wc", "-l", source}});
    const Run format = BestOf(argv[0], {{dlgtool, "format", source, "-o", target}});
    const Run dump = BestOf(argv[0], {{dlgtool, "dump", source}});
    const Run check = BestOf(argv[0], {{dlgtool, "check", source}});
    const Run idle = BestOf(argv[0], {{dlgtool, "format", tiny, "-o", target}});
    const double floor = std::max(cp.seconds, wc.seconds);
    const double megabytes = static_cast<double>(bytes.size()) / (1024 * 1024);
    const auto growth = [&](const Run &run) { return static_cast<double>(run.peakKilobytes - idle.peakKilobytes) / 1024 / megabytes; };
    std::printf("%-46s %8.1f ms\n", "cp FILE OUT; sync OUT", cp.seconds * 1e3);
    std::printf("%-46s %8.1f ms\n", "wc -l FILE", wc.seconds * 1e3);
    std::printf("%-46s %8.1f ms  %5.1f x max(cp+sync, wc -l) (goal 10: %s)\n", "dlgtool format FILE -o OUT", format.seconds * 1e3,
                format.seconds / floor, Verdict(format.seconds / floor, 10));
    std::printf("%-46s %8.1f ms  %5.2f x format (goal 1.5: %s)\n", "dlgtool dump FILE", dump.seconds * 1e3, dump.seconds / format.seconds,
                Verdict(dump.seconds / format.seconds, 1.5));
    std::printf("%-46s %8.1f ms  %5.2f x format (goal 2: %s)\n", "dlgtool check FILE", check.seconds * 1e3, check.seconds / format.seconds,
                Verdict(check.seconds / format.seconds, 2));
    ReportSpell(argv[0], dlgtool, source, format);
    std::printf("%-46s %8.1f MB  %5.2f x the file (goal 3: %s)\n", "dlgtool format, peak memory growth",
                static_cast<double>(format.peakKilobytes - idle.peakKilobytes) / 1024, growth(format), Verdict(growth(format), 3));
    std::printf("%-46s %8.1f MB  %5.2f x the file (goal 3: %s)\n", "dlgtool check, peak memory growth",
                static_cast<double>(check.peakKilobytes - idle.peakKilobytes) / 1024, growth(check), Verdict(growth(check), 3));
    std::printf("%-46s %8.1f MB  %5.2f x the file\n", "dlgtool dump, peak memory growth",
                static_cast<double>(dump.peakKilobytes - idle.peakKilobytes) / 1024, growth(dump));

    // Two branches of the file, each changing, adding and moving a few hundred
    // pages, compared with dlgtool diff and merged with dlgtool merge.
    const std::string ours = (dir / "ours.dlg").string();
    const std::string theirs = (dir / "theirs.dlg").string();
    const std::string merged = (dir / "merged.dlg").string();
    const std::string oursBytes = Branch(bytes, 0, 100, "Well met");
    const std::string theirsBytes = Branch(bytes, 37, 100, "Good day");
    std::ofstream(ours, std::ios::binary).write(oursBytes.data(), static_cast<std::streamsize>(oursBytes.size()));
    std::ofstream(theirs, std::ios::binary).write(theirsBytes.data(), static_cast<std::streamsize>(theirsBytes.size()));
    const Run diff = BestOf(argv[0], {{"sh", "-c", "\"$0\" diff \"$1\" \"$2\"; [ $? -eq 1 ]", dlgtool, source, ours}});
    const Run merge = BestOf(argv[0], {{dlgtool, "merge", source, ours, theirs, "-o", merged}});
    const double twoFiles = static_cast<double>(bytes.size() + oursBytes.size()) / (1024 * 1024);
    const double threeFiles = twoFiles + static_cast<double>(theirsBytes.size()) / (1024 * 1024);
    const auto growthOf = [&](const Run &run, double files) { return static_cast<double>(run.peakKilobytes - idle.peakKilobytes) / 1024 / files; };
    std::printf("%-46s %8.1f ms  %5.2f x format (goal 3: %s)\n", "dlgtool diff, two branches of FILE", diff.seconds * 1e3,
                diff.seconds / format.seconds, Verdict(diff.seconds / format.seconds, 3));
    std::printf("%-46s %8.1f ms  %5.2f x format (goal 3: %s)\n", "dlgtool merge, FILE and two branches", merge.seconds * 1e3,
                merge.seconds / format.seconds, Verdict(merge.seconds / format.seconds, 3));
    std::printf("%-46s %8.1f MB  %5.2f x the two files (goal 4: %s)\n", "dlgtool diff, peak memory growth",
                static_cast<double>(diff.peakKilobytes - idle.peakKilobytes) / 1024, growthOf(diff, twoFiles), Verdict(growthOf(diff, twoFiles), 4));
    std::printf("%-46s %8.1f MB  %5.2f x the three files (goal 4: %s)\n", "dlgtool merge, peak memory growth",
                static_cast<double>(merge.peakKilobytes - idle.peakKilobytes) / 1024, growthOf(merge, threeFiles),
                Verdict(growthOf(merge, threeFiles), 4));
    PrintTranslationFigures(argv[0], dlgtool, source, dir, format);
    std::filesystem::remove_all(dir);
    return 0;
}
