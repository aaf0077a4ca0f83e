// The rules of the game that the editor and dlgtool share: what gender and
// intelligence checks mean, the option description, and who reaches a page.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/GenderCheck.h"
#include "model/IntelligenceCheck.h"
#include "model/OptionDescription.h"
#include "model/Reachability.h"

#include <gtest/gtest.h>

namespace {

TEST(Rules, GenderCheck)
{
    struct Case {
        const char *text;
        GenderCheck::Who who;
        bool known, male, female; // known form; passes male PCs, female PCs
    };
    const Case cases[] = {
        {"", GenderCheck::Anyone, true, true, true},
        {"1", GenderCheck::MaleOnly, true, true, false},
        {"0", GenderCheck::FemaleOnly, true, false, true},
        {" 1", GenderCheck::MaleOnly, false, true, true}, // read as atoi reads it; unknown forms pass everyone
        {"00", GenderCheck::FemaleOnly, false, true, true},
        {"x", GenderCheck::FemaleOnly, false, true, true},
        {"2", GenderCheck::Unknown, false, true, true},
    };
    for (const Case &c : cases) {
        const GenderCheck check(c.text);
        EXPECT_EQ(check.GetWho(), c.who) << '"' << c.text << '"';
        EXPECT_EQ(check.IsKnownForm(), c.known) << '"' << c.text << '"';
        EXPECT_EQ(check.Passes(false), c.male) << '"' << c.text << '"';
        EXPECT_EQ(check.Passes(true), c.female) << '"' << c.text << '"';
    }
    EXPECT_EQ(GenderCheck::Text(GenderCheck::Anyone), "");
    EXPECT_EQ(GenderCheck::Text(GenderCheck::MaleOnly), "1");
    EXPECT_EQ(GenderCheck::Text(GenderCheck::FemaleOnly), "0");
}

TEST(Rules, IntelligenceCheck)
{
    using C = IntelligenceCheck;
    struct Case {
        const char *text;
        bool nothing;
        C::Comparison comparison;
        const char *value;
        bool known;
        long long boundary; // -1: none
        const char *passes; // from intelligence 0 to 13, '+' where the check passes
    };
    const Case cases[] = {
        {"", true, C::AtLeast, "", false, -1, "++++++++++++++"},
        {"1", true, C::AtLeast, "1", true, -1, "++++++++++++++"},
        {"+1", false, C::Above, "1", true, 2, "..++++++++++++"},
        {"-1", false, C::Below, "1", true, 1, "+............."},
        {"8", false, C::AtLeast, "8", true, 8, "........++++++"},
        {"+8", false, C::Above, "8", true, 9, ".........+++++"},
        {"-8", false, C::Below, "8", true, 8, "++++++++......"},
        {"007", false, C::AtLeast, "007", true, 7, ".......+++++++"},
        {"99999999999999", false, C::AtLeast, "99999999999999", true, 999999999999, ".............."},
        {"x5", false, C::AtLeast, "x5", false, -1, "++++++++++++++"},
        {"-x", false, C::Below, "x", false, -1, "++++++++++++++"},
        {"+", false, C::Above, "", false, -1, "++++++++++++++"},
        {"5\xe9", false, C::AtLeast, "5\xe9", false, -1, "++++++++++++++"},
    };
    for (const Case &c : cases) {
        const C check(c.text);
        EXPECT_EQ(check.ChecksNothing(), c.nothing) << '"' << c.text << '"';
        EXPECT_EQ(check.GetComparison(), c.comparison) << '"' << c.text << '"';
        EXPECT_EQ(check.GetValue(), c.value) << '"' << c.text << '"';
        EXPECT_EQ(check.IsKnownForm(), c.known) << '"' << c.text << '"';
        EXPECT_EQ(check.GetBoundary().value_or(-1), c.boundary) << '"' << c.text << '"';
        std::string passes;
        for (long long intelligence = 0; intelligence < 14; ++intelligence)
            passes += check.Passes(intelligence) ? '+' : '.';
        EXPECT_EQ(passes, c.passes) << '"' << c.text << '"';
    }
}

// What the option dialog writes for the comparison and the value typed.
TEST(Rules, IntelligenceCheckComposed)
{
    using C = IntelligenceCheck;
    struct Case {
        C::Comparison comparison;
        const char *typed;
        const char *written; // null: refused, as such a check makes no sense
    };
    const Case cases[] = {
        {C::AtLeast, "12", "12"}, {C::AtLeast, "007", "007"}, {C::AtLeast, "1", "1"}, {C::AtLeast, "0", "1"},
        {C::AtLeast, "", "1"},    {C::Above, "1", "+1"},      {C::Above, "0", "1"},   {C::Above, "5\xe9", "+5\xe9"},
        {C::Below, "2", "-2"},    {C::Below, "1", nullptr},   {C::Below, "", nullptr},
    };
    for (const Case &c : cases) {
        const std::optional<std::string> written = C::Compose(c.comparison, c.typed);
        EXPECT_EQ(written.value_or("(refused)"), c.written ? c.written : "(refused)") << c.comparison << " \"" << c.typed << '"';
    }
}

TEST(Rules, OptionDescription)
{
    struct Case {
        const char *gender, *intelligence, *conditions, *results, *description;
        bool target;
        const char *text;
    };
    const Case cases[] = {
        {"", "1", "", "", "", true, "S\n     {Displayed for either gender, regardless of intelligence}\n     {If selected, go to page Start}"},
        {"1", "-8", "C", "R", "D", false,
         "S\n     {Displayed only if male, if intelligence is below 8 and \"C\"}\n     {If selected, dialog is finished, and set \"R\"}\n     (D)"},
        {"0", "+4", "", "", "", false, "S\n     {Displayed only if female, if intelligence is above 4}\n     {If selected, dialog is finished}"},
        {"x", "5", "", "", "", false, "S\n     {Displayed only if female, if intelligence is at least 5}\n     {If selected, dialog is finished}"},
        {"2", "12", "", "", "", false, "S\n     {Displayed , if intelligence is at least 12}\n     {If selected, dialog is finished}"},
        {"", "", "", "", "", false, "S\n     {Displayed for either gender, if intelligence is at least }\n     {If selected, dialog is finished}"},
    };
    DialogLine page;
    page.SetLabel("Start");
    for (const Case &c : cases) {
        DialogLine option;
        option.SetSpeech("S");
        option.SetFemaleSpeech(c.gender);
        option.SetIntelligenceCheck(c.intelligence);
        option.SetConditions(c.conditions);
        option.SetResults(c.results);
        option.SetDescription(c.description);
        option.SetTarget(c.target ? &page : nullptr);
        EXPECT_EQ(OptionDescription::Build(option), c.text);
    }
}

// The messages dlgtool check builds on it are tested with the checks.
TEST(Rules, Reachability)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText("{1}{Hi}{Hi}{}{}{}{}\n{2}{a}{1}{-8}{}{21}{}\n{3}{b}{}{+11}{}{41}{}\n"
                              "{21}{l}{l}{}{}{}{}\n{41}{h}{h}{}{}{}{}\n{61}{x}{x}{}{}{}{}\n{62}{y}{}{1}{}{81}{}\n{81}{z}{z}{}{}{}{}\n"));
    const Reachability reach(file);
    using Bands = Reachability::BandSet;
    EXPECT_EQ(reach.GetBoundaries(), (std::vector<long long>{8, 12}));
    EXPECT_EQ(reach.GetBandCount(), 3u);
    EXPECT_EQ(reach.GetReached(0, true), (Bands{{0, 3}}));
    EXPECT_EQ(reach.GetReached(1, false), (Bands{{0, 1}}));
    EXPECT_EQ(reach.GetReached(1, true), Bands{});
    EXPECT_EQ(reach.GetMissed(1, false), (Bands{{1, 3}}));
    EXPECT_EQ(reach.GetReached(2, false), (Bands{{2, 3}}));
    EXPECT_EQ(reach.GetMissed(3, true), (Bands{{0, 3}}));
    EXPECT_FALSE(reach.IsLinked(3));
    EXPECT_TRUE(reach.IsLinked(4)); // from a page no PC reaches
    EXPECT_EQ(reach.GetReached(4, false), Bands{});
}

} // namespace
