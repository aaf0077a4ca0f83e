// What the clipboard carries of copied lines: the lines as Save writes them,
// read back and pasted as one edit, their jumps kept where the document has
// their pages and ended where it has not; and text that is not dialog lines,
// refused whole.
#include "TestFiles.h"
#include "edits/CopiedLines.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <gtest/gtest.h>

namespace {

// Inn leads to Mill and to itself; Mill's Request money leads back to Inn.
const std::string kInn = "// [LABEL] Inn\n{1}{Hello}{Hello}{}{}{}{}\n"
                         "// [DESCRIPTION] the way on\n// ask first\n{2}{To the mill}{1}{5}{}{21}{}\n{3}{Again}{}{1}{}{1}{R}\n"
                         "// [LABEL] Mill\n{21}{M:5,1}{M:5,1}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n";

std::unique_ptr<DialogFile> Read(const std::string &text)
{
    auto file = std::make_unique<DialogFile>();
    EXPECT_TRUE(file->ReadText(text)) << file->GetErrorText();
    return file;
}

// The label of the page each option of page leads to, "-" for none.
std::string Targets(const DialogLine &page)
{
    std::string targets;
    for (int o = 0; o < page.GetOptionCount(); ++o) {
        const DialogLine *target = page.GetOption(o)->GetTarget();
        targets += (targets.empty() ? "" : ",") + (target ? target->GetLabel() : std::string("-"));
    }
    return targets;
}

// The text is what Save writes for the lines, numbers and comments too; a
// jump out of them names its page in the data, as Save numbers it.
TEST(CopiedLines, TheTextIsTheLinesAsSaveWritesThem)
{
    const auto file = Read(kInn);
    const CopiedLines options = CopiedLines::OfOptions(*file, 0, {0, 1});
    EXPECT_EQ(options.GetText(), TestFiles::Crlf("// [DESCRIPTION] the way on\n// ask first\n{2}{To the mill}{1}{5}{}{21}{}\n{3}{Again}{}{1}{}{1}{R}\n"));
    EXPECT_EQ(options.GetData(), "Talkwright lines\npage 21 Mill\npage 1 Inn\n\n" + options.GetText());

    const CopiedLines page = CopiedLines::OfPages(*file, {1});
    EXPECT_EQ(page.GetText(), TestFiles::Crlf("// [LABEL] Mill\n{21}{M:5,1}{M:5,1}{}{2}{}{}\n{22}{Back}{}{1}{}{1}{}\n\n"));
    // The copy leaves the document as it was.
    EXPECT_FALSE(file->IsModified());
    EXPECT_EQ(file->GetPage(1)->GetNumber(), 21);
}

// Pasted into the document they came from, jumps lead where they led; into
// a document without those pages, they end the dialog and are counted; a
// page's jump to itself leads to the pasted page. Undo takes it all back.
TEST(CopiedLines, PastedJumpsKeepTheirPagesWhereTheDocumentHasThem)
{
    const auto source = Read(kInn);
    struct Case {
        const char *name;
        std::string target;
        bool data; // the data came, or only the text
        std::string targets; // of the options pasted on the target's first page, after its own
        int cut;
    };
    const std::string other = "// [LABEL] Gate\n{1}{Halt}{Halt}{}{}{}{}\n{2}{Pass}{}{1}{}{}{}\n// [LABEL] Mill\n{21}{Grind}{Grind}{}{}{}{}\n";
    const Case cases[] = {
        {"same document", kInn, true, "Mill,Inn,Mill,Inn", 0},
        {"another with a Mill", other, true, "-,Mill,-", 1},
        {"text alone", kInn, false, "Mill,Inn,-,-", 2},
    };
    for (const Case &c : cases) {
        const auto file = Read(c.target);
        const std::string before = file->WriteText();
        const CopiedLines copied = CopiedLines::OfOptions(*source, 0, {0, 1});
        CopiedLines lines;
        std::string reason;
        ASSERT_TRUE(c.data ? lines.ReadData(copied.GetData(), reason) : lines.ReadText(copied.GetText(), reason)) << reason;
        EXPECT_FALSE(lines.HoldsPages()) << c.name;
        int cut = -1;
        DialogLine &page = *file->GetPage(0);
        DocumentEdit paste = lines.PasteOptions(*file, page, page.GetOptionCount(), cut);
        paste.Apply();
        EXPECT_EQ(Targets(page), c.targets) << c.name;
        EXPECT_EQ(cut, c.cut) << c.name;
        EXPECT_EQ(page.GetOption(page.GetOptionCount() - 2)->GetDescription(), "the way on") << c.name;
        EXPECT_EQ(page.GetOption(page.GetOptionCount() - 2)->GetFileLine(), 0) << c.name << ": pasted lines are not saved yet";
        paste.Revert();
        EXPECT_EQ(file->WriteText(), before) << c.name;
    }

    // A page: its jump to itself leads to the pasted page, renamed as a copy
    // is; its other jumps to the pages of the document; its Request money too.
    const auto file = Read(kInn);
    CopiedLines lines;
    std::string reason;
    ASSERT_TRUE(lines.ReadData(CopiedLines::OfPages(*source, {0, 1}).GetData(), reason)) << reason;
    ASSERT_TRUE(lines.HoldsPages());
    int cut = -1;
    DocumentEdit paste = lines.PastePages(*file, 2, cut);
    paste.Apply();
    ASSERT_EQ(file->GetPageCount(), 4);
    EXPECT_EQ(cut, 0);
    const DialogLine &inn = *file->GetPage(2);
    const DialogLine &mill = *file->GetPage(3);
    EXPECT_EQ(inn.GetLabel() + "/" + mill.GetLabel(), "Inn copy/Mill copy");
    EXPECT_EQ(Targets(inn), "Mill copy,Inn copy");
    EXPECT_EQ(mill.GetSpeechCode().g, &inn);
    EXPECT_NE(file->WriteText().find("// [LABEL] Mill copy\r\n{61}{M:5,41}{M:5,41}"), std::string::npos) << file->WriteText();

    // Into a document without Inn, Mill's Request money and its option end.
    const auto gate = Read("// [LABEL] Gate\n{1}{Halt}{Halt}{}{}{}{}\n");
    ASSERT_TRUE(lines.ReadData(CopiedLines::OfPages(*source, {1}).GetData(), reason)) << reason;
    DocumentEdit alone = lines.PastePages(*gate, 1, cut);
    alone.Apply();
    EXPECT_EQ(cut, 2);
    EXPECT_EQ(gate->GetPage(1)->GetLabel(), "Mill");
    EXPECT_NE(gate->WriteText().find("{21}{M:5,0}{M:5,0}{}{2}{}{}\r\n{22}{Back}{}{1}{}{}{}"), std::string::npos) << gate->WriteText();
}

// Anything but dialog lines is refused whole, with the reader's reason;
// lines a text editor wrote, with LF line ends and no numbers to speak of,
// are pasted.
TEST(CopiedLines, TextThatIsNotDialogLinesIsRefused)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "it holds no dialog line"},
        {"Hello, innkeeper!", "line 1: not a dialog line or a comment"},
        {"{2}{Go}{}{1}{}{}{}\nand then some", "line 2: not a dialog line or a comment"},
        {"{2}{Go}{}{1}", "line 1: braces but fewer than seven fields"},
        {"{2}{Go}{}{1}{}{}{} trailing", "line 1: text after the seventh field"},
        {"{2}{Go}{}{1}{}{}{}\n// left over", "line 2: a comment after the last dialog line"},
        {"{2}{Go}{}{1}{}{}{}\n// [LABEL] P\n{21}{Hi}{Hi}{}{}{}{}\n",
         "it holds PC options before its first page: options or pages can be pasted, not both at once"},
    };
    for (const auto &[text, expected] : cases) {
        CopiedLines lines;
        std::string reason;
        EXPECT_FALSE(lines.ReadText(text, reason)) << text;
        EXPECT_EQ(reason, expected) << text;
    }
    CopiedLines lines;
    std::string reason;
    EXPECT_FALSE(lines.ReadData("{2}{Go}{}{1}{}{}{}\n", reason));
    EXPECT_EQ(reason, "it does not hold lines copied in Talkwright");
    EXPECT_FALSE(lines.ReadData("Talkwright lines\npage x Mill\n\n{2}{Go}{}{1}{}{}{}\n", reason));

    ASSERT_TRUE(lines.ReadText("{}{Go on}{}{1}{}{}{}\n// a remark\n{}{Stop}{1}{-3}{}{}{}", reason)) << reason;
    EXPECT_EQ(lines.GetCount(), 2);
    const auto file = Read(kInn);
    int cut = -1;
    DocumentEdit paste = lines.PasteOptions(*file, *file->GetPage(1), 0, cut);
    paste.Apply();
    EXPECT_EQ(cut, 0);
    EXPECT_NE(file->WriteText().find("{22}{Go on}{}{1}{}{}{}\r\n// a remark\r\n{23}{Stop}{1}{-3}{}{}{}\r\n{24}{Back}"), std::string::npos)
        << file->WriteText();
}

} // namespace
