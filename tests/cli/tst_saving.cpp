// dlgtool's saves (format -o) against cp's on the same file, run as an
// unprivileged user: a file that cp could not write is not replaced, with
// cp's reason; one that cp could write is saved and keeps its mode
// (setuid and setgid too), owner, group, hard links and extended
// attributes, whatever folder it is in and however long its name.
#include "DlgtoolRun.h"
#include "TestFiles.h"
#include "Unprivileged.h"

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

using namespace std::string_view_literals;

// Another user, and a group the unprivileged user is not in (root only).
constexpr uid_t kOther = 1;
constexpr gid_t kTheirs = 2;

// The exit status of a run as the unprivileged user, and the system's
// reason at the end of what it said.
std::pair<int, std::string> RunUnprivileged(const std::string &program, const std::vector<std::string> &args, const std::string &tmp)
{
    const Result result = RunProgram(program, {args, "/dev/null", "", RLIM_INFINITY, {{"TMPDIR", tmp}}});
    const size_t colon = result.err.rfind(": ");
    return {result.status, colon == std::string::npos ? result.err : result.err.substr(colon + 2)};
}

// What a save must keep of a file.
std::string Kept(const std::string &path)
{
    struct stat st {};
    stat(path.c_str(), &st);
    std::string kept = std::to_string(st.st_mode & 07777) + " " + std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " links "
        + std::to_string(st.st_nlink);
    char names[1024], value[1024];
    for (ssize_t at = 0, size = listxattr(path.c_str(), names, sizeof names); at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1)
        kept += std::string(" ") + (names + at) + "=" + std::string(value, std::max<ssize_t>(getxattr(path.c_str(), names + at, value, sizeof value), 0));
    return kept;
}

struct Case {
    const char *what;
    std::string name = "out.dlg";
    bool exists = true;
    uid_t owner = Unprivileged::User();
    gid_t group = Unprivileged::Group();
    unsigned mode = 0644, folderMode = 0755; // the folder is the unprivileged user's
    bool linked = false, attributes = false, asRootOnly = false;
};

void Make(const Case &c, const std::string &folder)
{
    std::filesystem::create_directories(folder);
    ASSERT_EQ(chown(folder.c_str(), Unprivileged::User(), Unprivileged::Group()), 0);
    const std::string path = folder + "/" + c.name;
    if (c.exists) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_EQ(write(fd, "old", 3), 3);
        close(fd);
        ASSERT_EQ(chown(path.c_str(), c.owner, c.group) | chmod(path.c_str(), c.mode), 0);
        // Read and write for the other user: the system's encoding (version; tag, permissions, id).
        const std::string_view acl = "\2\0\0\0" "\1\0\6\0\xFF\xFF\xFF\xFF" "\2\0\6\0\1\0\0\0" "\4\0\4\0\xFF\xFF\xFF\xFF"
                                     "\x10\0\6\0\xFF\xFF\xFF\xFF" "\x20\0\4\0\xFF\xFF\xFF\xFF"sv;
        ASSERT_EQ(c.attributes ? setxattr(path.c_str(), "user.note", "kept", 4, 0) | setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) : 0, 0);
        ASSERT_EQ(c.linked ? link(path.c_str(), (folder + "/link.dlg").c_str()) : 0, 0);
    }
    ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
}

TEST(Saving, DoesWhatCpDoesAndKeepsWhatTheFileWas)
{
    // The program, the input and TMPDIR where the unprivileged user reaches them.
    TestFiles files;
    const std::string dlgtool = files.Path("dlgtool"), tmp = files.Path("tmp");
    std::filesystem::copy_file(TALKWRIGHT_DLGTOOL, dlgtool);
    const std::string input = files.Write("in.dlg", kWorkedExample);
    std::filesystem::create_directory(tmp);
    ASSERT_EQ(chmod(files.Dir().c_str(), 0755) | chmod(dlgtool.c_str(), 0755) | chmod(input.c_str(), 0644) | chmod(tmp.c_str(), 01777), 0);

    const std::string longName = std::string(251, 'n') + ".dlg";
    std::string accented = "x";
    for (int i = 0; i < 125; ++i)
        accented += "\xC3\xA9";
    const Case cases[] = {
        {.what = "a file of one's own"},
        {.what = "a read-only file", .mode = 0444},
        {.what = "another's file, in a folder anyone may write", .owner = kOther, .group = kTheirs, .mode = 0664, .folderMode = 0777, .asRootOnly = true},
        {.what = "another's file that its group, ours, may write", .owner = kOther, .group = Unprivileged::Group(), .mode = 0664, .asRootOnly = true},
        {.what = "another's file that anyone may write", .owner = kOther, .group = kTheirs, .mode = 0666, .folderMode = 0777, .asRootOnly = true},
        {.what = "setuid and setgid", .mode = 06755},
        {.what = "hard links", .linked = true},
        {.what = "extended attributes and an access control list", .mode = 0664, .attributes = true},
        {.what = "a folder that may not be written, holding a file that may", .folderMode = 0555},
        {.what = "a folder that may not be written, and no file", .exists = false, .folderMode = 0555},
        {.what = "a name of 255 bytes, new", .name = longName, .exists = false},
        {.what = "a name of 251 bytes in two-byte characters", .name = accented},
    };
    int number = 0;
    for (const Case &c : cases) {
        if (c.asRootOnly && !Unprivileged::AsRoot())
            continue;
        const std::string byCp = files.Path("cp" + std::to_string(number)), folder = files.Path("save" + std::to_string(number++));
        Make(c, byCp);
        Make(c, folder);
        const std::string target = folder + "/" + c.name;
        const std::string before = Kept(target);
        const auto [cpStatus, cpReason] = RunUnprivileged("cp", {input, byCp + "/" + c.name}, tmp);
        const auto [status, reason] = RunUnprivileged(dlgtool, {"format", input, "-o", target}, tmp);

        EXPECT_EQ(status == 0, cpStatus == 0) << c.what << ": dlgtool said " << reason << ", cp said " << cpReason;
        EXPECT_EQ(reason, cpStatus == 0 ? "" : cpReason) << c.what;
        EXPECT_EQ(Kept(target), c.exists ? before : Kept(target)) << c.what;
        EXPECT_EQ(TestFiles::ReadBytes(target), status == 0 ? kWorkedExample : c.exists ? "old" : "") << c.what;
        EXPECT_EQ(TestFiles::ReadBytes(folder + "/link.dlg"), c.linked ? kWorkedExample : "") << c.what << ": the other link";
        const int entries = (c.exists || status == 0) + c.linked;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), entries) << c.what << ": a temporary file is left";
        EXPECT_TRUE(std::filesystem::is_empty(tmp)) << c.what << ": a temporary file is left in TMPDIR";
        ASSERT_EQ(chmod(byCp.c_str(), 0755) | chmod(folder.c_str(), 0755), 0); // for the clean-up
    }
}

} // namespace
