// Writing .dlg files: the numbers pages get, the exact bytes, that a save
// never leaves a file half written, whichever step fails, and whether a file
// may be created or another program changed it.
#include "TestFiles.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "storage/DiskStamp.h"
#include "storage/FileOps.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(Model, RenumbersInBlocksOfTwenty)
{
    // The options of each page, and the numbers the pages get.
    const std::pair<std::vector<int>, std::vector<int>> cases[] = {
        {{19, 0}, {1, 21}}, {{20, 0}, {1, 41}}, {{3, 25, 0}, {1, 21, 61}}, {{0, 0, 0}, {1, 21, 41}}, {{}, {}},
    };
    for (const auto &[options, numbers] : cases) {
        DialogFile file;
        for (const int count : options) {
            DialogLine *page = file.NewPage();
            for (int i = 0; i < count; ++i)
                page->AddOption(std::make_unique<DialogLine>());
        }
        file.Renumber();
        for (int p = 0; p < file.GetPageCount(); ++p) {
            const DialogLine *page = file.GetPage(p);
            EXPECT_EQ(page->GetNumber(), numbers[static_cast<size_t>(p)]);
            for (int o = 0; o < page->GetOptionCount(); ++o)
                EXPECT_EQ(page->GetOption(o)->GetNumber(), page->GetNumber() + 1 + o);
        }
    }
}

TEST(Writer, FixedShapes)
{
    struct Case {
        const char *name;
        std::string input;  // read first, then written
        std::string output; // with LF standing for CR LF
    };
    const Case cases[] = {
        {"no pages", "\r\n \n", ""},
        {"an option targeting its own page",
         "// [LABEL] P\n{9}{Hi}{Hi}{x}{}{}{y}\n{3}{A}{}{}{}{}{}\n{4}{B}{}{}{}{9}{}\n",
         "// [LABEL] P\n{1}{Hi}{Hi}{x}{1}{}{y}\n{2}{A}{}{}{}{}{}\n{3}{B}{}{}{}{1}{}\n\n"},
        {"remarks keep their empty lines; the description comes first",
         "// a\n//  \n// [DESCRIPTION] d\n// b\n{1}{Hi}{Hi}{}{}{}{}",
         "// [LABEL] 1\n// [DESCRIPTION] d\n// a\n//\n// b\n{1}{Hi}{Hi}{}{1}{}{}\n\n"},
        {"percent signs and unknown targets",
         "{1}{Sure, 100%}{Sure, 100%}{}{}{7}{}\n{2}{x}{}{}{}{77}{}\n",
         "// [LABEL] 1\n{1}{Sure, 100%}{Sure, 100%}{}{1}{}{}\n{2}{x}{}{}{}{}{}\n\n"},
        {"canonical codes", "{1}{R: 5,a}{M:}{}{}{}{}\n{2}{Z:7,3}{}{}{}{}{}\n{3}{U:12}{}{}{}{}{}\n",
         "// [LABEL] 1\n{1}{R:5,a}{M:0,0}{}{1}{}{}\n{2}{Z:7}{}{}{}{}{}\n{3}{U:12}{}{}{}{}{}\n\n"},
        {"option labels are not written; comments move above their line",
         "{1}{Hi}{Hi}{}{}{}{}\n// [LABEL] opt\n{2}{A}{}{}{}{}{} // [DESCRIPTION] d\n",
         "// [LABEL] 1\n{1}{Hi}{Hi}{}{1}{}{}\n// [DESCRIPTION] d\n{2}{A}{}{}{}{}{}\n\n"},
        // Request money keeps leading to the same page when numbers change;
        // a number that names no page ends the dialog, as it did, and never
        // comes to name the page that renumbering gives it (99 here, 21 below).
        {"money pages follow renumbering",
         "{1}{A}{A}{}{}{}{}\n{5}{M:10,41}{}{}{}{}{}\n{6}{M:10,99}{}{}{}{}{}\n{41}{Paid}{M:3,1}{}{}{}{}\n",
         "// [LABEL] 1\n{1}{A}{A}{}{1}{}{}\n{2}{M:10,21}{}{}{}{}{}\n{3}{M:10,0}{}{}{}{}{}\n\n"
         "// [LABEL] 41\n{21}{Paid}{M:3,1}{}{2}{}{}\n\n"},
        {"money to no page", "{5}{M:5,21}{M:5,21}{}{}{}{}\n{6}{a}{}{}{}{}{}\n", "// [LABEL] 5\n{1}{M:5,0}{M:5,0}{}{1}{}{}\n{2}{a}{}{}{}{}{}\n\n"},
        // Names are written as they read back: an empty one as the page's number.
        {"an unnamed page", "{1}{a}{a}{}{}{}{}\n{}{b}{b}{}{}{}{}\n", "// [LABEL] 1\n{1}{a}{a}{}{1}{}{}\n\n// [LABEL] 21\n{21}{b}{b}{}{2}{}{}\n\n"},
        {"blanks around a name", "{ A\t}{a}{a}{}{}{}{}\n{ }{b}{b}{}{}{}{}\n", "// [LABEL] A\n{1}{a}{a}{}{1}{}{}\n\n// [LABEL] 21\n{21}{b}{b}{}{2}{}{}\n\n"},
        // One "}" that closes two fields: each field keeps its place, so the
        // option still leads to its page; the "{" becomes a blank.
        {"a brace shared by two fields", "{1}{Hi}{Hi}{}{}{}{}\n{2}{Go}{}{1{}{21}{}\n{21}{x{y}{z}{}{}{}{}\n",
         "// [LABEL] 1\n{1}{Hi}{Hi}{}{1}{}{}\n{2}{Go}{}{1 }{}{21}{}\n\n// [LABEL] 21\n{21}{x y}{y}{z}{2}{}{}\n\n"},
    };
    for (const Case &c : cases) {
        DialogFile file;
        ASSERT_TRUE(file.ReadText(c.input)) << c.name;
        EXPECT_EQ(file.WriteText(), TestFiles::Crlf(c.output)) << c.name;
        // What was written is what the document holds: a page's field 4 is its position.
        for (int p = 0; p < file.GetPageCount(); ++p) {
            EXPECT_EQ(file.GetPage(p)->ViewFields()[4], std::to_string(p + 1)) << c.name;
            EXPECT_EQ(file.GetPage(p)->GetConditions(), std::to_string(p + 1)) << c.name;
        }
        EXPECT_FALSE(file.IsModified()) << c.name;
    }
}

// Fails one chosen step of saving; a short write writes half, then nothing more fits.
class FailingOps : public FileOps {
public:
    enum Step { CreateTempStep, WriteStep, ShortWriteStep, SyncStep, CloseStep, RenameStep };
    explicit FailingOps(Step step) : m_step(step) {}

    int CreateTemp(std::string &pathTemplate) override { return Fails(CreateTempStep, EACCES) ? -1 : FileOps::CreateTemp(pathTemplate); }
    ssize_t Write(int fd, const char *data, size_t size) override
    {
        if (m_step == ShortWriteStep)
            return m_wrote++ ? 0 : FileOps::Write(fd, data, size / 2);
        return Fails(WriteStep, EIO) ? -1 : FileOps::Write(fd, data, size);
    }
    int Sync(int fd) override { return Fails(SyncStep, EIO) ? -1 : FileOps::Sync(fd); }
    int Close(int fd) override { return FileOps::Close(fd) != 0 || Fails(CloseStep, EIO) ? -1 : 0; }
    int Rename(const std::string &from, const std::string &to) override { return Fails(RenameStep, EXDEV) ? -1 : FileOps::Rename(from, to); }

private:
    bool Fails(Step step, int error)
    {
        if (step == m_step)
            errno = error;
        return step == m_step;
    }
    Step m_step;
    int m_wrote = 0;
};

// An option as read whose text is its seven fields alone is written from
// its bytes, its numbers put in; any other field by field. Either way, what
// is written is what the fields say and reads back so: a "{" the bytes hold
// in field 6, one in a field before it (written as a blank, so that no field
// moves), a speech that could be a code, text the fields do not hold.
TEST(Writer, OptionsAsRead)
{
    const struct {
        std::string option; // read under one page
        std::string written;
    } cases[] = {
        {"{5}{Go}{1}{+3}{c}{1}{r}", "{2}{Go}{1}{+3}{c}{1}{r}"},
        {"{5}{}{}{}{}{}{}", "{2}{}{}{}{}{}{}"},
        {"{5}{E}{}{}{}{}{}", "{2}{E}{}{}{}{}{}"},
        {"{5}{Z:7,3}{}{}{}{}{}", "{2}{Z:7}{}{}{}{}{}"},
        {"{5}{a:b}{}{}{}{}{}", "{2}{a:b}{}{}{}{}{}"},
        {"{5}{Hi:}{}{}{}{}{}", "{2}{Hi:}{}{}{}{}{}"},
        {"{5}{Go}{}{}{}{1}{x{}", "{2}{Go}{}{}{}{1}{x{}"},
        {"{5}{a{1}{}{}{}{}{}", "{2}{a 1}{1}{}{}{}{}"},
        {"{5} {Go}{}{}{}{1}{}", "{2}{Go}{}{}{}{1}{}"},
        {"{5}{Go}{}{}{}{1}{} x", "{2}{Go}{}{}{}{1}{}"},
        {"{5}{Go}{}{}{}{77}{}", "{2}{Go}{}{}{}{}{}"},
    };
    for (const auto &c : cases) {
        DialogFile file;
        ASSERT_TRUE(file.ReadText("{1}{Hi}{Hi}{}{}{}{}\n" + c.option + "\n")) << c.option;
        EXPECT_EQ(file.WriteText(), TestFiles::Crlf("// [LABEL] 1\n{1}{Hi}{Hi}{}{1}{}{}\n" + c.written + "\n\n")) << c.option;
    }
}

TEST(Writer, AFailedSaveKeepsTheOldFile)
{
    const std::pair<FailingOps::Step, std::string> steps[] = {
        {FailingOps::CreateTempStep, "Permission denied"},
        {FailingOps::WriteStep, "Input/output error"},
        {FailingOps::ShortWriteStep, "No space left on device"},
        {FailingOps::SyncStep, "Input/output error"},
        {FailingOps::CloseStep, "Input/output error"},
        {FailingOps::RenameStep, "Invalid cross-device link"},
    };
    for (const auto &[step, error] : steps) {
        TestFiles files;
        const std::string old = "{1}{Old}{Old}{}{}{}{}\r\n";
        DialogFile file;
        ASSERT_TRUE(file.Read(files.Write("keep.dlg", old)));
        file.GetPage(0)->SetSpeech("New");
        FailingOps ops(step);
        EXPECT_FALSE(file.Write(ops)) << step;
        EXPECT_EQ(file.GetErrorText(), error) << step;
        EXPECT_EQ(TestFiles::ReadBytes(files.Path("keep.dlg")), old) << step;
        EXPECT_EQ(files.EntryCount(), 1) << "no temporary file stays behind, step " << step;
    }
}

// Through a symbolic link, the file it points to is replaced, with its
// permissions, and the link stays.
TEST(Writer, ReplacesFilesWhereTheyAre)
{
    TestFiles files;
    DialogFile file;
    ASSERT_TRUE(file.ReadText("// [LABEL] A\n{1}{a}{a}{}{}{}{}\n"));
    const std::string real = files.Write("real.dlg", "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.dlg", files.Path("link.dlg").c_str()), 0);
    file.SetFileName(files.Path("link.dlg"));
    ASSERT_TRUE(file.Write()) << file.GetErrorText();
    EXPECT_TRUE(std::filesystem::is_symlink(files.Path("link.dlg")));
    EXPECT_EQ(TestFiles::ReadBytes(real), file.WriteText());
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(files.EntryCount(), 2);
}

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
