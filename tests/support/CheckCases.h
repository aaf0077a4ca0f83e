#pragma once

#include <string>
#include <vector>

// The files of dlgtool check's tests, each with what check says of it
// (without the file's name and the summary) and its exit status. The
// problems panel is held to the same list.
struct CheckCase {
    const char *name;
    std::string input;
    std::string findings;
    int status;
};

inline std::vector<CheckCase> CheckCases()
{
    const std::string page = "// [LABEL] P\n{1}{Hi}{Hi}{}{}{}{}\n";
    return {
        {"a clean file", page + "{2}{Bye}{}{1}{}{}{}\n", "", 0},
        {"a rejected file", "// x\n{1}{Hi}{}{}{}{}{}\n",
         ":2: error: cannot read the file: its first dialog line, line 2, is a PC option\n", 1},
        {"a brace inside a field", "{1}{H{i}{x}{}{}{}{}\n",
         ":1: error: page \"1\" (line 1): its speech cannot be written back as it reads. It holds a brace (\"{\" or \"}\"); braces mark the fields of a line.\n", 1},
        {"a jump to no page", page + "{2}{Go}{}{1}{}{57}{}\n",
         ":3: warning: the option on line 3 leads to page number 57, which no page has: the conversation ends there, and a save writes it as "
         "the end of the dialog\n", 0},
        {"request money to no page", "{1}{M:5,21}{M:5,21}{}{}{}{}\n{2}{a}{}{1}{}{}{}\n",
         ":1: warning: page \"1\" (line 1): its Request money speech leads to page number 21, which no page has: the conversation ends there, "
         "and a save writes it as the end of the dialog\n", 0},
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
        {"a run of lines the editor drops", page + "TODO\nmore\nstill more\n{2}{A}{}{1}{}{}{} x\n{3}{B}{}{1}{}{}{} y\n",
         ":3: warning: not a dialog line or a comment (lines 3 to 5): the editor drops these lines when it saves the file\n"
         ":6: warning: text after the seventh field (lines 6 to 7): the editor drops this text from each when it saves the file\n", 0},
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
        // However many ranges a page misses, its finding says them in a short line.
        {"many separate ranges",
         "{1}{a}{a}{}{}{}{}\n{2}{L}{}{-2}{}{21}{}\n{3}{H}{}{3}{}{21}{}\n{21}{b}{b}{}{}{}{}\n{22}{L}{}{-4}{}{41}{}\n{23}{H}{}{5}{}{41}{}\n"
         "{41}{c}{c}{}{}{}{}\n{42}{L}{}{-6}{}{61}{}\n{43}{H}{}{7}{}{61}{}\n{61}{d}{d}{}{}{}{}\n{62}{L}{}{-8}{}{81}{}\n{63}{H}{}{9}{}{81}{}\n"
         "{81}{e}{e}{}{}{}{}\n",
         ":4: warning: page \"21\" (line 4) is unreachable for PCs of intelligence 2\n"
         ":7: warning: page \"41\" (line 7) is unreachable for PCs of intelligence 2 or 4\n"
         ":10: warning: page \"61\" (line 10) is unreachable for PCs of intelligence 2 or 4 or 6\n"
         ":13: warning: page \"81\" (line 13) is unreachable for PCs of intelligence in 4 ranges: 2, 4, ..., 8\n", 0},
        {"request money leads on", "{1}{M:5,21}{M:5,21}{}{}{}{}\n{21}{Paid}{Paid}{}{}{}{}\n", "", 0},
    };
}
