// dlgtool check, format --check and stats on small files built for each finding.
#include "CommandOutput.h"
#include "TestFiles.h"
#include "cli/CheckCommand.h"
#include "cli/FormatCommand.h"
#include "cli/StatsCommand.h"
#include "cli/UnifiedDiff.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Output = CommandOutput;
constexpr auto Execute = &CommandOutput::Of;

// What check says of one file, without the file's name and the summary.
std::string CheckOne(const std::string &bytes, int *status = nullptr)
{
    TestFiles files;
    const std::string path = files.Write("x.dlg", bytes);
    Output result = Execute(CheckCommand(), {path});
    if (status)
        *status = result.status;
    std::string text;
    size_t start = 0;
    for (size_t lf; (lf = result.out.find('\n', start)) != std::string::npos; start = lf + 1) {
        std::string line = result.out.substr(start, lf - start);
        if (line.rfind(path, 0) == 0)
            text += line.substr(path.size()) + "\n";
    }
    return text;
}

TEST(Check, Findings)
{
    struct Case {
        const char *name;
        std::string input;
        std::string findings;
        int status;
    };
    const std::string page = "// [LABEL] P\n{1}{Hi}{Hi}{}{}{}{}\n";
    const Case cases[] = {
        {"a clean file", page + "{2}{Bye}{}{1}{}{}{}\n", "", 0},
        {"a rejected file", "// x\n{1}{Hi}{}{}{}{}{}\n",
         ":2: error: cannot read the file: its first dialog line, line 2, is a PC option\n", 1},
        {"a brace inside a field", "{1}{H{i}{x}{}{}{}{}\n",
         ":1: error: page \"1\" (line 1): its speech cannot be written back as it reads. It holds a brace (\"{\" or \"}\"); braces mark the fields of a line.\n", 1},
        {"a jump to no page", page + "{2}{Go}{}{1}{}{57}{}\n",
         ":3: warning: the option on line 3 leads to page number 57, which no page has: the conversation ends there\n", 0},
        {"two pages with one number", page + "{2}{Go}{}{1}{}{1}{}\n// [LABEL] Q\n{1}{b}{b}{}{}{}{}\n",
         ":5: warning: page \"Q\" (line 5) has the number 1 of page \"P\" (line 2): jumps to it go to the first\n"
         ":5: warning: page \"Q\" (line 5): no option leads to it\n", 0},
        {"odd checks", page + "{2}{a}{2}{1}{}{}{}\n{3}{b}{}{}{}{}{}\n{4}{c}{}{x5}{}{}{}\n",
         ":3: warning: the option on line 3 has the gender check \"2\", which is neither empty, \"0\" nor \"1\"\n"
         ":4: warning: the option on line 4 has the intelligence check \"\", which is none of \"1\", \"N\", \"+N\" and \"-N\"\n"
         ":5: warning: the option on line 5 has the intelligence check \"x5\", which is none of \"1\", \"N\", \"+N\" and \"-N\"\n", 0},
        {"a speech holding //", page + "{2}{See http://x.org}{}{1}{}{}{}\n",
         ":3: warning: a comment after the last dialog line: the editor drops this line when it saves the file\n"
         ":3: warning: this line holds braces but fewer than seven fields, so the game skips it (does a text hold \"//\"?) "
         "and the editor drops it when it saves the file\n", 0},
        {"lines the editor drops", page + "TODO more\n{2}{A}{}{1}{}{}{}{x}\n",
         ":3: warning: not a dialog line or a comment: the editor drops this line when it saves the file\n"
         ":4: warning: fields past the seventh: the editor drops this text when it saves the file\n", 0},
        {"lone CR line ends", "{1}{A}{A}{}{}{}{}\r{2}{B}{}{1}{}{}{}\r",
         ":1: error: the lines of this file end in a lone CR, which reading does not take for a line end: "
         "the editor would keep only the first dialog line of each run of them\n", 1},
        {"not a dialog file", "Notes\n", ": error: cannot read the file: it holds no dialog page, so it is not a dialog file\n", 1},
        {"a code that saving rewrites", "{1}{M:}{M:}{}{}{}{}\n{2}{Z:7,3}{}{1}{}{}{}\n",
         ":1: note: page \"1\" (line 1): generated speech \"M:\" would be saved as \"M:0,0\"\n"
         ":2: note: the option on line 2: generated speech \"Z:7,3\" would be saved as \"Z:7\"\n", 0},
        {"reachability by gender and intelligence",
         "// [LABEL] Start\n{1}{Hi}{Hi}{}{}{}{}\n{2}{a}{1}{-8}{}{21}{}\n{3}{b}{}{+11}{}{41}{}\n{4}{c}{}{1}{x}{}{}\n"
         "// [LABEL] Low\n{21}{l}{l}{}{}{}{}\n{22}{d}{}{1}{}{61}{}\n"
         "// [LABEL] High\n{41}{h}{h}{}{}{}{}\n"
         "// [LABEL] Deep\n{61}{x}{x}{}{}{}{}\n"
         "// [LABEL] Lost\n{81}{y}{y}{}{}{}{}\n{82}{e}{}{1}{}{81}{}\n",
         ":7: warning: page \"Low\" (line 7) is unreachable for female PCs and for male PCs of intelligence 8 or above\n"
         ":10: warning: page \"High\" (line 10) is unreachable for PCs of intelligence below 12\n"
         ":12: warning: page \"Deep\" (line 12) is unreachable for female PCs and for male PCs of intelligence 8 or above\n"
         ":14: warning: page \"Lost\" (line 14) is unreachable for every PC\n", 0},
        {"reach in separate bands",
         "{1}{Hi}{Hi}{}{}{}{}\n{2}{a}{}{5}{}{21}{}\n{3}{b}{0}{+11}{}{41}{}\n"
         "// [LABEL] Mid\n{21}{m}{m}{}{}{}{}\n{22}{c}{}{-9}{}{41}{}\n// [LABEL] High\n{41}{h}{h}{}{}{}{}\n",
         ":5: warning: page \"Mid\" (line 5) is unreachable for PCs of intelligence below 5\n"
         ":8: warning: page \"High\" (line 8) is unreachable for female PCs of intelligence below 5 or 9 to 11 "
         "and for male PCs of intelligence below 5 or 9 or above\n", 0},
        {"request money leads on", "{1}{M:5,21}{M:5,21}{}{}{}{}\n{21}{Paid}{Paid}{}{}{}{}\n", "", 0},
    };
    for (const Case &c : cases) {
        int status = -1;
        EXPECT_EQ(CheckOne(c.input, &status), c.findings) << c.name;
        EXPECT_EQ(status, c.status) << c.name;
    }
}

TEST(Check, FoldersSummaryAndJson)
{
    TestFiles files;
    std::filesystem::create_directories(files.Path("a/b"));
    files.Write("a/b/good.dlg", "{1}{Hi}{Hi}{}{}{}{}\n");
    files.Write("a/bad.DLG", "{1}{Hi}{}{}{}{}{}\n");
    files.Write("a/notes.txt", "{1}{Hi}{}{}{}{}{}\n");
    const Output text = Execute(CheckCommand(), {files.Path("a")});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.out, files.Path("a/bad.DLG") + ":1: error: cannot read the file: its first dialog line, line 1, is a PC option\n"
                        "2 files checked: 1 error, 0 warnings, 0 notes\n");

    const Output json = Execute(CheckCommand(), {"--format", "json", files.Path("a/b")});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out, "{\"files\":1,\"errors\":0,\"warnings\":0,\"notes\":0,\"findings\":[]}\n");

    EXPECT_EQ(Execute(CheckCommand(), {}).status, 2);
    EXPECT_EQ(Execute(CheckCommand(), {"--format", "xml", "a"}).status, 2);
    const Output missing = Execute(CheckCommand(), {files.Path("none.dlg")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, files.Path("none.dlg") + ": error: cannot read the file: No such file or directory\n"
                           "1 file checked: 1 error, 0 warnings, 0 notes\n");
}

TEST(FormatCheck, ReportsFilesASaveWouldChange)
{
    TestFiles files;
    const std::string tidy = files.Write("tidy.dlg", "// [LABEL] A\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n{2}{x}{}{1}{}{}{}\r\n\r\n");
    const std::string messy = files.Write("messy.dlg", "// [LABEL] A\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n{2}{Z:7,3}{}{1}{}{}{}\r\n\r\n");
    EXPECT_EQ(Execute(FormatCommand(), {"--check", tidy}).status, 0);
    const Output list = Execute(FormatCommand(), {"--check", files.Dir()});
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(list.out, messy + "\n");
    const Output diff = Execute(FormatCommand(), {"--check", "--diff", messy});
    EXPECT_EQ(diff.out, "--- " + messy + "\n+++ " + messy + " (formatted)\n@@ -1,4 +1,4 @@\n"
                        " // [LABEL] A\r\n {1}{Hi}{Hi}{}{1}{}{}\r\n-{2}{Z:7,3}{}{1}{}{}{}\r\n+{2}{Z:7}{}{1}{}{}{}\r\n \r\n");
    EXPECT_EQ(Execute(FormatCommand(), {"--check"}).status, 2);
}

TEST(UnifiedDiff, HunksKeepThreeLinesOfContext)
{
    std::string before;
    for (int i = 1; i <= 20; ++i)
        before += std::to_string(i) + "\n";
    std::string after = before;
    after.replace(after.find("2\n"), 2, "two\n");
    after.replace(after.find("\n18\n") + 1, 3, "");
    EXPECT_EQ(UnifiedDiff::Make(before, after, "a", "b"), "--- a\n+++ b\n"
                                                          "@@ -1,5 +1,5 @@\n 1\n-2\n+two\n 3\n 4\n 5\n"
                                                          "@@ -15,6 +15,5 @@\n 15\n 16\n 17\n-18\n 19\n 20\n");
    EXPECT_EQ(UnifiedDiff::Make("a", "b", "x", "y"), "--- x\n+++ y\n@@ -1 +1 @@\n-a\n\\ No newline at end of file\n+b\n\\ No newline at end of file\n");
}

TEST(Stats, CountsPagesOptionsWordsAndKinds)
{
    TestFiles files;
    const std::string path = files.Write("s.dlg", "{1}{Hello there}{Hi, you}{}{}{}{}\n{2}{Who are you?}{}{1}{}{}{}\n"
                                                  "{3}{E:}{}{1}{}{}{}\n{21}{R:5,a}{R:5,a}{}{}{}{}\n{22}{E:}{}{1}{}{}{}\n");
    const Output result = Execute(StatsCommand(), {path});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, path + "\n  pages 2, options 3\n  words of speech: NPC 4, PC 3\n  generated speech: Exit 2, Rumour 1\n"
                                 "total (1 file)\n  pages 2, options 3\n  words of speech: NPC 4, PC 3\n  generated speech: Exit 2, Rumour 1\n");
}

} // namespace
