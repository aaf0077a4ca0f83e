// Saving, in the core: temporary names that fit any name the system allows
// and are known again, the stale ones that go and those that stay, a copy
// into a file written in place that fails half way, and signals that end
// a save under way.
#include "TestFiles.h"
#include "Unprivileged.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "storage/AtomicFile.h"
#include "storage/FileOps.h"
#include "storage/SignalCleanup.h"
#include "storage/TemporaryFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Repeat(std::string_view text, int count)
{
    std::string repeated;
    for (int i = 0; i < count; ++i)
        repeated += text;
    return repeated;
}

// A name is cut only where the whole would not fit 255 bytes, and never
// inside a UTF-8 character; the names made are known again, and no other.
TEST(TemporaryFiles, NamesFitAndAreKnownAgain)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a.dlg", "a.dlg"},
        {std::string(236, 'n'), std::string(236, 'n')},
        {std::string(255, 'n'), std::string(236, 'n')},
        {Repeat("\xC3\xA9", 120), Repeat("\xC3\xA9", 118)},
        {"x" + Repeat("\xC3\xA9", 120), "x" + Repeat("\xC3\xA9", 117)},
        {"x" + Repeat("\xE2\x82\xAC", 90), "x" + Repeat("\xE2\x82\xAC", 78)},
    };
    TestFiles files;
    for (const auto &[name, kept] : cases) {
        EXPECT_EQ(TemporaryFiles::Prefix(name, 255), "." + kept + ".talkwright-") << name.size();
        std::string path = TemporaryFiles::Template(files.Dir(), name);
        const int fd = mkstemp(path.data());
        EXPECT_GE(fd, 0) << name.size() << ": " << std::strerror(errno);
        close(fd);
        const std::string entry = path.substr(files.Dir().size() + 1);
        EXPECT_LE(entry.size(), 255u);
        EXPECT_TRUE(TemporaryFiles::IsTemporary(entry)) << entry;
    }
    for (const char *other : {"a.dlg", ".a.dlg.Ab12Cd", ".a.dlg.talkwright-Ab12C", ".a.dlg.talkwright-Ab12C!", "a.dlg.talkwright-Ab12Cd"})
        EXPECT_FALSE(TemporaryFiles::IsTemporary(other)) << other;
}

// Only this user's regular files named as ours and older than the age go:
// not a save under way, not another program's, not what a link points to.
TEST(TemporaryFiles, OnlyStaleOnesOfOursGo)
{
    TestFiles files;
    const std::string stale = files.Write(".a.dlg.talkwright-Ab12Cd", "");
    files.Write(".a.dlg.talkwright-Yo0ng1", "");
    const std::string rsync = files.Write(".a.dlg.Ab12Cd", "");
    const std::string target = files.Write("target", "");
    std::filesystem::create_directory(files.Path(".b.dlg.talkwright-Dir123"));
    ASSERT_EQ(symlink(target.c_str(), files.Path(".c.dlg.talkwright-Link12").c_str()), 0);
    const std::string theirs = files.Write(".d.dlg.talkwright-Theirs", "");
    const timespec hoursAgo[2] = {{std::time(nullptr) - 7200, 0}, {std::time(nullptr) - 7200, 0}};
    for (const std::string &path : {stale, rsync, target, files.Path(".b.dlg.talkwright-Dir123"), files.Path(".c.dlg.talkwright-Link12"), theirs})
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), hoursAgo, AT_SYMLINK_NOFOLLOW), 0);
    const bool asRoot = Unprivileged::AsRoot();
    if (asRoot) {
        ASSERT_EQ(chown(theirs.c_str(), Unprivileged::User(), Unprivileged::Group()), 0);
    }

    EXPECT_EQ(AtomicFile::RemoveStaleTemporaries(files.Path("a.dlg")), asRoot ? 1 : 2);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_EQ(files.EntryCount(), asRoot ? 6 : 5);
    EXPECT_TRUE(std::filesystem::exists(target));
}

// Fails writes into the file written in place after the first allowed.
class FailingCopy : public FileOps {
public:
    explicit FailingCopy(int allowed) : m_allowed(allowed) {}
    int OpenInPlace(const std::string &path) override { return m_target = FileOps::OpenInPlace(path); }
    ssize_t Write(int fd, const char *data, size_t size) override
    {
        if (fd == m_target && m_allowed-- <= 0) {
            errno = EIO;
            return -1;
        }
        return FileOps::Write(fd, data, size);
    }

private:
    int m_allowed;
    int m_target = -1;
};

// A file with two links is written in place. A copy into it that fails
// before it writes anything leaves it as it was; one that fails half way
// says the file is incomplete and where the whole new text is.
TEST(AtomicFile, ACopyInPlaceThatFailsSaysSo)
{
    for (const int allowed : {0, 1}) {
        TestFiles files;
        const std::string old = "{1}{Old}{Old}{}{}{}{}\r\n";
        const std::string path = files.Write("a.dlg", old);
        ASSERT_EQ(link(path.c_str(), files.Path("b.dlg").c_str()), 0);
        DialogFile file;
        ASSERT_TRUE(file.Read(path));
        file.GetPage(0)->SetSpeech(std::string(200000, 'x')); // more than one piece to copy
        FailingCopy ops(allowed);
        EXPECT_FALSE(file.Write(ops));
        EXPECT_EQ(file.LeftFileIncomplete(), allowed == 1);
        const std::string reason = "Input/output error";
        if (allowed == 0) {
            EXPECT_EQ(file.GetErrorText(), reason);
            EXPECT_EQ(TestFiles::ReadBytes(path), old);
            EXPECT_EQ(files.EntryCount(), 2) << "no temporary file stays behind";
            continue;
        }
        const std::string told = reason + "; the file is left incomplete, and the whole new text is in ";
        ASSERT_EQ(file.GetErrorText().substr(0, told.size()), told);
        const std::string kept = file.GetErrorText().substr(told.size());
        EXPECT_TRUE(TemporaryFiles::IsTemporary(kept.substr(kept.rfind('/') + 1))) << kept;
        EXPECT_EQ(TestFiles::ReadBytes(kept), file.WriteText());
        EXPECT_EQ(TestFiles::ReadBytes(files.Path("b.dlg")), TestFiles::ReadBytes(path)) << "one file still";
    }
}

// A save under way, as the unprivileged user, in a child that the signal
// ends; the pipe says when its temporary file is there.
pid_t SaveUnderWay(const std::string &target, int ignored)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        if (ignored != 0)
            std::signal(ignored, SIG_IGN); // as nohup starts a program
        SignalCleanup::Install();
        AtomicFile file(FileOps::Default());
        if (!Unprivileged::Become() || !file.Open(target) || !file.Append("new") || write(ready[1], "", 1) != 1)
            _exit(1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char byte;
    if (read(ready[0], &byte, 1) != 1)
        waitpid(child, nullptr, 0);
    close(ready[0]);
    return child;
}

// Each signal that ends dlgtool removes the temporary file of the save
// under way and still ends it by that signal; one that it was started
// ignoring stays ignored.
TEST(SignalCleanup, ASignalDuringASaveLeavesNoTemporaryFile)
{
    const std::pair<int, int> cases[] = {{SIGTERM, 0}, {SIGINT, 0}, {SIGHUP, 0}, {SIGPIPE, 0}, {SIGHUP, SIGHUP}};
    for (const auto &[signal, ignored] : cases) {
        TestFiles files;
        ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0);
        const std::string target = files.Write("out.dlg", "old");
        ASSERT_EQ(chown(target.c_str(), Unprivileged::User(), Unprivileged::Group()), 0);
        const pid_t child = SaveUnderWay(target, ignored);
        ASSERT_GT(child, 0);
        ASSERT_EQ(files.EntryCount(), 2) << signal << ": its temporary file is there";
        kill(child, signal);
        if (ignored != 0)
            kill(child, SIGTERM); // had the first ended it, the first would be its end
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), ignored != 0 ? SIGTERM : signal);
        EXPECT_EQ(files.EntryCount(), 1) << signal << ": a temporary file is left";
        EXPECT_EQ(TestFiles::ReadBytes(target), "old");
    }
}

} // namespace
