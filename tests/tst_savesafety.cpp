// Saving never leaves a file half written: not when the disk refuses more
// bytes partway through, and not when the process is killed at any moment.
#include "TestFiles.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A document of some hundred kilobytes whose every line says which it is.
void Fill(DialogFile &file, const std::string &mark)
{
    for (int p = 0; p < 200; ++p) {
        DialogLine *page = file.NewPage();
        page->SetLabel(mark + std::to_string(p));
        page->SetSpeech("What brings you to " + mark + "?");
        page->SetFemaleSpeech("What brings you to " + mark + "?");
        for (int o = 0; o < 10; ++o) {
            auto option = std::make_unique<DialogLine>();
            option->SetSpeech("Tell me about the road to " + mark + ", please.");
            option->SetIntelligenceCheck("1");
            page->AddOption(std::move(option));
        }
    }
}

int TemporaryFiles(const TestFiles &files)
{
    int count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(files.Dir()))
        count += entry.path().filename().string().front() == '.';
    return count;
}

// Root passes every permission check; a file-size limit stops it all the same.
TEST(SaveSafety, ADiskThatFillsUpLeavesTheOldFile)
{
    TestFiles files;
    const std::string path = files.Write("big.dlg", "{1}{Old}{Old}{}{}{}{}\r\n");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 64 * 1024; // the save is larger: it fails partway
        setrlimit(RLIMIT_FSIZE, &limit);
        DialogFile file;
        Fill(file, "new");
        file.SetFileName(path);
        const bool failedRight = !file.Write() && file.GetErrorText() == "File too large" && file.IsModified();
        _exit(failedRight ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "Write must report EFBIG and keep the document modified";
    EXPECT_EQ(TestFiles::ReadBytes(path), "{1}{Old}{Old}{}{}{}{}\r\n");
    EXPECT_EQ(TemporaryFiles(files), 0);
}

// A child saves two documents over one file, turn about, and is killed at
// random moments: the file is always the whole of one or the other.
TEST(SaveSafety, AKilledSaveLeavesAWholeFile)
{
    TestFiles files;
    const std::string path = files.Path("crash.dlg");
    DialogFile a;
    DialogFile b;
    Fill(a, "alpha");
    Fill(b, "beta");
    const std::string bytesA = a.WriteText();
    const std::string bytesB = b.WriteText();
    a.SetFileName(path);
    ASSERT_TRUE(a.Write());

    std::mt19937 random(20261206);
    for (int round = 0; round < 25; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool turn = false;; turn = !turn) {
                DialogFile &file = turn ? a : b;
                file.SetFileName(path);
                file.Write();
            }
        }
        usleep(std::uniform_int_distribution<useconds_t>(500, 30000)(random));
        kill(child, SIGKILL);
        ASSERT_EQ(waitpid(child, nullptr, 0), child);
        const std::string now = TestFiles::ReadBytes(path);
        ASSERT_TRUE(now == bytesA || now == bytesB) << "round " << round << ": " << now.size() << " bytes of neither";
        // A kill can leave the temporary file of the save it stopped; never the target.
        for (const auto &entry : std::filesystem::directory_iterator(files.Dir())) {
            if (entry.path().filename().string().front() == '.')
                std::filesystem::remove(entry.path());
        }
    }
}

} // namespace
