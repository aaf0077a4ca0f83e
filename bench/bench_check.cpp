// Times dlgtool check over a folder of generated ordinary conversations.
// Usage: bench_check [FILES]
#include "cli/CheckCommand.h"

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

    std::FILE *sink = std::fopen("/dev/null", "w");
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        CheckCommand().Execute({dir.string()}, sink, sink);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::fclose(sink);
    std::printf("dlgtool check: %d files, %.1f MB, %u cores: %.1f ms (best of 5)\n", count, static_cast<double>(bytes) / 1e6,
                std::thread::hardware_concurrency(), best * 1e3);
    std::filesystem::remove_all(dir);
    return 0;
}
