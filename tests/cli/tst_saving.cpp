// dlgtool's saves (format -o) against cp's on the same file, run as an
// unprivileged user: a file that cp could not write is not replaced, with
// cp's reason; one that cp could write is saved, and keeps what it was:
// its mode (setuid and setgid too), owner, group, hard links and extended
// attributes (an access control list among them), whatever folder it is in
// and however long its name.
#include "TestFiles.h"
#include "Unprivileged.h"

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Another user, and groups the unprivileged user is in and is not in (root only).
constexpr uid_t kOther = 1;
constexpr gid_t kOurOtherGroup = 1;
constexpr gid_t kForeignGroup = 2;

// The exit status and standard error of program run as the unprivileged
// user, with TMPDIR set to tmp.
std::pair<int, std::string> RunUnprivileged(const std::vector<std::string> &args, const std::string &tmp)
{
    const TestFiles capture;
    const std::string errPath = capture.Path("err");
    const pid_t child = fork();
    if (child == 0) {
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err < 0 || dup2(err, 2) < 0 || setenv("TMPDIR", tmp.c_str(), 1) != 0 || !Unprivileged::Become({kOurOtherGroup}))
            _exit(126);
        umask(022);
        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), TestFiles::ReadBytes(errPath)};
}

// What a save must keep of a file.
struct Kept {
    unsigned mode;
    uid_t owner;
    gid_t group;
    nlink_t links;
    std::map<std::string, std::string> attributes;
    bool operator==(const Kept &) const = default;
};

Kept KeptOf(const std::string &path)
{
    struct stat st {};
    stat(path.c_str(), &st);
    Kept kept{st.st_mode & 07777, st.st_uid, st.st_gid, st.st_nlink, {}};
    char names[4096];
    const ssize_t size = listxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t length = getxattr(path.c_str(), names + at, value, sizeof value);
        kept.attributes[names + at] = std::string(value, static_cast<size_t>(std::max<ssize_t>(length, 0)));
    }
    return kept;
}

void PrintTo(const Kept &kept, std::ostream *out)
{
    *out << std::oct << "mode " << kept.mode << std::dec << ", owner " << kept.owner << ", group " << kept.group << ", links " << kept.links
         << ", attributes";
    for (const auto &[name, value] : kept.attributes)
        *out << " " << name << " (" << value.size() << " bytes)";
}

// An access control list that lets the other user read and write: the
// system's own encoding (version 2; tag, permissions, id per entry).
std::string AccessControlList()
{
    const std::uint32_t version = 2;
    const struct {
        std::uint16_t tag, permissions;
        std::uint32_t id;
    } entries[] = {{0x01, 6, ~0U}, {0x02, 6, kOther}, {0x04, 4, ~0U}, {0x10, 6, ~0U}, {0x20, 4, ~0U}};
    return std::string(reinterpret_cast<const char *>(&version), sizeof version) + std::string(reinterpret_cast<const char *>(entries), sizeof entries);
}

struct Case {
    const char *what;
    std::string name = "out.dlg";
    bool exists = true;
    uid_t owner = Unprivileged::User();
    gid_t group = Unprivileged::Group();
    unsigned mode = 0644;
    unsigned folderMode = 0755; // the unprivileged user's folder
    bool linked = false;        // a second hard link beside it
    bool attributes = false;    // a user attribute and an access control list
    bool asRootOnly = false;    // another user's file: only root can make one
};

// The case's folder and file, as the unprivileged user finds them.
void Make(const Case &c, const std::string &folder)
{
    std::filesystem::create_directories(folder);
    ASSERT_EQ(chown(folder.c_str(), Unprivileged::User(), Unprivileged::Group()), 0);
    const std::string path = folder + "/" + c.name;
    if (c.exists) {
        std::ofstream(path) << "old";
        ASSERT_EQ(chown(path.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        if (c.attributes) {
            ASSERT_EQ(setxattr(path.c_str(), "user.note", "kept", 4, 0), 0);
            const std::string acl = AccessControlList();
            ASSERT_EQ(setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
        }
        if (c.linked)
            ASSERT_EQ(link(path.c_str(), (folder + "/link.dlg").c_str()), 0);
    }
    ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
}

// The system's reason at the end of a message: what follows its last ": ".
std::string Reason(const std::string &message)
{
    const size_t colon = message.rfind(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

TEST(Saving, DoesWhatCpDoesAndKeepsWhatTheFileWas)
{
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0755), 0);
    // The programs and the input where the unprivileged user can reach them.
    const std::string dlgtool = files.Path("dlgtool");
    std::filesystem::copy_file(TALKWRIGHT_DLGTOOL, dlgtool);
    ASSERT_EQ(chmod(dlgtool.c_str(), 0755), 0);
    const std::string input = files.Write("in.dlg", kWorkedExample);
    ASSERT_EQ(chmod(input.c_str(), 0644), 0);
    const std::string tmp = files.Path("tmp");
    std::filesystem::create_directories(tmp);
    ASSERT_EQ(chmod(tmp.c_str(), 01777), 0);

    const std::string longName = std::string(251, 'n') + ".dlg";
    std::string accented;
    for (int i = 0; i < 125; ++i)
        accented += "\xC3\xA9";
    const Case cases[] = {
        {.what = "a file of one's own"},
        {.what = "a read-only file of one's own", .mode = 0444},
        {.what = "another user's file in a folder anyone may write, not in its group", .owner = kOther, .group = kForeignGroup, .mode = 0664,
         .folderMode = 0777, .asRootOnly = true},
        {.what = "another user's file in a folder anyone may write, in its group", .owner = kOther, .group = kOurOtherGroup, .mode = 0664,
         .folderMode = 0777, .asRootOnly = true},
        {.what = "another user's file that anyone may write", .owner = kOther, .group = kForeignGroup, .mode = 0666, .asRootOnly = true},
        {.what = "setuid and setgid", .mode = 06755},
        {.what = "hard links", .linked = true},
        {.what = "extended attributes and an access control list", .mode = 0664, .attributes = true},
        {.what = "a folder that may not be written, holding a file that may", .folderMode = 0555},
        {.what = "a folder that may not be written, and no file", .exists = false, .folderMode = 0555},
        {.what = "a name of 255 bytes", .name = longName},
        {.what = "a name of 255 bytes, new", .name = longName, .exists = false},
        {.what = "a name of 250 bytes in two-byte characters", .name = accented},
    };
    int number = 0;
    for (const Case &c : cases) {
        if (c.asRootOnly && !Unprivileged::AsRoot()) {
            std::printf("skipped, not run as root: %s\n", c.what);
            continue;
        }
        const std::string byCp = files.Path("cp" + std::to_string(number));
        const std::string bySave = files.Path("save" + std::to_string(number++));
        Make(c, byCp);
        Make(c, bySave);
        const std::string target = bySave + "/" + c.name;
        const Kept before = KeptOf(target);
        const auto [cpStatus, cpError] = RunUnprivileged({"/bin/cp", input, byCp + "/" + c.name}, tmp);
        const auto [status, error] = RunUnprivileged({dlgtool, "format", input, "-o", target}, tmp);

        EXPECT_EQ(status == 0, cpStatus == 0) << c.what << ": dlgtool said " << error << ", cp said " << cpError;
        if (cpStatus != 0)
            EXPECT_EQ(Reason(error), Reason(cpError)) << c.what;
        if (status == 0) {
            EXPECT_EQ(TestFiles::ReadBytes(target), kWorkedExample) << c.what;
            if (c.exists)
                EXPECT_EQ(KeptOf(target), before) << c.what;
            if (c.linked)
                EXPECT_EQ(TestFiles::ReadBytes(bySave + "/link.dlg"), kWorkedExample) << c.what << ": the other link";
        } else if (c.exists) {
            EXPECT_EQ(TestFiles::ReadBytes(target), "old") << c.what;
        }
        const size_t entries = (c.exists || status == 0 ? 1 : 0) + (c.linked ? 1 : 0);
        EXPECT_EQ(static_cast<size_t>(std::distance(std::filesystem::directory_iterator(bySave), {})), entries) << c.what << ": a temporary file is left";
        EXPECT_TRUE(std::filesystem::is_empty(tmp)) << c.what << ": a temporary file is left in TMPDIR";
        chmod(byCp.c_str(), 0755); // for the clean-up
        chmod(bySave.c_str(), 0755);
    }
}

} // namespace
