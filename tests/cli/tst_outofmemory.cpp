// Memory that runs out while dlgtool works on files on several cores: the
// command names each file it could not finish and fails, as it does on one
// core, rather than ending the program from a worker thread. A program of
// its own, since it replaces the allocator: every allocation made off the
// test's own thread fails while it starves them.
#include "TestFiles.h"
#include "cli/CheckCommand.h"
#include "cli/FormatCommand.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <thread>

namespace {

std::atomic<bool> g_starving{false};
std::thread::id g_fed; // the one thread whose allocations still succeed

} // namespace

void *operator new(std::size_t size)
{
    if (g_starving.load(std::memory_order_relaxed) && std::this_thread::get_id() != g_fed)
        throw std::bad_alloc();
    if (void *memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void *memory) noexcept
{
    std::free(memory);
}

void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

std::string Contents(std::FILE *file)
{
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

TEST(OutOfMemory, OnEveryCoreEachFileIsNamed)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one core: no worker thread";
    TestFiles files;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i)
        paths.push_back(files.Write("f" + std::to_string(i) + ".dlg", "{1}{Hi}{Hi}{}{}{}{}\n{2}{Z:7,3}{}{1}{}{}{}\n"));
    std::vector<std::string> formatCheck{"--check", "--diff"};
    formatCheck.insert(formatCheck.end(), paths.begin(), paths.end());
    const std::pair<std::unique_ptr<Command>, std::vector<std::string>> runs[] = {
        {std::make_unique<CheckCommand>(), paths},
        {std::make_unique<FormatCommand>(), formatCheck},
    };
    for (const auto &[command, args] : runs) {
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        g_fed = std::this_thread::get_id();
        g_starving = true;
        const int status = command->Execute(args, out, err);
        g_starving = false;
        const std::string said = Contents(err);
        std::fclose(out);
        std::fclose(err);
        EXPECT_EQ(status, Command::Failure) << command->Name();
        int named = 0;
        for (size_t start = 0, lf; (lf = said.find('\n', start)) != std::string::npos; start = lf + 1, ++named) {
            const std::string line = said.substr(start, lf - start);
            EXPECT_TRUE(line.starts_with("dlgtool: cannot read " + files.Dir() + "/f") && line.ends_with(".dlg: not enough memory"))
                << command->Name() << ": " << line;
        }
        EXPECT_GT(named, 0) << command->Name() << ": the files a worker could not finish are named";
    }
}

} // namespace
