// Lays out the map of conversations of the shape that is hard to lay out
// (each page leads to two new pages, back to a random earlier one, and out)
// and prints the times beside their goals: the graph of the conversation,
// its layout, and the layout again after an edit that changes the shape;
// then runs dlgtool graph --format svg on 20,000 such pages as a program,
// beside the time of writing what it wrote. A figure is printed only for a
// layout that was made.
// Usage: bench_map   (DLGTOOL=PATH runs another dlgtool)
#include "HardShape.h"
#include "layout/MapLayout.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/ConversationGraph.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The best of a few runs, so that one slow run does not decide; -1 when a run fails.
template <typename Work>
double Best(Work work, int runs = 3)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        if (!work())
            return -1;
        best = std::min(best, Ms(start));
    }
    return best;
}

// Runs a program, its output thrown away; false when it fails.
bool Run(const std::vector<std::string> &args)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One figure of a map of so many thousand pages; goal 0: none.
void PrintFigure(int thousands, const char *what, double ms, double goal)
{
    char name[64];
    std::snprintf(name, sizeof name, "map, %d,000 hard pages: %s", thousands, what);
    if (ms < 0)
        std::printf("%-46s  not laid out\n", name);
    else if (goal > 0)
        std::printf("%-46s %8.1f ms  (goal %.0f ms: %s)\n", name, ms, goal, ms <= goal ? "met" : "NOT MET");
    else
        std::printf("%-46s %8.1f ms\n", name, ms);
}

} // namespace

int main()
{
    struct Size {
        int pages;
        double goal; // for the layout, in ms; 0: none
    };
    for (const auto [pages, goal] : {Size{1000, 200}, Size{5000, 0}, Size{20000, 2000}}) {
        DialogFile file;
        if (!file.ReadText(HardShapeConversation(pages)))
            return 1;
        std::unique_ptr<ConversationGraph> graph;
        const double built = Best([&] {
            graph = std::make_unique<ConversationGraph>(file);
            return true;
        });
        MapLayout layout;
        const double laid = Best([&] { return MapLayout::Lay(*graph, nullptr, {}, {}, layout); });
        // The edit: a new page, led to from the middle page, which stays
        // where it was.
        const int middle = pages / 2;
        DialogLine *added = file.NewPage("New");
        auto option = std::make_unique<DialogLine>();
        option->SetIntelligenceCheck("1");
        option->SetTarget(added);
        file.GetPage(middle)->AddOption(std::move(option));
        const ConversationGraph edited(file);
        const MapLayout::Box &kept = layout.nodes[static_cast<size_t>(middle)];
        MapLayout again;
        const double relaid = laid < 0 ? -1 : Best([&] { return MapLayout::Lay(edited, &layout, {middle, {kept.x, kept.y}}, {}, again); });
        PrintFigure(pages / 1000, "the graph", built, 0);
        PrintFigure(pages / 1000, "laid out", laid, goal);
        PrintFigure(pages / 1000, "after a new page", relaid, 0);
        std::fflush(stdout);
    }

    // dlgtool graph --format svg as a program, beside writing its output.
    const char *other = std::getenv("DLGTOOL");
    const std::string dlgtool = other ? other : TALKWRIGHT_DLGTOOL;
    const auto dir = std::filesystem::temp_directory_path() / ("talkwright-bench-map." + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "hard.dlg").string(), svg = (dir / "map.svg").string(), copy = (dir / "copy.svg").string();
    std::ofstream(source, std::ios::binary) << HardShapeConversation(20000);
    const double graph = Best([&] { return Run({dlgtool, "graph", source, "--format", "svg", "-o", svg}); });
    const double writing = graph < 0 ? -1 : Best([&] { return Run({"rm", "-f", copy}) && Run({"cp", svg, copy}) && Run({"sync", copy}); });
    if (graph < 0 || writing < 0) {
        std::printf("%-46s  failed\n", "dlgtool graph --format svg, 20,000 hard pages");
    } else {
        std::printf("%-46s %8.1f ms  (%.1f MB; writing it: %.1f ms; goal 2000 ms plus writing: %s)\n",
                    "dlgtool graph --format svg, 20,000 hard pages", graph, static_cast<double>(std::filesystem::file_size(svg)) / 1e6,
                    writing, graph - writing <= 2000 ? "met" : "NOT MET");
    }
    std::filesystem::remove_all(dir);
    return 0;
}
