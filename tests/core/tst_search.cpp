// Find and replace through every text of a document.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "edits/TextSearch.h"
#include "regex/RegularExpression.h"
#include "model/Windows1252.h"

#include <cstdio>

#include <gtest/gtest.h>

namespace {

// One page and one option with "Lamp" in each of their texts.
void Fill(DialogFile &file)
{
    ASSERT_TRUE(file.ReadText("// [LABEL] Lamp room\n// [DESCRIPTION] lamplight\n// a lamp\n{1}{The lamp is lit.}{Her lamp}{}{}{}{LAMP=1}\n"
                              "// [DESCRIPTION] Lamp\n// lamps\n{2}{R:20,lamp,ferry}{}{1}{has lamp}{}{lamp=0}\n"));
}

std::string Found(const DialogFile &file, std::string_view pattern, TextSearch::Options options)
{
    std::string found;
    for (const TextSearch::Hit &hit : TextSearch(pattern, options, &RegularExpression::Engine()).FindAll(file))
        found += std::string(hit.place.option < 0 ? "p." : "o.") + std::string(DocumentText::KindName(hit.place.kind)) + std::to_string(hit.matches.size()) + " ";
    return found;
}

TEST(TextSearch, FindsInEveryTextWithEachOption)
{
    DialogFile file;
    Fill(file);
    const struct {
        const char *pattern;
        TextSearch::Options options;
        std::string found;
    } cases[] = {
        {"lamp", {}, "p.name1 p.description1 p.remarks1 p.speech1 p.speech to female PC1 p.results1 o.description1 o.remarks1 o.speech1 o.conditions1 o.results1 "},
        {"lamp", {.matchCase = true}, "p.description1 p.remarks1 p.speech1 p.speech to female PC1 o.remarks1 o.speech1 o.conditions1 o.results1 "},
        {"lamp", {.wholeWords = true}, "p.name1 p.remarks1 p.speech1 p.speech to female PC1 p.results1 o.description1 o.speech1 o.conditions1 o.results1 "},
        {"l[a-z]+p\\b", {.matchCase = true, .regularExpression = true}, "p.remarks1 p.speech1 p.speech to female PC1 o.speech1 o.conditions1 o.results1 "},
        {"[", {.regularExpression = true}, ""},
        {"e", {.matchCase = true, .wholeWords = true}, ""},
        {"", {}, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Found(file, c.pattern, c.options), c.found) << c.pattern;
    // Letters beyond ASCII have their cases too, plain or not.
    file.GetPage(0)->SetDescription("\xC9T\xC9 \x8A");
    for (const bool regularExpression : {false, true})
        EXPECT_EQ(Found(file, "\u00e9t\u00e9 \u0161", {.wholeWords = true, .regularExpression = regularExpression}), "p.description1 ");
    EXPECT_FALSE(TextSearch("[", {.regularExpression = true}, &RegularExpression::Engine()).GetError().empty());
}

// Texts whose replacement the file could not carry are refused, each with
// why; the others change.
TEST(TextSearch, RefusesUnstorableReplacements)
{
    DialogFile file;
    Fill(file);
    const struct {
        const char *replacement;
        size_t changed;
        size_t refused;
    } cases[] = {
        {"torch", 11, 0},
        {"{torch}", 5, 6}, // names, descriptions and remarks may hold braces
        {"a//b", 5, 6},    // and "//"
        {"torch\nfire", 2, 9}, // only remarks may take more lines
        {"\u0394", 0, 11},       // no Windows-1252 byte for it
        {"\u00e9t\u00e9", 11, 0},
    };
    for (const auto &c : cases) {
        const TextSearch::Replacement replaced = TextSearch("lamp", {}, &RegularExpression::Engine()).ReplaceAll(file, c.replacement);
        EXPECT_EQ(replaced.changes.size(), c.changed) << c.replacement;
        EXPECT_EQ(replaced.refused.size(), c.refused) << c.replacement;
        for (const TextSearch::Refusal &refusal : replaced.refused)
            EXPECT_FALSE(refusal.reason.empty());
    }
    const TextSearch::Replacement groups = TextSearch("(l)amp", {.regularExpression = true}, &RegularExpression::Engine()).ReplaceAll(file, "\\1ight");
    ASSERT_FALSE(groups.changes.empty());
    EXPECT_EQ(groups.changes.front().bytes, "Light room");
}

} // namespace

namespace {

// The matches found in a document whose one text is text.
TextSearch::Matches MatchesIn(const std::string &text, std::string_view pattern, TextSearch::Options options)
{
    DialogFile file;
    file.NewPage("p")->SetDescription(text);
    TextSearch::Matches matches;
    for (const TextSearch::Hit &hit : TextSearch(pattern, options, &RegularExpression::Engine()).FindAll(file)) {
        if (hit.place.kind == DocumentText::Description)
            matches = hit.matches;
    }
    return matches;
}

// Plain text is matched on the bytes, regular expressions on Unicode: both
// must take every character of Windows-1252 for the same case and the same
// kind (part of a word or not), or a whole-word or case-blind find would
// find other texts with the box ticked than without.
TEST(TextSearch, PlainAndRegularExpressionsAgreeOnEveryCharacter)
{
    std::string every;  // every character but the line break, once
    std::string framed; // " x" then each character, then a blank
    for (int b = 1; b < 256; ++b) {
        if (b == '\n')
            continue;
        every += static_cast<char>(b);
        framed += std::string(" x") + static_cast<char>(b) + " ";
    }
    for (int b = 1; b < 256; ++b) {
        if (b == '\n')
            continue;
        const std::string character = Windows1252::ToUtf8(std::string(1, static_cast<char>(b)));
        char escaped[16];
        std::snprintf(escaped, sizeof escaped, "\\x{%x}", static_cast<unsigned>(Windows1252::ToUnicode(static_cast<unsigned char>(b))));
        EXPECT_EQ(MatchesIn(every, character, {}), MatchesIn(every, escaped, {.regularExpression = true})) << "byte " << b;
    }
    const TextSearch::Matches words = MatchesIn(framed, "x", {.wholeWords = true});
    EXPECT_EQ(words, MatchesIn(framed, "x", {.wholeWords = true, .regularExpression = true}));
    EXPECT_GT(words.size(), 100U);
    EXPECT_LT(words.size(), 200U);
}

// A replacement names groups as Qt's did: \1 to \99 while the expression
// has so many, any other backslash as itself; empty matches take it too.
TEST(TextSearch, ReplacesGroupsAndEmptyMatchesAsBefore)
{
    const struct {
        const char *pattern;
        const char *replacement;
        const char *result;
    } cases[] = {
        {"(l)(a)", "\\2\\1", "aLmp room"},
        {"(l)", "\\2\\0\\\\1", "\\2\\0\\Lamp room"},
        {"(r)(o)(o)(m)(s)?(x)?(y)?(z)?(w)?(v)?", "[\\10\\1]", "Lamp [r]"}, // group 10, unset
        {"(r)(o)om", "[\\10]", "Lamp [r0]"},                               // group 1, then 0
        {"a*", "-", "-L--m-p- -r-o-o-m-"},
        {"\\b", "|", nullptr}, // only empty matches: no text is found, none changes
    };
    for (const auto &c : cases) {
        DialogFile file;
        ASSERT_TRUE(file.ReadText("// [LABEL] Lamp room\n{1}{Hi}{Hi}{}{}{}{}\n"));
        const TextSearch::Replacement replaced = TextSearch(c.pattern, {.regularExpression = true}, &RegularExpression::Engine()).ReplaceAll(file, c.replacement);
        ASSERT_EQ(replaced.changes.size(), c.result ? 1U : 0U) << c.pattern;
        if (c.result) {
            EXPECT_EQ(replaced.changes.front().bytes, c.result) << c.pattern;
        }
    }
}

} // namespace
