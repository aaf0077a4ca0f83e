// Recovery files: the record read back, where each document's file goes,
// what is offered, stale locks, and a write that fails.
#include "FullDisk.h"
#include "TestFiles.h"
#include "storage/RecoveryFolder.h"
#include "storage/RecoveryLock.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process that is alive until killed, and one that is gone.
pid_t LiveProcess()
{
    const pid_t child = fork();
    if (child == 0) {
        pause();
        _exit(0);
    }
    return child;
}
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
    // A file cut short anywhere, or with anything after the bytes, is no record.
    for (size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_FALSE(RecoveryRecord::Parse(text.substr(0, cut), back)) << "cut at " << cut;
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

TEST(RecoveryLock, LocksOfProcessesGoneAreTakenOver)
{
    TestFiles files;
    const std::string lock = files.Path("a.lock");
    EXPECT_EQ(RecoveryLock::Take(lock), 0);
    EXPECT_EQ(TestFiles::ReadBytes(lock), std::to_string(getpid()) + "\n");
    EXPECT_EQ(RecoveryLock::Take(lock), 0) << "taken again by its holder";

    const pid_t live = LiveProcess();
    const std::pair<std::string, pid_t> cases[] = {
        {std::to_string(live) + "\n", live},
        {std::to_string(GoneProcess()) + "\n", 0},
        {"", 0},
        {"not a number", 0},
    };
    for (const auto &[text, holder] : cases) {
        files.Write("a.lock", text);
        EXPECT_EQ(RecoveryLock::HolderOf(lock), holder) << text;
        EXPECT_EQ(RecoveryLock::Take(lock), holder) << text;
        EXPECT_EQ(TestFiles::ReadBytes(lock), holder ? text : std::to_string(getpid()) + "\n") << text;
        RecoveryLock::Release(lock);
        EXPECT_EQ(TestFiles::ReadBytes(lock).empty(), holder == 0) << "released only by its holder: " << text;
    }
    kill(live, SIGKILL);
    waitpid(live, nullptr, 0);
    EXPECT_EQ(files.EntryCount(), 0) << "no temporary lock stays behind";
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
    const pid_t live = LiveProcess();
    files.Write("data/recovery/" + kept + ".lock", std::to_string(live) + "\n");
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
    kill(live, SIGKILL);
    waitpid(live, nullptr, 0);
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
    files.Write("." + slot + ".recovery.Xy12Zq", "cut sh");
    EXPECT_EQ(folder.TakeLock(slot), 0);
    folder.ReleaseLock(slot);
    EXPECT_EQ(files.EntryCount(), 1);

    files.Write("file", "not a folder");
    EXPECT_FALSE(RecoveryFolder(files.Path("file/recovery")).Write(slot, record, FileOps::Default(), error));
    EXPECT_EQ(error, "Not a directory");
    EXPECT_FALSE(RecoveryFolder("").Write(slot, record, FileOps::Default(), error)) << "no data folder at all";
}

} // namespace
