// Recovery files: the record read back, where each document's file goes,
// what is offered, locks that hold and locks that do not, a write that
// fails, and the privacy of unsaved work.
#include "FullDisk.h"
#include "LockHolder.h"
#include "TestFiles.h"
#include "Unprivileged.h"
#include "storage/RecoveryFolder.h"
#include "storage/RecoveryLock.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process that is gone.
pid_t GoneProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

RecoveryRecord Record(const std::string &path, bool untitled, std::int64_t writtenAt)
{
    RecoveryRecord record;
    record.path = path;
    record.untitled = untitled;
    record.writtenAt = writtenAt;
    record.bytes = "// [LABEL] " + path + "\r\n";
    return record;
}

TEST(RecoveryRecord, ReadsBackWhatItWroteAndNothingLess)
{
    RecoveryRecord record = Record("/home/w/two\nlines \xFC.dlg", false, 1733500123);
    record.base.exists = true;
    record.base.size = 4521;
    record.base.modified = {1733500000, 123456789};
    record.bytes = std::string("{1}{A}{A}{}{1}{}{}\r\n\0after a NUL\n", 33);
    const std::string text = record.Header() + record.bytes;
    RecoveryRecord back;
    ASSERT_TRUE(RecoveryRecord::Parse(text, back));
    EXPECT_EQ(back.path, record.path);
    EXPECT_FALSE(back.untitled);
    EXPECT_FALSE(back.BaseChanged(record.base));
    EXPECT_EQ(back.writtenAt, record.writtenAt);
    EXPECT_EQ(back.bytes, record.bytes);
    EXPECT_EQ(back.missing, 0u);
    // A file cut short in its header, or with anything after the bytes, is
    // no record; one cut short in its bytes holds what is left of them.
    const size_t header = record.Header().size();
    for (size_t cut = 0; cut < text.size(); ++cut) {
        ASSERT_EQ(RecoveryRecord::Parse(text.substr(0, cut), back), cut >= header) << "cut at " << cut;
        if (cut >= header) {
            EXPECT_EQ(back.bytes, record.bytes.substr(0, cut - header)) << "cut at " << cut;
            EXPECT_EQ(back.missing, text.size() - cut) << "cut at " << cut;
        }
    }
    EXPECT_FALSE(RecoveryRecord::Parse(text + "\n", back));
}

TEST(RecoveryRecord, BaseChangedByAnotherProgram)
{
    DiskStamp base;
    base.exists = true;
    base.size = 10;
    base.modified = {100, 5};
    const RecoveryRecord record{.base = base};
    DiskStamp now = base;
    now.inode = 99; // our own save replaces the file: that is no change
    EXPECT_FALSE(record.BaseChanged(now));
    now.modified.tv_nsec = 6;
    EXPECT_TRUE(record.BaseChanged(now));
    now = base;
    now.size = 11;
    EXPECT_TRUE(record.BaseChanged(now));
    EXPECT_TRUE(record.BaseChanged(DiskStamp{})) << "deleted since";
    EXPECT_TRUE(RecoveryRecord{}.BaseChanged(base)) << "created since";
    EXPECT_FALSE(RecoveryRecord{}.BaseChanged(DiskStamp{}));
}

// Only a lock that a live process holds counts: not one whose process is
// gone, nor one that names a live process (its id reused, after a reboot,
// by another program) that does not hold it.
TEST(RecoveryLock, OnlyALockHeldCounts)
{
    TestFiles files;
    const std::string lock = files.Path("a.lock"), mine = std::to_string(getpid()) + "\n";
    for (const std::string &text : {std::string(), std::to_string(GoneProcess()) + "\n", std::to_string(getppid()) + "\n", std::string("x")}) {
        files.Write("a.lock", text);
        EXPECT_EQ(RecoveryLock::HolderOf(lock), 0) << text;
        EXPECT_EQ(RecoveryLock::Take(lock), 0) << text;
        EXPECT_EQ(RecoveryLock::Take(lock), 0) << "taken again by its holder";
        EXPECT_EQ(TestFiles::ReadBytes(lock), mine) << "taken over: " << text;
        RecoveryLock::Release(lock);
    }
    EXPECT_EQ(files.EntryCount(), 0) << "released, and no temporary lock stays behind";
    LockHolder other(lock);
    EXPECT_EQ(RecoveryLock::HolderOf(lock), other.Pid());
    EXPECT_EQ(RecoveryLock::Take(lock), other.Pid());
    RecoveryLock::Release(lock);
    EXPECT_EQ(TestFiles::ReadBytes(lock), std::to_string(other.Pid()) + "\n") << "released only by its holder";
    other.Kill(); // a crash: the system releases the lock; the file stays
    EXPECT_EQ(RecoveryLock::HolderOf(lock), 0);
    EXPECT_EQ(RecoveryLock::Take(lock), 0);
    RecoveryLock::Release(lock);
}

TEST(RecoveryFolder, OffersWhatNoLiveProcessKeeps)
{
    TestFiles files;
    const RecoveryFolder folder(files.Path("data/recovery")); // made by the first write
    const std::string a = RecoveryFolder::SlotForFile("/w/a.dlg");
    EXPECT_EQ(a, RecoveryFolder::SlotForFile("/w/a.dlg"));
    EXPECT_NE(a, RecoveryFolder::SlotForFile("/w/b.dlg"));
    EXPECT_NE(RecoveryFolder::SlotForUntitled(), RecoveryFolder::SlotForUntitled());
    EXPECT_EQ(RecoveryFolder::Absolute("/w/x/../a.dlg"), "/w/a.dlg");

    const std::string untitled = RecoveryFolder::SlotForUntitled();
    const std::string kept = RecoveryFolder::SlotForFile("/w/kept.dlg");
    const std::string stale = RecoveryFolder::SlotForFile("/w/stale.dlg");
    const std::pair<std::string, RecoveryRecord> written[] = {
        {a, Record("/w/a.dlg", false, 100)},
        {a + "-77", Record("/w/a.dlg", false, 300)}, // a second window's
        {untitled, Record("00001Untitled", true, 200)},
        {kept, Record("/w/kept.dlg", false, 400)},
        {stale, Record("/w/stale.dlg", false, 50)},
    };
    std::string error;
    for (const auto &[slot, record] : written)
        ASSERT_TRUE(folder.Write(slot, record, FileOps::Default(), error)) << error;
    files.Write("data/recovery/junk.recovery", "Talkwright recovery 1\npath 3");
    const LockHolder live(folder.LockPath(kept));
    files.Write("data/recovery/" + stale + ".lock", std::to_string(GoneProcess()) + "\n");

    std::vector<std::string> slots;
    for (const RecoveryFolder::Entry &entry : folder.Unkept())
        slots.push_back(entry.slot);
    EXPECT_EQ(slots, (std::vector<std::string>{a + "-77", untitled, a, stale})) << "newest first, none kept by a live process";
    EXPECT_EQ(folder.Unkept(a).size(), 3u);
    const auto forA = RecoveryFolder::ForFile(folder.Unkept(), "/w/a.dlg");
    ASSERT_EQ(forA.size(), 2u);
    EXPECT_EQ(forA[0].record.bytes, "// [LABEL] /w/a.dlg\r\n");
    const auto forUntitled = RecoveryFolder::ForUntitled(folder.Unkept());
    ASSERT_EQ(forUntitled.size(), 1u);
    EXPECT_EQ(forUntitled[0].record.path, "00001Untitled");
}

TEST(RecoveryFolder, AFailedWriteKeepsTheLastRecoveryFile)
{
    TestFiles files;
    const RecoveryFolder folder(files.Dir());
    const std::string slot = RecoveryFolder::SlotForFile("/w/a.dlg");
    std::string error;
    RecoveryRecord record = Record("/w/a.dlg", false, 100);
    ASSERT_TRUE(folder.Write(slot, record, FileOps::Default(), error));
    const std::string before = TestFiles::ReadBytes(folder.RecoveryPath(slot));
    record.bytes += "more";
    FullDisk full;
    EXPECT_FALSE(folder.Write(slot, record, full, error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(TestFiles::ReadBytes(folder.RecoveryPath(slot)), before);
    EXPECT_EQ(files.EntryCount(), 1) << "no temporary file stays behind";
    // One that a crash left is cleared when the slot is taken again.
    files.Write("." + slot + ".recovery.talkwright-Xy12Zq", "cut sh");
    EXPECT_EQ(folder.TakeLock(slot), 0);
    folder.ReleaseLock(slot);
    EXPECT_EQ(files.EntryCount(), 1);

    files.Write("file", "not a folder");
    EXPECT_FALSE(RecoveryFolder(files.Path("file/recovery")).Write(slot, record, FileOps::Default(), error));
    EXPECT_EQ(error, "Not a directory");
    EXPECT_FALSE(RecoveryFolder("").Write(slot, record, FileOps::Default(), error)) << "no data folder at all";
}

unsigned ModeOf(const std::string &path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Unsaved work is private, under the widest umask and a narrow one: the
// folder is this user's alone and so is each file in it, also when an
// older version left them readable.
TEST(RecoveryFolder, UnsavedWorkIsThisUsersAlone)
{
    TestFiles files;
    const std::string slot = "file-a", other = "file-b";
    const mode_t umaskBefore = umask(0);
    for (const auto &[name, mask] : {std::pair{"wide", 0}, {"narrow", 0277}}) {
        umask(mask);
        const RecoveryFolder folder(files.Path(name) + "/recovery");
        std::string error;
        ASSERT_TRUE(folder.Write(other, Record("/w/b", false, 1), FileOps::Default(), error)) << error;
        EXPECT_EQ(ModeOf(folder.GetPath()), 0700u);
        files.Write(name + std::string("/recovery/") + slot + ".lock", "1\n");
        for (const std::string &path : {folder.GetPath(), folder.RecoveryPath(other), folder.LockPath(slot)})
            chmod(path.c_str(), 0755);
        ASSERT_TRUE(folder.Write(slot, Record("/w/a", false, 1), FileOps::Default(), error)) << error;
        EXPECT_EQ(folder.TakeLock(slot), 0);
        EXPECT_EQ(folder.Unkept().size(), 2u);
        for (const std::string &path : {folder.RecoveryPath(slot), folder.LockPath(slot), folder.RecoveryPath(other)})
            EXPECT_EQ(ModeOf(path), 0600u) << path;
        EXPECT_EQ(ModeOf(folder.GetPath()), 0700u);
        folder.ReleaseLock(slot);
    }
    umask(umaskBefore);
}

// Only regular files of this user's are recovery files and locks: a link
// is never followed (what it points to is neither replaced nor offered), a
// FIFO never waited on, another user's file never read, and each is left as
// it is. A file cut short is offered for what it holds, and stays.
TEST(RecoveryFolder, TakesOnlyRecoveryFilesOfThisUsers)
{
    TestFiles files;
    const RecoveryFolder folder(files.Dir());
    const std::string precious = files.Write("precious", "mine");
    std::string error;
    for (const std::string slot : {"link", "linked", "fifo", "fifolock", "linklock", "theirs", "cut"})
        ASSERT_TRUE(folder.Write(slot, Record(slot, false, 1), FileOps::Default(), error)) << error;
    std::filesystem::rename(folder.RecoveryPath("linked"), files.Path("record"));
    std::filesystem::remove(folder.RecoveryPath("link"));
    std::filesystem::remove(folder.RecoveryPath("fifo"));
    ASSERT_EQ(symlink(precious.c_str(), folder.RecoveryPath("link").c_str()) | symlink("record", folder.RecoveryPath("linked").c_str())
                  | symlink(precious.c_str(), folder.LockPath("linklock").c_str()) | mkfifo(folder.RecoveryPath("fifo").c_str(), 0600)
                  | mkfifo(folder.LockPath("fifolock").c_str(), 0600),
              0);
    ASSERT_EQ(chown(folder.RecoveryPath("theirs").c_str(), 65534, 65534) == 0, Unprivileged::AsRoot());
    const std::string cut = TestFiles::ReadBytes(folder.RecoveryPath("cut"));
    std::filesystem::resize_file(folder.RecoveryPath("cut"), cut.size() - 10);

    EXPECT_FALSE(folder.Write("link", Record("new", false, 2), FileOps::Default(), error));
    EXPECT_EQ(error, folder.RecoveryPath("link") + " is not a regular file of this user's");
    for (const std::string slot : {"fifolock", "linklock"}) {
        EXPECT_EQ(folder.TakeLock(slot), 0);
        folder.ReleaseLock(slot);
    }
    std::string offered;
    for (const RecoveryFolder::Entry &entry : folder.Unkept()) {
        const std::string bytes = Record(entry.slot, false, 1).bytes;
        EXPECT_EQ(entry.record.bytes, bytes.substr(0, bytes.size() - entry.record.missing)) << entry.slot;
        offered += entry.slot + " " + std::to_string(entry.record.missing) + ", ";
    }
    EXPECT_EQ(offered, std::string("cut 10, fifolock 0, linklock 0, ") + (Unprivileged::AsRoot() ? "" : "theirs 0, "));
    EXPECT_EQ(TestFiles::ReadBytes(precious), "mine");
    EXPECT_EQ(TestFiles::ReadBytes(folder.RecoveryPath("cut")), cut.substr(0, cut.size() - 10));
    EXPECT_EQ(files.EntryCount(), 11) << "all left where they are";
}
} // namespace
