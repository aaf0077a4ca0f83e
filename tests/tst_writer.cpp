// Writing .dlg files: the exact bytes, what reading them gives back, and
// that a failed save never harms the file that was there.
#include "TestFiles.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/FileOps.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <array>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Crlf(std::string_view lf)
{
    std::string out;
    for (const char c : lf)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

DialogLine *AddPage(DialogFile &file, std::string_view label, std::string_view speech)
{
    DialogLine *page = file.NewPage();
    page->SetLabel(label);
    page->SetSpeech(speech);
    page->SetFemaleSpeech(speech);
    return page;
}

DialogLine *AddOption(DialogLine &page, std::string_view speech, DialogLine *target = nullptr)
{
    auto option = std::make_unique<DialogLine>();
    option->SetSpeech(speech);
    option->SetIntelligenceCheck("1");
    option->SetTarget(target);
    page.AddOption(std::move(option));
    return page.GetOption(page.GetOptionCount() - 1);
}

TEST(Writer, WritesTheWorkedExample)
{
    TestFiles files;
    DialogFile file;
    file.SetFileName(files.Path("out.dlg"));
    DialogLine *start = AddPage(file, "Start", "Hello.");
    start->SetDescription("First meeting");
    DialogLine *who = AddOption(*start, "Who are you?");
    who->SetFemaleSpeech("1");
    who->SetIntelligenceCheck("5");
    AddOption(*start, "E:");
    who->SetTarget(AddPage(file, "Farewell", "Bye."));

    ASSERT_TRUE(file.Write());
    EXPECT_EQ(TestFiles::ReadBytes(files.Path("out.dlg")), Crlf("// [LABEL] Start\n"
                                                               "// [DESCRIPTION] First meeting\n"
                                                               "{1}{Hello.}{Hello.}{}{1}{}{}\n"
                                                               "{2}{Who are you?}{1}{5}{}{21}{}\n"
                                                               "{3}{E:}{}{1}{}{}{}\n"
                                                               "\n"
                                                               "// [LABEL] Farewell\n"
                                                               "{21}{Bye.}{Bye.}{}{2}{}{}\n"
                                                               "\n"));
    EXPECT_FALSE(file.IsModified());
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
        {"remarks skip empty lines; the description comes first",
         "// a\n//\n// [DESCRIPTION] d\n// b\n{1}{Hi}{Hi}{}{}{}{}",
         "// [LABEL] 1\n// [DESCRIPTION] d\n// a\n// b\n{1}{Hi}{Hi}{}{1}{}{}\n\n"},
        {"percent signs and unknown targets",
         "{1}{Sure, 100%}{Sure, 100%}{}{}{7}{}\n{2}{x}{}{}{}{77}{}\n",
         "// [LABEL] 1\n{1}{Sure, 100%}{Sure, 100%}{}{1}{}{}\n{2}{x}{}{}{}{}{}\n\n"},
        {"canonical codes", "{1}{R: 5,a}{M:}{}{}{}{}\n{2}{Z:7,3}{}{}{}{}{}\n{3}{U:12}{}{}{}{}{}\n",
         "// [LABEL] 1\n{1}{R:5,a}{M:0,0}{}{1}{}{}\n{2}{Z:7}{}{}{}{}{}\n{3}{U:12}{}{}{}{}{}\n\n"},
        {"option labels are not written; comments move above their line",
         "{1}{Hi}{Hi}{}{}{}{}\n// [LABEL] opt\n{2}{A}{}{}{}{}{} // [DESCRIPTION] d\n",
         "// [LABEL] 1\n{1}{Hi}{Hi}{}{1}{}{}\n// [DESCRIPTION] d\n{2}{A}{}{}{}{}{}\n\n"},
        // Request money keeps leading to the same page when numbers change.
        {"money pages follow renumbering",
         "{1}{A}{A}{}{}{}{}\n{5}{M:10,41}{}{}{}{}{}\n{6}{M:10,99}{}{}{}{}{}\n{41}{Paid}{M:3,1}{}{}{}{}\n",
         "// [LABEL] 1\n{1}{A}{A}{}{1}{}{}\n{2}{M:10,21}{}{}{}{}{}\n{3}{M:10,99}{}{}{}{}{}\n\n"
         "// [LABEL] 41\n{21}{Paid}{M:3,1}{}{2}{}{}\n\n"},
    };
    for (const Case &c : cases) {
        TestFiles files;
        DialogFile file;
        ASSERT_TRUE(file.Read(files.Write("in.dlg", c.input))) << c.name;
        EXPECT_EQ(file.WriteText(), Crlf(c.output)) << c.name;
    }
}

TEST(Writer, PageAfterTwentyFiveOptionsIsFortyOne)
{
    DialogFile file;
    DialogLine *first = AddPage(file, "A", "a");
    DialogLine *second = AddPage(file, "B", "b");
    for (int i = 0; i < 25; ++i)
        AddOption(*first, "o", second);
    const std::string bytes = file.WriteText();
    EXPECT_EQ(second->GetNumber(), 41);
    EXPECT_NE(bytes.find("{26}{o}{}{1}{}{41}{}\r\n"), std::string::npos);
}

TEST(Writer, EmptyLabelReadsBackAsItsNumber)
{
    TestFiles files;
    DialogFile file;
    file.SetFileName(files.Path("out.dlg"));
    AddPage(file, "A", "a");
    AddPage(file, "", "b");
    ASSERT_TRUE(file.Write());
    EXPECT_NE(TestFiles::ReadBytes(file.GetFileName()).find("// [LABEL] \r\n{21}"), std::string::npos);
    DialogFile back;
    ASSERT_TRUE(back.Read(file.GetFileName()));
    EXPECT_EQ(back.GetPage(1)->GetLabel(), "21");
}

// Documents made of texts that the format can carry: what is written reads
// back as the same document, and writing that again gives the same bytes.
class RandomDocument {
public:
    explicit RandomDocument(unsigned seed) : m_random(seed) {}

    void Fill(DialogFile &file)
    {
        const int pages = Pick(1, 12);
        for (int p = 0; p < pages; ++p) {
            DialogLine *page = file.NewPage();
            page->SetLabel(Word());
            const std::string male = Speech();
            page->SetSpeech(male);
            if (Pick(0, 1)) {
                page->SetFemaleSpeech(male);
            } else {
                page->SetFemaleSpeech("!" + male);
                page->ClearSameSpeechForBoth();
            }
            page->SetIntelligenceCheck(Text());
            page->SetResults(Text());
            Decorate(*page);
            const int options = Pick(0, 25);
            for (int o = 0; o < options; ++o) {
                auto option = std::make_unique<DialogLine>();
                option->SetSpeech(Speech());
                option->SetFemaleSpeech(std::array{"", "0", "1"}[Pick(0, 2)]);
                option->SetIntelligenceCheck(std::array{"1", "5", "+3", "-8", ""}[Pick(0, 4)]);
                option->SetConditions(Text());
                option->SetResults(Text());
                Decorate(*option);
                page->AddOption(std::move(option));
            }
        }
        for (int p = 0; p < file.GetPageCount(); ++p) {
            for (int o = 0; o < file.GetPage(p)->GetOptionCount(); ++o) {
                const int target = Pick(-1, file.GetPageCount() - 1);
                file.GetPage(p)->GetOption(o)->SetTarget(target < 0 ? nullptr : file.GetPage(target));
            }
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Letters, digits, blanks, punctuation and bytes above 0x7F, but no
    // line break, brace, slash or bracket.
    std::string Text()
    {
        static const std::string alphabet = "abcXYZ 019%:,.!?\t\x80\x81\xe9\xff";
        std::string text;
        for (int i = Pick(0, 12); i > 0; --i)
            text += alphabet[static_cast<size_t>(Pick(0, static_cast<int>(alphabet.size()) - 1))];
        return text;
    }
    std::string Word()
    {
        std::string word = "w" + Text();
        while (word.back() == ' ' || word.back() == '\t')
            word.pop_back();
        return word;
    }
    std::string Speech()
    {
        static const char *const codes[] = {"R:50,a,b", "E:", "M:5,1", "G:hi", "U:3", "T:", "D:1,x"};
        return Pick(0, 3) == 0 ? codes[Pick(0, 6)] : Word();
    }
    void Decorate(DialogLine &line)
    {
        if (Pick(0, 2) == 0)
            line.SetDescription(Word());
        std::string remarks;
        for (int i = Pick(0, 2); i > 0; --i)
            remarks += Word() + "\n";
        line.SetComment(remarks);
    }

    std::mt19937 m_random;
};

TEST(Writer, WhatIsWrittenReadsBack)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        TestFiles files;
        DialogFile original;
        RandomDocument(seed).Fill(original);
        original.SetFileName(files.Path("a.dlg"));
        ASSERT_TRUE(original.Write()) << seed;
        // An option's label is not written; it reads back as its number.
        for (int p = 0; p < original.GetPageCount(); ++p) {
            for (int o = 0; o < original.GetPage(p)->GetOptionCount(); ++o) {
                DialogLine *option = original.GetPage(p)->GetOption(o);
                option->SetLabel(std::to_string(option->GetNumber()));
            }
        }

        DialogFile back;
        ASSERT_TRUE(back.Read(original.GetFileName())) << seed;
        EXPECT_EQ(TestFiles::Describe(back), TestFiles::Describe(original)) << seed;
        back.SetFileName(files.Path("b.dlg"));
        ASSERT_TRUE(back.Write()) << seed;
        EXPECT_EQ(TestFiles::ReadBytes(files.Path("b.dlg")), TestFiles::ReadBytes(files.Path("a.dlg"))) << seed;
    }
}

// Fails one chosen step of saving.
class FailingOps : public FileOps {
public:
    enum Step { CreateTempStep, WriteStep, ShortWriteStep, SyncStep, CloseStep, RenameStep };
    explicit FailingOps(Step step) : m_step(step) {}

    int CreateTemp(std::string &pathTemplate) override
    {
        return m_step == CreateTempStep ? Fail(EACCES) : FileOps::CreateTemp(pathTemplate);
    }
    ssize_t Write(int fd, const char *data, size_t size) override
    {
        if (m_step == WriteStep)
            return Fail(EIO);
        if (m_step == ShortWriteStep) // a first short write, then nothing more fits
            return m_wrote++ ? 0 : FileOps::Write(fd, data, size / 2);
        return FileOps::Write(fd, data, size);
    }
    int Sync(int fd) override { return m_step == SyncStep ? Fail(EIO) : FileOps::Sync(fd); }
    int Close(int fd) override
    {
        const int result = FileOps::Close(fd);
        return m_step == CloseStep ? Fail(EIO) : result;
    }
    int Rename(const std::string &from, const std::string &to) override
    {
        return m_step == RenameStep ? Fail(EXDEV) : FileOps::Rename(from, to);
    }

private:
    static int Fail(int error)
    {
        errno = error;
        return -1;
    }
    Step m_step;
    int m_wrote = 0;
};

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
        EXPECT_TRUE(file.IsModified()) << step;
    }
}

TEST(Writer, ReplacesFilesWhereTheyAre)
{
    TestFiles files;
    DialogFile file;
    AddPage(file, "A", "a");

    file.SetFileName(files.Path("not-a-folder") + "/x.dlg");
    files.Write("not-a-folder", "text");
    EXPECT_FALSE(file.Write());
    EXPECT_EQ(file.GetErrorText(), "Not a directory");
    EXPECT_TRUE(file.IsModified());

    // Through a symbolic link, the file it points to is replaced and the link stays.
    const std::string real = files.Write("real.dlg", "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.dlg", files.Path("link.dlg").c_str()), 0);
    file.SetFileName(files.Path("link.dlg"));
    ASSERT_TRUE(file.Write()) << file.GetErrorText();
    EXPECT_FALSE(file.IsModified());
    EXPECT_TRUE(std::filesystem::is_symlink(files.Path("link.dlg")));
    EXPECT_EQ(TestFiles::ReadBytes(real).substr(0, 13), "// [LABEL] A\r");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the old file's permissions carry over";
    EXPECT_EQ(files.EntryCount(), 3);
}

} // namespace
