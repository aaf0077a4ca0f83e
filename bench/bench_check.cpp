// Times dlgtool check over a folder of generated ordinary conversations,
// and on one long conversation whose checks draw a line at every page,
// next to dlgtool format on the same file; then a game's folder: its index,
// find in it, dlgtool find and uses.
// Usage: bench_check [FILES [PAGES]]
#include "cli/CheckCommand.h"
#include "cli/FindCommand.h"
#include "cli/FormatCommand.h"
#include "cli/UsesCommand.h"
#include "edits/TextSearch.h"
#include "regex/RegularExpression.h"
#include "folder/FolderIndex.h"
#include "folder/FolderSearch.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Twenty pages of five options each, with checks of every kind; with
// flags, the options test and set quest flags, as a game's do.
std::string Conversation(int seed, bool flags = false)
{
    std::string text;
    for (int p = 0; p < 20; ++p) {
        const int number = p * 20 + 1;
        text += "// [LABEL] Page" + std::to_string(p) + "\r\n{" + std::to_string(number) + "}{What brings you here, " + std::to_string(seed)
                + "?}{What brings you here?}{}{" + std::to_string(p + 1) + "}{}{}\r\n";
        for (int o = 0; o < 5; ++o) {
            const int target = ((p + o + 1) % 20) * 20 + 1;
            static const char *const checks[] = {"1", "5", "+8", "-12", "1"};
            const std::string flag = std::to_string((seed * 7 + p * 5 + o) % 400);
            text += "{" + std::to_string(number + 1 + o) + "}{" + (o == 4 ? std::string("E:") : "Tell me more about the north road.")
                    + "}{" + (o == 2 ? "0" : "") + "}{" + checks[o] + "}{";
            if (flags && o == 0)
                text.append("!Flag(quest").append(flag).append(")");
            text += "}{" + (o == 4 ? std::string() : std::to_string(target)) + "}{";
            if (flags && o == 1)
                text.append("SetFlag(quest").append(flag).append("_done)");
            text += "}\r\n";
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

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The best of runs of a command on args, its output thrown away, in seconds.
double Best(Command &&command, const std::vector<std::string> &args, int runs)
{
    std::FILE *sink = std::fopen("/dev/null", "w");
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        command.Execute(args, sink, sink);
        best = std::min(best, Seconds(start));
    }
    std::fclose(sink);
    return best;
}

// The best of runs of work, in milliseconds.
double BestMs(int runs, const std::function<void()> &work)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, Seconds(start) * 1e3);
    }
    return best;
}

// A game's folder of count conversations whose options test and set quest
// flags: the Conversations panel's index filled, find in the folder once
// the files are read, dlgtool find and uses next to check, and a file that
// another program saved counted again.
void FolderFigures(const std::filesystem::path &dir, int count)
{
    size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        const std::string text = Conversation(i, true);
        bytes += text.size();
        std::ofstream(dir / ("quest" + std::to_string(i) + ".dlg"), std::ios::binary) << text;
    }
    const std::string folder = dir.string();
    std::printf("%-46s %8.1f MB\n", ("folder: " + std::to_string(count) + " files").c_str(), static_cast<double>(bytes) / 1e6);
    FolderIndex index({folder});
    const double fill = BestMs(3, [&] { index.Fill(); });
    std::printf("%-46s %8.1f ms  (goal: under 1000; best of 3)\n", "folder index filled, pages and checks", fill);
    const TextSearch plain("north road", {});
    const TextSearch regex("Flag\\(quest1[0-9]\\)", {.regularExpression = true}, &RegularExpression::Engine());
    size_t found = 0;
    const double findPlain = BestMs(5, [&] { found = FolderSearch::Find(index.Files(), plain).size(); });
    const double findRegex = BestMs(5, [&] { found = std::min(found, FolderSearch::Find(index.Files(), regex).size()); });
    if (found == 0)
        std::printf("the find in the folder found nothing\n");
    std::printf("%-46s %8.1f ms  (goal: under 300; best of 5)\n", "find in the folder, plain text", findPlain);
    std::printf("%-46s %8.1f ms  (goal: under 300; best of 5)\n", "find in the folder, regular expression", findRegex);
    const double check = Best(CheckCommand(), {folder}, 5);
    const double find = Best(FindCommand(), {"north road", folder}, 5);
    const double uses = Best(UsesCommand(), {folder}, 5);
    std::printf("%-46s %8.1f ms  (best of 5)\n", "dlgtool check, the folder", check * 1e3);
    std::printf("%-46s %8.1f ms  %5.2f x check (goal 2: %s)\n", "dlgtool find, the folder", find * 1e3, find / check, find <= 2 * check ? "met" : "NOT MET");
    std::printf("%-46s %8.1f ms  %5.2f x check (goal 2: %s)\n", "dlgtool uses, the folder", uses * 1e3, uses / check, uses <= 2 * check ? "met" : "NOT MET");
    // Another program saves a file; the index reads it again.
    const std::string changed = (dir / "quest7.dlg").string();
    double refresh = 1e9;
    for (int round = 1; round <= 5; ++round) {
        std::ofstream(changed, std::ios::binary) << Conversation(7 + round, true);
        refresh = std::min(refresh, BestMs(1, [&] { index.Refresh(changed); }));
    }
    std::printf("%-46s %8.2f ms  (goal: under 1000, with the watcher's own delay; best of 5)\n", "a file saved elsewhere, counted again", refresh);
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
    const auto folder = dir / "game";
    std::filesystem::create_directories(folder);
    FolderFigures(folder, count);
    std::filesystem::remove_all(dir);
    return 0;
}
