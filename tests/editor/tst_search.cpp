// Find and replace through every text of a document.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/TextSearch.h"

#include <gtest/gtest.h>

namespace {

// One page and one option with "Lamp" in each of their texts.
void Fill(DialogFile &file)
{
    ASSERT_TRUE(file.ReadText("// [LABEL] Lamp room\n// [DESCRIPTION] lamplight\n// a lamp\n{1}{The lamp is lit.}{Her lamp}{}{}{}{LAMP=1}\n"
                              "// [DESCRIPTION] Lamp\n// lamps\n{2}{R:20,lamp,ferry}{}{1}{has lamp}{}{lamp=0}\n"));
}

std::string Found(const DialogFile &file, const QString &pattern, TextSearch::Options options)
{
    std::string found;
    for (const TextSearch::Hit &hit : TextSearch(pattern, options).FindAll(file))
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
        EXPECT_EQ(Found(file, QString::fromUtf8("\u00e9t\u00e9 \u0161"), {.wholeWords = true, .regularExpression = regularExpression}), "p.description1 ");
    EXPECT_FALSE(TextSearch("[", {.regularExpression = true}).GetError().isEmpty());
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
        const TextSearch::Replacement replaced = TextSearch("lamp", {}).ReplaceAll(file, QString::fromUtf8(c.replacement));
        EXPECT_EQ(replaced.changes.size(), c.changed) << c.replacement;
        EXPECT_EQ(replaced.refused.size(), c.refused) << c.replacement;
        for (const TextSearch::Refusal &refusal : replaced.refused)
            EXPECT_FALSE(refusal.reason.empty());
    }
    const TextSearch::Replacement groups = TextSearch("(l)amp", {.regularExpression = true}).ReplaceAll(file, "\\1ight");
    ASSERT_FALSE(groups.changes.empty());
    EXPECT_EQ(groups.changes.front().bytes, "Light room");
}

} // namespace
