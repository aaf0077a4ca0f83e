// Reading .dlg files: roles, comments, fields, targets and the failures.
#include "DocumentShape.h"
#include "TestFiles.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <gtest/gtest.h>
#include <memory>

using namespace std::string_literals;

namespace {

struct ReadCase {
    const char *name;
    std::string input;
    std::string document; // DocumentShape of what is read
};

TEST(Reader, ReadsDocuments)
{
    const ReadCase cases[] = {
        {"empty file", "", ""},
        {"blank lines only", " \r\n\t\n", ""},
        {"page and option",
         "{1}{Hello}{Hello}{}{}{}{}\n{2}{Bye}{}{1}{}{0}{}\n",
         "P[1]1{Hello}{Hello}{}{}{} d= r=\n  O2{Bye}{}{1}{}{} d= r=\n"},
        {"different speeches", "{1}{Hi man}{Hi woman}{}{}{}{}",
         "P[1]1{Hi man}{Hi woman}{}{}{} d= r=\n"},
        {"a female speech starting with a digit makes an option",
         "{1}{A}{A}{}{}{}{}\n{2}{Pay}{5 coins, please.}{}{}{}{}\n{3}{B}{}{}{}{}{}\n",
         "P[1]1{A}{A}{}{}{} d= r=\n  O2{Pay}{5 coins, please.}{}{}{} d= r=\n  O3{B}{}{}{}{} d= r=\n"},
        {"label on the same line", "{1}{Hi}{Hi}{}{}{}{} // [LABEL] Start",
         "P[Start]1{Hi}{Hi}{}{}{} d= r=\n"},
        {"the last label wins", "// [LABEL] A\n// [LABEL] B\n{1}{Hi}{Hi}{}{}{}{}",
         "P[B]1{Hi}{Hi}{}{}{} d= r=\n"},
        {"an empty label wipes a pending one", "// [LABEL] A\n//[LABEL]\n{7}{Hi}{Hi}{}{}{}{}",
         "P[7]7{Hi}{Hi}{}{}{} d= r=\n"},
        {"keyword anywhere in the comment", "// first page [LABEL]\t Start \n{1}{Hi}{Hi}{}{}{}{}",
         "P[Start]1{Hi}{Hi}{}{}{} d= r=\n"},
        {"lower case is a remark", "// [label] x\n{1}{Hi}{Hi}{}{}{}{}",
         "P[1]1{Hi}{Hi}{}{}{} d= r=[label] x|\n"},
        {"remarks and descriptions",
         "//\ta \n//\n// [DESCRIPTION]  d\n// [DESCRIPTION] e\n//b\n{1}{Hi}{Hi}{}{}{}{}\n"
         "// [DESCRIPTION] x [LABEL] Named\n{1}{Hi}{Hi}{}{}{}{}",
         "P[1]1{Hi}{Hi}{}{}{} d=e r=a||b|\nP[Named]1{Hi}{Hi}{}{}{} d= r=\n"},
        {"a speech holding // cuts its line",
         "{1}{Hi}{Hi}{}{}{}{}\n{2}{See http://x.org}{}{1}{}{}{}\n{3}{Bye}{}{1}{}{}{}",
         "P[1]1{Hi}{Hi}{}{}{} d= r=\n  O3{Bye}{}{1}{}{} d= r=x.org}{}{1}{}{}{}|\n"},
        {"text outside braces and an eighth field", "  x{1} {Hi}\t{Hi}y{}{}{}{}{extra}  \r\n",
         "P[1]1{Hi}{Hi}{}{}{} d= r=\n"},
        {"inner blanks stay", "{1}{ Hi }{ Hi }{ }{}{}{}", "P[1]1{ Hi }{ Hi }{ }{}{} d= r=\n"},
        {"fewer than seven fields is skipped", "{1}{Hi}{Hi}{}{}{}\n{1}{}{}{}{}{}{\n{2}{A}{A}{}{}{}{}", "P[2]2{A}{A}{}{}{} d= r=\n"},
        {"a brace inside a field starts the next",
         "{1}{H{i}{x}{}{}{}{}", "P[1]1{H{i}{i}{x}{}{} d= r=\n"},
        {"forward target and one that only an option carries",
         "{1}{A}{A}{}{}{}{}\n{2}{Go}{}{1}{}{41}{}\n{3}{Stay}{}{1}{}{3}{}\n{41}{B}{B}{}{}{}{}",
         "P[1]1{A}{A}{}{}{} d= r=\n  O2{Go}{}{1}{}{} d= r= ->1\n  O3{Stay}{}{1}{}{} d= r=\nP[41]41{B}{B}{}{}{} d= r=\n"},
        {"the first page with a number is the target",
         "{5}{A}{A}{}{}{}{}\n{6}{Go}{}{}{}{ 5x}{}\n{5}{B}{B}{}{}{}{}",
         "P[5]5{A}{A}{}{}{} d= r=\n  O6{Go}{}{}{}{} d= r= ->0\nP[5]5{B}{B}{}{}{} d= r=\n"},
        {"a NUL ends the text", "{1}{A}{A}{}{}{}{}\n{2}{B}{B}{}{}{}{}\0{3}{C}{C}{}{}{}{}"s,
         "P[1]1{A}{A}{}{}{} d= r=\nP[2]2{B}{B}{}{}{} d= r=\n"},
        {"a lone CR does not end a line", "{1}{A}{A}{}{}{}{}\r{2}{B}{B}{}{}{}{}\r\n",
         "P[1]1{A}{A}{}{}{} d= r=\n"},
        {"numbers clamp", "{99999999999}{A}{A}{}{}{}{}\n{-99999999999}{B}{}{}{}{99999999999}{}",
         "P[99999999999]2147483647{A}{A}{}{}{} d= r=\n  O-2147483648{B}{}{}{}{} d= r= ->0\n"},
    };
    for (const ReadCase &c : cases) {
        TestFiles files;
        DialogFile file;
        ASSERT_TRUE(file.Read(files.Write("in.dlg", c.input))) << c.name;
        EXPECT_EQ(DocumentShape::Of(file), c.document) << c.name;
        EXPECT_EQ(file.GetFileName(), files.Path("in.dlg")) << c.name;
    }
}

TEST(Reader, Failures)
{
    struct Case {
        const char *name;
        std::string input;
        std::string error;
    };
    const Case cases[] = {
        {"an option first", "// x\n\n{1}{Hi}{}{}{}{}{}\n{2}{A}{A}{}{}{}{}", "its first dialog line, line 3, is a PC option"},
        {"a page never given speech", "// [LABEL] NewPage0001\n{1}{}{}{}{1}{}{}\n", "its first dialog line, line 2, is a PC option"},
        // Saving what holds no page would write an empty file over it.
        {"comments only", "// [LABEL] A\n// remark\n", "it holds no dialog page, so it is not a dialog file"},
        {"text only", "Notes for the writer\n", "it holds no dialog page, so it is not a dialog file"},
        {"a NUL first", "\0{1}{A}{A}{}{}{}{}"s, "it holds no dialog page, so it is not a dialog file"},
        {"lone CR line ends", "// [LABEL] A\r{1}{A}{A}{}{}{}{}\r{2}{B}{B}{}{}{}{}\r",
         "its lines end in a lone CR, which reading does not take for a line end, so it holds no dialog page"},
    };
    for (const Case &c : cases) {
        TestFiles files;
        DialogFile file;
        EXPECT_FALSE(file.Read(files.Write("in.dlg", c.input))) << c.name;
        EXPECT_EQ(file.GetErrorText(), c.error) << c.name;
        EXPECT_EQ(file.GetPageCount(), 0) << c.name;
        EXPECT_EQ(file.GetFileName(), files.Path("in.dlg")) << "the name is set before the walk";
    }

    TestFiles files;
    DialogFile missing;
    EXPECT_FALSE(missing.Read(files.Path("none.dlg")));
    EXPECT_EQ(missing.GetErrorText(), "No such file or directory");
    EXPECT_EQ(missing.GetFileName(), "") << "an unopened file names nothing";
    DialogFile folder;
    EXPECT_FALSE(folder.Read(files.Dir()));
    EXPECT_EQ(folder.GetErrorText(), "Is a directory");
}

// What reading leaves out is what a save would lose: each is reported.
TEST(Reader, ReportsWhatItDrops)
{
    const std::string page = "{1}{Hi}{Hi}{}{}{}{}\n";
    const struct {
        const char *name;
        std::string input;
        std::string dropped; // DroppedLine::List
    } cases[] = {
        {"nothing", "  {1} {Hi}\t{Hi}{}{}{}{}{}{}  \r\n// [LABEL] B\n//\n{2}{B}{B}{}{}{}{}\n{3}{Ok}{}{}{}{}{r{}\n", ""},
        // Notes line after line make one run, however many there are.
        {"runs", page + "a\nb\nc\n{2}{A}{}{}{}{}{}\n//\n",
         "lines 2 to 4: not a dialog line or a comment\nline 6: a comment after the last dialog line\n"},
        // What a save would change the meaning of, were it written field by field.
        {"what a save rewrites", page + "{2}{Go}{}{1{}{21}{}\n{3}{Far}{}{1}{}{57}{}\n{21}{M:5,99}{M:5,99}{}{}{}{}\n"
                                       "{41}{x{y}{z}{}{}{}{}\n{61}{a}{a}{}{b{}{}{}\n",
         "line 2: a \"{\" inside a field, where one \"}\" closes several fields: a save writes a blank for it\n"
         "line 3: a jump to a page number that no page has: a save writes the end of the dialog\n"
         "line 4: a Request money speech's page number that no page has: a save writes 0, the end of the dialog\n"
         "line 5: a \"{\" inside a field, where one \"}\" closes several fields: a save writes a blank for it\n"},
        {"a note", page + "\nNotes for the writer\n", "line 3: not a dialog line or a comment\n"},
        {"too few fields", page + "{2}{See http://x.org}{}{1}{}{}{}\n{3}{A}{}\n",
         "lines 2 to 3: braces but fewer than seven fields\nline 2: a comment after the last dialog line\n"},
        {"text outside", "x{1}{Hi}{Hi}{}{}{}{}\n\n{1}{Hi}}{Hi}{}{}{}{}\n",
         "line 1: text outside the braces of the fields\nline 3: text outside the braces of the fields\n"},
        {"after the seventh", page + "{2}{A}{}{}{}{}{} TODO\n{3}{A}{}{}{}{}{}{8}\n",
         "line 2: text after the seventh field\nline 3: fields past the seventh\n"},
        {"lone CR", "{1}{A}{A}{}{}{}{}\r{2}{B}{}{1}{}{}{}\r\n",
         "line 1: lines that end in a lone CR, which reading takes for one long line\n"},
        {"after a NUL", page + "{2}{A}{}{}{}{}{}\0{3}"s, "line 2: a NUL byte, after which nothing of the file is read\n"},
        {"comments", "// [LABEL] A\n// [DESCRIPTION] d\n// [LABEL] B\n// [DESCRIPTION] e\n" + page
                         + "// [LABEL] O\n{2}{A}{}{}{}{}{}\n// the end\n// [LABEL] Z\n",
         "lines 1 to 2: a name or description that a later one above the same line replaces\n"
         "line 6: a \"[LABEL]\" comment above a PC option, which only pages keep\n"
         "lines 8 to 9: a comment after the last dialog line\n"},
    };
    for (const auto &c : cases) {
        DialogFile file;
        ASSERT_TRUE(file.ReadText(c.input)) << c.name;
        EXPECT_EQ(DroppedLine::List(file.GetDroppedLines(), 10), c.dropped) << c.name;
    }
    std::vector<DroppedLine> many(13, {4, DroppedLine::NotDialogLine});
    EXPECT_EQ(DroppedLine::List(many, 12).substr(12 * 39), "and 1 more\n");
    DialogFile junk;
    ASSERT_TRUE(junk.ReadText(page + std::string(100000, '\n') + "x\ny\n{2}{A}{}{}{}{}{} x\n{3}{B}{}{}{}{}{} y\n"));
    EXPECT_EQ(DroppedLine::CountLines(junk.GetDroppedLines()), 4) << "lines in runs";
    EXPECT_EQ(junk.GetDroppedLines().size(), 2U) << "one run of each kind";
}

// Request money names its page; a page says whether both genders hear the same.
TEST(Reader, SpeechOfPages)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText("{1}{M:100,41}{M:5,7}{}{}{}{}\n{2}{M:1,0}{}{}{}{}{}\n{41}{Paid}{Paid}{}{}{}{}\n"));
    EXPECT_EQ(file.GetPage(0)->GetSpeechCode().g, file.GetPage(1));
    EXPECT_EQ(file.GetPage(0)->GetFemaleSpeechCode().g, nullptr) << "no page 7";
    EXPECT_EQ(file.GetPage(0)->GetOption(0)->GetSpeechCode().g, nullptr) << "0 is Exit";
    EXPECT_FALSE(file.GetPage(0)->IsSameSpeechForBoth());
    EXPECT_TRUE(file.GetPage(1)->IsSameSpeechForBoth());
}

// A line read from a file reads its texts in its document's copy of the
// file. One taken out of the document must take them along: read after the
// document is gone, they would be freed memory, which AddressSanitizer
// reports (without it they may still come out right by chance).
TEST(Reader, ALineTakenOutKeepsItsTextsWithoutItsDocument)
{
    struct Case {
        const char *what;
        std::unique_ptr<DialogLine> (*takeOut)(DialogFile &);
        std::string label, speech, description, comment;
        int options;
    };
    const Case cases[] = {
        {"a page", [](DialogFile &file) { return file.RemovePageAt(0); }, "Start", "Hello.", "First", "note\n", 1},
        {"an option", [](DialogFile &file) { return file.GetPage(0)->RemoveOptionAt(0); }, "2", "Who?", "Asks", "", 0},
    };
    for (const Case &c : cases) {
        auto file = std::make_unique<DialogFile>();
        ASSERT_TRUE(file->ReadText("// note\n// [LABEL] Start\n// [DESCRIPTION] First\n{1}{Hello.}{Hello.}{}{1}{}{}\n"
                                   "// [DESCRIPTION] Asks\n{2}{Who?}{1}{5}{}{21}{}\n"));
        const std::unique_ptr<DialogLine> line = c.takeOut(*file);
        file.reset();
        EXPECT_EQ(line->ViewFields()[0], c.label) << c.what;
        EXPECT_EQ(line->ViewFields()[1], c.speech) << c.what;
        EXPECT_EQ(line->ViewDescription(), c.description) << c.what;
        EXPECT_EQ(line->ViewComment(), c.comment) << c.what;
        ASSERT_EQ(line->GetOptionCount(), c.options) << c.what;
        if (c.options > 0) {
            EXPECT_EQ(line->GetOption(0)->ViewFields()[1], "Who?") << c.what << ": its option";
        }
    }
}

// A page's name read in place is the one GetLabel gives.
TEST(Reader, NamesReadInPlace)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText("// [LABEL] Start\n{1}{Hi}{Hi}{}{}{}{}\n{2}{Go}{}{}{}{}{}\n{21}{Bye}{Bye}{}{}{}{}\n{41}{Ho}{Ho}{}{}{}{}\n"));
    file.GetPage(2)->SetLabel("edited");
    EXPECT_EQ(file.GetPage(1)->ViewLabel(), "21");
    for (const DialogLine *line : {file.GetPage(0), file.GetPage(0)->GetOption(0), file.GetPage(1), file.GetPage(2)}) {
        const std::string inPlace(line->ViewLabel()); // before GetLabel makes the line copy its texts
        EXPECT_EQ(inPlace, line->GetLabel());
    }
}

// The copy that work off the user interface thread reads: its links lead to
// its own pages, and it lives on unchanged without the document it was
// copied from, whether its lines were read or edited.
TEST(Reader, ACopyHasItsOwnPagesAndLinks)
{
    auto file = std::make_unique<DialogFile>();
    ASSERT_TRUE(file->ReadText("// [LABEL] Start\n{1}{M:100,21}{M:100,21}{}{}{}{}\n{2}{Go}{}{}{}{21}{}\n"
                               "// [LABEL] Paid\n{21}{Thanks}{Thanks}{}{}{}{}\n{22}{Back}{}{}{}{1}{}\n"));
    file->GetPage(1)->GetOption(0)->SetLabel("edited");
    const std::string bytes = file->WriteText();
    const std::unique_ptr<DialogFile> copy = file->Copy();
    file->GetPage(0)->SetLabel("after");
    file.reset();
    EXPECT_EQ(copy->GetPage(0)->GetSpeechCode().g, copy->GetPage(1));
    EXPECT_EQ(copy->GetPage(0)->GetOption(0)->GetTarget(), copy->GetPage(1));
    EXPECT_EQ(copy->GetPage(1)->GetOption(0)->GetTarget(), copy->GetPage(0));
    EXPECT_EQ(copy->WriteText(), bytes);
}

} // namespace
