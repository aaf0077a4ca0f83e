// Saving, in the core: temporary names that fit and are known again, the
// stale ones that go, a copy into a file written in place that fails, and
// signals that end a save under way.
#include "TestFiles.h"
#include "Unprivileged.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "storage/AtomicFile.h"
#include "storage/FileOps.h"
#include "storage/SignalCleanup.h"
#include "storage/TemporaryFiles.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// A name is cut only where the whole would pass 255 bytes, and never inside
// a UTF-8 character; a stale file of ours goes, and nothing else.
TEST(TemporaryFiles, NamesFitAndOnlyStaleOnesOfOursGo)
{
    const std::string e = "\xC3\xA9", euro = "\xE2\x82\xAC", n = std::string(234, 'n');
    const std::pair<std::string, size_t> cases[] = {{"a.dlg", 5}, {std::string(255, 'n'), 236}, {n + e, 236}, {"n" + n + e, 235}, {n + euro, 234}};
    for (const auto &[name, kept] : cases)
        EXPECT_EQ(TemporaryFiles::Prefix(name, 255), "." + name.substr(0, kept) + ".talkwright-") << name.size();

    TestFiles files;
    for (const char *name : {".a.talkwright-Stale1", ".a.talkwright-Young1", ".a.Stale1", ".a.talkwright-Stal!1", ".b.talkwright-Theirs"})
        files.Write(name, "");
    ASSERT_EQ(symlink("a", files.Path(".c.talkwright-Link12").c_str()), 0);
    const timespec hoursAgo[2] = {{std::time(nullptr) - 7200, 0}, {std::time(nullptr) - 7200, 0}};
    for (const char *name : {".a.talkwright-Stale1", ".a.Stale1", ".a.talkwright-Stal!1", ".b.talkwright-Theirs", ".c.talkwright-Link12"})
        ASSERT_EQ(utimensat(AT_FDCWD, files.Path(name).c_str(), hoursAgo, AT_SYMLINK_NOFOLLOW), 0);
    ASSERT_EQ(lchown(files.Path(".b.talkwright-Theirs").c_str(), getuid() + 1, getgid()) == 0, Unprivileged::AsRoot());
    EXPECT_EQ(AtomicFile::RemoveStaleTemporaries(files.Path("a")), Unprivileged::AsRoot() ? 1 : 2);
    EXPECT_EQ(files.EntryCount(), Unprivileged::AsRoot() ? 5 : 4);
}

// Writes into the file written in place fail after the first allowed.
struct FailingCopy : FileOps {
    int allowed = 0, target = -1;
    int OpenInPlace(const std::string &path) override { return target = FileOps::OpenInPlace(path); }
    ssize_t Write(int fd, const char *data, size_t size) override
    {
        errno = EIO;
        return fd == target && allowed-- <= 0 ? -1 : FileOps::Write(fd, data, size);
    }
};

// A file with another link is written in place: a copy into it that fails
// before it writes leaves it as it was, one that fails half way says the
// file is incomplete and where the whole new text is.
TEST(AtomicFile, ACopyInPlaceThatFailsSaysSo)
{
    for (const int allowed : {0, 1}) {
        TestFiles files;
        const std::string path = files.Write("a.dlg", "{1}{Old}{Old}{}{}{}{}\r\n");
        ASSERT_EQ(link(path.c_str(), files.Path("b.dlg").c_str()), 0);
        DialogFile file;
        ASSERT_TRUE(file.Read(path));
        file.GetPage(0)->SetSpeech(std::string(200000, 'x')); // more than one piece to copy
        FailingCopy ops;
        ops.allowed = allowed;
        EXPECT_FALSE(file.Write(ops));
        EXPECT_EQ(file.LeftFileIncomplete(), allowed == 1);
        const std::string told = "Input/output error; the file is left incomplete, and the whole new text is in ";
        const std::string kept = allowed ? file.GetErrorText().substr(told.size()) : "";
        EXPECT_EQ(file.GetErrorText(), allowed ? told + kept : "Input/output error");
        EXPECT_EQ(TestFiles::ReadBytes(kept), allowed ? file.WriteText() : "");
        EXPECT_EQ(files.EntryCount(), allowed ? 3 : 2);
        EXPECT_EQ(TestFiles::ReadBytes(path) == "{1}{Old}{Old}{}{}{}{}\r\n", !allowed);
    }
}

// Each signal that ends dlgtool takes the temporary file of the save under
// way away and still ends it; one that it was started ignoring, as nohup
// starts it, stays ignored. The save runs as the unprivileged user.
TEST(SignalCleanup, ASignalDuringASaveLeavesNoTemporaryFile)
{
    for (const auto &[signal, ignored] : {std::pair{SIGTERM, 0}, {SIGINT, 0}, {SIGHUP, 0}, {SIGPIPE, 0}, {SIGHUP, SIGHUP}}) {
        TestFiles files;
        const std::string target = files.Write("out.dlg", "old");
        ASSERT_EQ(chmod(files.Dir().c_str(), 0777) | chown(target.c_str(), Unprivileged::User(), Unprivileged::Group()), 0);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            if (ignored)
                std::signal(ignored, SIG_IGN);
            SignalCleanup::Install();
            AtomicFile file(FileOps::Default());
            if (Unprivileged::Become() && file.Open(target) && file.Append("new"))
                write(ready[1], "", 1);
            pause();
            _exit(0);
        }
        close(ready[1]);
        char byte;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        ASSERT_EQ(files.EntryCount(), 2) << signal << ": its temporary file is there";
        kill(child, signal);
        kill(child, SIGTERM); // had it not ended it, the first signal is ignored
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, ignored ? SIGTERM : signal);
        EXPECT_EQ(files.EntryCount(), 1) << signal << ": a temporary file is left";
        EXPECT_EQ(TestFiles::ReadBytes(target), "old");
    }
}

} // namespace
