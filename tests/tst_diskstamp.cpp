// Whether a file may be created, and whether another program changed it.
#include "TestFiles.h"
#include "model/DiskStamp.h"

#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(DiskStamp, MissingAndChangedFiles)
{
    TestFiles files;
    const std::string path = files.Write("a.dlg", "one");
    ASSERT_EQ(symlink("nowhere.dlg", files.Path("dangling.dlg").c_str()), 0);
    EXPECT_FALSE(DiskStamp::IsMissing(path));
    EXPECT_TRUE(DiskStamp::IsMissing(files.Path("none.dlg")));
    EXPECT_FALSE(DiskStamp::IsMissing(files.Path("dangling.dlg"))) << "a link is there: never offered for creation";

    const DiskStamp stamp = DiskStamp::Of(path);
    EXPECT_TRUE(stamp.exists);
    EXPECT_FALSE(stamp.ChangedOnDisk(path));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    files.Write("a.dlg", "two");
    EXPECT_TRUE(stamp.ChangedOnDisk(path));
    EXPECT_FALSE(DiskStamp{}.ChangedOnDisk(files.Path("none.dlg"))) << "nothing there to overwrite";
}

} // namespace
