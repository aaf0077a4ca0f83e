// Which page and option of one version of a conversation is which of
// another, what moved, and how a comparison reads each field.
#include "compare/DocumentMatch.h"
#include "compare/LineFields.h"
#include "compare/SequenceMatch.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

std::unique_ptr<DialogFile> Read(const std::string &text)
{
    auto file = std::make_unique<DialogFile>();
    EXPECT_TRUE(file->ReadText(text)) << file->GetErrorText();
    return file;
}

// A page a line: "NAME SPEECH", or "NAME SPEECH | OPTION SPEECH, OPTION SPEECH"
// with options that end the dialog; numbered 1, 21, 41, ... SPEECH is said
// to both genders, or is "MALE/FEMALE".
std::string Pages(const std::vector<std::string> &pages)
{
    std::string text;
    int number = 1;
    for (const std::string &page : pages) {
        const size_t blank = page.find(' ');
        const size_t bar = page.find(" | ");
        const std::string speech = page.substr(blank + 1, bar == std::string::npos ? std::string::npos : bar - blank - 1);
        const size_t slash = speech.find('/');
        const std::string female = slash == std::string::npos ? speech : speech.substr(slash + 1);
        text += "// [LABEL] " + page.substr(0, blank) + "\n{" + std::to_string(number) + "}{" + speech.substr(0, slash) + "}{" + female + "}{}{}{}{}\n";
        for (size_t at = bar == std::string::npos ? std::string::npos : bar + 3, o = 1; at < page.size(); ++o) {
            const size_t comma = page.find(", ", at);
            text += "{" + std::to_string(number + static_cast<int>(o)) + "}{" + page.substr(at, comma - at) + "}{}{1}{}{}{}\n";
            at = comma == std::string::npos ? comma : comma + 2;
        }
        number += 20;
    }
    return text;
}

// "." stays, "m" moved, "-" unmatched, one a before item.
std::string Moves(const SequenceMatch &match)
{
    std::string moves;
    for (int b = 0; b < match.BeforeCount(); ++b)
        moves += match.AfterOf(b) < 0 ? '-' : match.IsMoved(b) ? 'm' : '.';
    return moves;
}

std::vector<int> AfterOf(const SequenceMatch &match)
{
    std::vector<int> after;
    for (int b = 0; b < match.BeforeCount(); ++b)
        after.push_back(match.AfterOf(b));
    return after;
}

TEST(SequenceMatch, TheFewestMoveAndTheRestKeepTheirOrder)
{
    const struct {
        const char *name;
        int before, after;
        std::vector<std::pair<int, int>> pairs;
        const char *moves;
    } cases[] = {
        {"nothing matched", 3, 3, {}, "---"},
        {"in order, with items between that went", 5, 4, {{0, 0}, {2, 1}, {4, 3}}, ".-.-."},
        {"the first to the end", 4, 4, {{0, 3}, {1, 0}, {2, 1}, {3, 2}}, "m..."},
        {"the last to the front", 4, 4, {{0, 1}, {1, 2}, {2, 3}, {3, 0}}, "...m"},
        {"one from the middle to the front, among items that went", 5, 5, {{0, 1}, {1, 2}, {3, 0}, {4, 4}}, "..-m."},
        {"two of six in a cycle back to front", 6, 6, {{0, 4}, {1, 5}, {2, 0}, {3, 1}, {4, 2}, {5, 3}}, "mm...."},
    };
    for (const auto &c : cases) {
        SequenceMatch match(c.before, c.after);
        for (const auto &[b, a] : c.pairs)
            match.Pair(b, a);
        match.FindMoves();
        EXPECT_EQ(Moves(match), c.moves) << c.name;
    }
}

TEST(DocumentMatch, PairsPagesAsAWriterWould)
{
    const struct {
        const char *name;
        std::vector<std::string> before, after;
        std::vector<int> afterOf; // for each page before
    } cases[] = {
        {"by name, whatever their order", {"A a", "B b", "C c"}, {"C c", "A a", "B b"}, {1, 2, 0}},
        {"by name, whatever they say now", {"A a", "B b"}, {"A x", "B y"}, {0, 1}},
        {"renamed, otherwise alike", {"A a | go", "B b | go"}, {"A a | go", "Bee b | go"}, {0, 1}},
        {"renamed, its options changed, its NPC speech as it was", {"A a", "B b | go"}, {"A a", "Bee b | stay"}, {0, 1}},
        {"renamed and its speech changed: another page", {"A a", "B b"}, {"A a", "Bee c"}, {0, -1}},
        {"renamed and changed, saying nothing to male PCs: another page", {"A a", "B /b | go"}, {"A a", "Bee /b | stay"}, {0, -1}},
        {"of pages of one name, those alike first", {"X a", "X b"}, {"X b"}, {-1, 0}},
        {"of pages of one name, in their order", {"X a", "X b"}, {"X c", "X d"}, {0, 1}},
        {"a name another page had", {"A a", "B b"}, {"B a"}, {-1, 0}},
    };
    for (const auto &c : cases) {
        const auto before = Read(Pages(c.before));
        const auto after = Read(Pages(c.after));
        const DocumentMatch match(*before, *after);
        EXPECT_EQ(AfterOf(match.Pages()), c.afterOf) << c.name;
    }
}

TEST(DocumentMatch, PairsOptionsAsAWriterWould)
{
    const struct {
        const char *name;
        const char *before, *after; // the options of page A, one a line
        std::vector<int> afterOf;
        const char *moves;
    } cases[] = {
        {"kept as they were", "{2}{a}{}{1}{}{}{}\n{3}{b}{}{1}{}{}{}\n", "{2}{a}{}{1}{}{}{}\n{3}{b}{}{1}{}{}{}\n", {0, 1}, ".."},
        {"one put first", "{2}{a}{}{1}{}{}{}\n{3}{b}{}{1}{}{}{}\n", "{2}{n}{}{1}{}{}{}\n{3}{a}{}{1}{}{}{}\n{4}{b}{}{1}{}{}{}\n", {1, 2}, ".."},
        {"its speech changed: by its place", "{2}{a}{}{1}{}{}{}\n{3}{b}{}{1}{}{}{}\n{4}{c}{}{1}{}{}{}\n",
         "{2}{a}{}{1}{}{}{}\n{3}{B!}{}{1}{}{}{}\n{4}{c}{}{1}{}{}{}\n", {0, 1, 2}, "..."},
        {"its check changed and moved: by its speech", "{2}{a}{}{1}{}{}{}\n{3}{b}{}{1}{}{}{}\n", "{2}{b}{}{+5}{}{}{}\n{3}{a}{}{1}{}{}{}\n", {1, 0},
         "m."},
        {"two went, one came between them: the one alike in its checks", "{2}{a}{}{1}{}{}{}\n{3}{x}{}{5}{C}{}{R}\n{4}{y}{1}{9}{}{}{}\n{5}{d}{}{1}{}{}{}\n",
         "{2}{a}{}{1}{}{}{}\n{3}{z}{}{5}{C}{}{R}\n{4}{d}{}{1}{}{}{}\n", {0, 1, -1, 2}, "..-."},
        {"as many went as came between two kept: in order", "{2}{a}{}{1}{}{}{}\n{3}{x}{}{1}{}{}{}\n{4}{y}{}{1}{}{}{}\n{5}{d}{}{1}{}{}{}\n",
         "{2}{a}{}{1}{}{}{}\n{3}{p}{1}{7}{C}{}{}\n{4}{q}{0}{8}{D}{}{}\n{5}{d}{}{1}{}{}{}\n", {0, 1, 2, 3}, "...."},
        {"alike bytes, but leading to another page", "{2}{a}{}{1}{}{21}{}\n{3}{a}{}{1}{}{41}{}\n", "{2}{a}{}{1}{}{41}{}\n{3}{a}{}{1}{}{21}{}\n", {1, 0},
         "m."},
    };
    for (const auto &c : cases) {
        const std::string pages = "// [LABEL] B\n{21}{b}{b}{}{}{}{}\n// [LABEL] C\n{41}{c}{c}{}{}{}{}\n";
        const auto before = Read(std::string("// [LABEL] A\n{1}{a}{a}{}{}{}{}\n") + c.before + pages);
        const auto after = Read(std::string("// [LABEL] A\n{1}{a}{a}{}{}{}{}\n") + c.after + pages);
        const DocumentMatch match(*before, *after);
        const SequenceMatch options = match.MatchOptions(0);
        EXPECT_EQ(AfterOf(options), c.afterOf) << c.name;
        EXPECT_EQ(Moves(options), c.moves) << c.name;
    }
}

// Two versions of a line, read as the file holds them: the same but for
// their numbers, or not. Fails if numbers count, or if bytes that are alike
// hide a change of where a line leads or what it says.
TEST(DocumentMatch, LinesAreAlikeButForTheirNumbers)
{
    const char *pages = "// [LABEL] B\n{1}{b}{b}{}{}{}{}\n// [LABEL] C\n{21}{c}{c}{}{}{}{}\n";
    const char *swapped = "// [LABEL] C\n{1}{c}{c}{}{}{}{}\n// [LABEL] B\n{21}{b}{b}{}{}{}{}\n";
    const struct {
        const char *name;
        std::string before, after; // page A, before pages B and C, or after C and B
        bool beforeSwapped, afterSwapped;
        bool same;
    } cases[] = {
        {"renumbered", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{21}{}\n", "{101}{a}{a}{}{7}{}{}\n{102}{go}{}{1}{}{1}{}\n", false, true, true},
        {"its jump's number as it was, another page", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{21}{}\n",
         "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{21}{}\n", false, true, false},
        {"a Request money code's number as it was, another page", "{41}{M:5,21}{M:5,21}{}{3}{}{}\n", "{41}{M:5,21}{M:5,21}{}{3}{}{}\n", false, true,
         false},
        {"a Request money code renumbered", "{41}{M:5,21}{M:5,21}{}{3}{}{}\n", "{41}{M:5,1}{M:5,1}{}{3}{}{}\n", false, true, true},
        {"an option's Request money code renumbered", "{41}{a}{a}{}{3}{}{}\n{42}{M:2,1}{}{1}{}{}{}\n", "{41}{a}{a}{}{3}{}{}\n{42}{M:2,21}{}{1}{}{}{}\n",
         false, true, true},
        {"a jump to no page, its number as it was", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{99}{}\n", "{61}{a}{a}{}{3}{}{}\n{62}{go}{}{1}{}{99}{}\n", false,
         false, true},
        {"a jump to no page, another number", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{99}{}\n", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{98}{}\n", false,
         false, false},
        {"results that hold a brace", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{21}{Set{x}\n", "{61}{a}{a}{}{3}{}{}\n{62}{go}{}{1}{}{21}{Set{x}\n", false,
         false, true},
        {"results that hold a brace, changed", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{21}{Set{x}\n", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{}{21}{Set{y}\n",
         false, false, false},
        {"the female speech", "{41}{a}{a}{}{3}{}{}\n", "{41}{a}{b}{}{3}{}{}\n", false, false, false},
        {"field 3 of the page", "{41}{a}{a}{1}{3}{}{}\n", "{41}{a}{a}{2}{3}{}{}\n", false, false, false},
        {"an option's conditions", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{X}{}{}\n", "{41}{a}{a}{}{3}{}{}\n{42}{go}{}{1}{Y}{}{}\n", false, false, false},
        {"a remark", "{41}{a}{a}{}{3}{}{}\n", "// note\n{41}{a}{a}{}{3}{}{}\n", false, false, false},
    };
    for (const auto &c : cases) {
        const auto before = Read((c.beforeSwapped ? swapped : pages) + std::string("// [LABEL] A\n") + c.before);
        const auto after = Read((c.afterSwapped ? swapped : pages) + std::string("// [LABEL] A\n") + c.after);
        const DocumentMatch match(*before, *after);
        ASSERT_EQ(match.Pages().AfterOf(2), 2) << c.name;
        EXPECT_EQ(match.IsUnchanged(2), c.same) << c.name;
    }
}

TEST(LineFields, ShowsEachFieldAsAWriterReadsIt)
{
    const auto file = Read("// [LABEL] Inn\n// one\n// two\n{1}{M:5,21}{M:5,21}{}{}{}{}\n"
                           "{2}{a}{}{1}{}{21}{}\n{3}{b}{0}{+5}{}{0}{}\n{4}{c}{2}{-5}{}{99}{}\n{5}{d}{}{5}{}{}{}\n{6}{e}{}{x}{}{}{}\n{7}{f}{}{}{}{}{}\n"
                           "// [LABEL] Mill\n{21}{Grind}{Grind}{}{}{}{}\n");
    const DialogLine &page = *file->GetPage(0);
    const struct {
        int option; // -1: the page
        LineField field;
        const char *shown;
    } cases[] = {
        {-1, LineField::Speech, "M:5 -> page \"Mill\""},
        {-1, LineField::Remarks, "one / two"},
        {0, LineField::GenderCheck, "anyone"},
        {0, LineField::IntelligenceCheck, "none"},
        {0, LineField::Target, "page \"Mill\""},
        {1, LineField::GenderCheck, "female PCs only"},
        {1, LineField::IntelligenceCheck, "above 5"},
        {1, LineField::Target, "the dialog ends"},
        {2, LineField::GenderCheck, "\"2\""},
        {2, LineField::IntelligenceCheck, "below 5"},
        {2, LineField::Target, "page number 99, which no page has"},
        {3, LineField::IntelligenceCheck, "at least 5"},
        {4, LineField::IntelligenceCheck, "\"x\""},
        {5, LineField::IntelligenceCheck, "none (empty)"},
    };
    for (const auto &c : cases) {
        const DialogLine &line = c.option < 0 ? page : *page.GetOption(c.option);
        EXPECT_EQ(LineFields::Shown(line, c.field), c.shown) << c.option << " " << LineFields::Name(c.field);
    }
    // Of a page that asks for money, the page it leads to counts, not its number.
    EXPECT_EQ(LineFields::Page(page, LineField::Speech), file->GetPage(1));
    EXPECT_EQ(LineFields::Text(page, LineField::Speech), LineFields::Text(*Read("// [LABEL] X\n{1}{M:5,0}{M:5,0}{}{}{}{}\n")->GetPage(0), LineField::Speech));
}

} // namespace
