// Times dlgtool check over a folder of generated ordinary conversations,
// and on one long conversation whose checks draw a line at every page,
// next to dlgtool format on the same file.
// Usage: bench_check [FILES [PAGES]]
#include "cli/CheckCommand.h"
#include "cli/FormatCommand.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Twenty pages of five options each, with checks of every kind.
std::string Conversation(int seed)
{
    std::string text;
    for (int p = 0; p < 20; ++p) {
        const int number = p * 20 + 1;
        text += "// [LABEL] Page" + std::to_string(p) + "\r\n{" + std::to_string(number) + "}{What brings you here, " + std::to_string(seed)
                + "?}{What brings you here?}{}{" + std::to_string(p + 1) + "}{}{}\r\n";
        for (int o = 0; o < 5; ++o) {
            const int target = ((p + o + 1) % 20) * 20 + 1;
            static const char *const checks[] = {"1", "5", "+8", "-12", "1"};
            text += "{" + std::to_string(number + 1 + o) + "}{" + (o == 4 ? std::string("E:") : "Tell me more about the north road.")
                    + "}{" + (o == 2 ? "0" : "") + "}{" + checks[o] + "}{}{" + (o == 4 ? std::string() : std::to_string(target)) + "}{}\r\n";
        }
        text += "\r\n";
    }
    return text;
}

// A chain of pages, each passed on only to PCs above its own intelligence,
// so that the file's checks draw as many lines as it has pages.
std::string Ladder(int pages)
{
    std::string text;
    for (int p = 0; p < pages; ++p) {
        const std::string number = std::to_string(p * 20 + 1);
        text += "// [LABEL] Step" + std::to_string(p) + "\r\n{" + number + "}{Can you go on?}{Can you go on?}{}{" + std::to_string(p + 1)
                + "}{}{}\r\n{" + std::to_string(p * 20 + 2) + "}{Up.}{}{+" + std::to_string(p + 1) + "}{}{"
                + std::to_string((p + 1) % pages * 20 + 1) + "}{}\r\n{" + std::to_string(p * 20 + 3) + "}{E:}{}{1}{}{}{}\r\n\r\n";
    }
    return text;
}

// The best of runs of a command on args, its output thrown away, in seconds.
double Best(Command &&command, const std::vector<std::string> &args, int runs)
{
    std::FILE *sink = std::fopen("/dev/null", "w");
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        command.Execute(args, sink, sink);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::fclose(sink);
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const auto dir = std::filesystem::temp_directory_path() / ("talkwright-check-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        const std::string text = Conversation(i);
        bytes += text.size();
        std::ofstream(dir / ("conversation" + std::to_string(i) + ".dlg"), std::ios::binary) << text;
    }

    const double best = Best(CheckCommand(), {dir.string()}, 5);
    const std::string files = "dlgtool check, " + std::to_string(count) + " files of " + std::to_string(bytes / 1000 / count) + " KB ("
                              + std::to_string(std::thread::hardware_concurrency()) + " cores)";
    std::printf("%-46s %8.1f ms  (best of 5)\n", files.c_str(), best * 1e3);

    const int pages = argc > 2 ? std::atoi(argv[2]) : 16000;
    const std::string ladder = (dir / "ladder.dlg").string();
    std::ofstream(ladder, std::ios::binary) << Ladder(pages);
    const double check = Best(CheckCommand(), {ladder}, 3);
    const double format = Best(FormatCommand(), {ladder}, 3);
    const std::string title = "dlgtool format, " + std::to_string(pages) + "-page ladder";
    std::printf("%-46s %8.1f ms  (best of 3)\n", title.c_str(), format * 1e3);
    const std::string checks = "dlgtool check, " + std::to_string(pages) + " intelligence checks";
    std::printf("%-46s %8.1f ms  %5.1f x format (best of 3)\n", checks.c_str(), check * 1e3, check / format);
    std::filesystem::remove_all(dir);
    return 0;
}
