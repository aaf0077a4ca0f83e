// The rules the editor and dlgtool share: what gender and intelligence checks
// mean, the option description, which texts the file format can carry back
// and the pages it would lose. Reachability is tested with dlgtool check.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/BandSets.h"
#include "rules/GenderCheck.h"
#include "rules/IntelligenceCheck.h"
#include "rules/OfferedSet.h"
#include "rules/OptionDescription.h"
#include "model/TextRules.h"
#include "model/Windows1252.h"

#include <gtest/gtest.h>
#include <random>

using namespace std::string_literals;

namespace {

char Mark(bool yes) { return yes ? '+' : '.'; }

TEST(Rules, GenderCheck)
{
    using G = GenderCheck;
    // Who the page view says; whether dlgtool check takes the form for known.
    const std::tuple<const char *, G::Who, bool> cases[] = {
        {"", G::Anyone, true},         {"1", G::MaleOnly, true},   {"0", G::FemaleOnly, true}, {" 1", G::MaleOnly, false},
        {"00", G::FemaleOnly, false}, {"x", G::FemaleOnly, false}, {"2", G::Unknown, false},
    };
    for (const auto &[text, who, known] : cases) {
        EXPECT_EQ(G(text).GetWho(), who) << '"' << text << '"';
        EXPECT_EQ(G(text).IsKnownForm(), known) << '"' << text << '"';
    }
    EXPECT_EQ(G::Text(G::Anyone) + "," + G::Text(G::MaleOnly) + "," + G::Text(G::FemaleOnly), ",1,0");
}

TEST(Rules, IntelligenceCheck)
{
    // Checks nothing, comparison, value, known form, the number compared
    // and the boundary (-1: none). Who passes is the offered set's test.
    const std::pair<const char *, const char *> cases[] = {
        {"", "none 0 '' . -1"},       {"1", "none 0 '1' + -1"},       {"+1", "on 1 '1' + 2"},   {"-1", "on 2 '1' + 1"},
        {"8", "on 0 '8' + 8"},        {"+8", "on 1 '8' + 9"},         {"-8", "on 2 '8' + 8"},   {"007", "on 0 '007' + 7"},
        // All digits count, clamped to 32 bits, as every number of the file is read.
        {"99999999999999", "on 0 '99999999999999' + 2147483647"}, {"0000000000009", "on 0 '0000000000009' + 9"},
        {"1000000000000", "on 0 '1000000000000' + 2147483647"}, {"+99999999999", "on 1 '99999999999' + 2147483648"},
        {"x5", "on 0 'x5' . 0"}, {"5\xe9", "on 0 '5\xe9' . 5"},
        {"-x", "on 2 'x' . 0"},       {"+", "on 1 '' . 1"},
    };
    for (const auto &[text, expected] : cases) {
        const IntelligenceCheck check(text);
        const std::string seen = std::string(check.ChecksNothing() ? "none " : "on ") + std::to_string(check.GetComparison()) + " '"
                                 + check.GetValue() + "' " + Mark(check.IsKnownForm()) + " " + std::to_string(check.GetBoundary().value_or(-1));
        EXPECT_EQ(seen, expected) << '"' << text << '"';
    }
}

// The one rule of what a PC is offered, around each check's line: PCs of
// intelligence N - 1, N and N + 1, male then female ('+' offered, '.' not),
// and the reason given to the first PC refused.
TEST(Rules, OfferedSet)
{
    struct Case {
        const char *gender, *intelligence;
        long long n;
        const char *offered, *reason;
        const char *conditions = "";
        bool conditionsPass = true;
    };
    const Case cases[] = {
        {"", "", 1, "++++++", ""},
        {"", "1", 1, "++++++", ""},
        {"1", "8", 8, ".++...", "needs intelligence at least 8"},
        {"0", "+8", 8, ".....+", "only for female PCs, needs intelligence above 8"},
        {"", "-8", 8, "+..+..", "needs intelligence below 8"},
        // Other forms, as the page view and the option dialog read them.
        {"00", "08", 8, "....++", "only for female PCs, needs intelligence at least 8"},
        {" 1", "5a", 5, ".++...", "needs intelligence at least 5"},
        {"2", "x5", 0, ".++.++", "needs intelligence at least 0"},
        {"", "+", 1, ".++.++", "needs intelligence above 0"},
        {"", "-x", 0, "+..+..", "needs intelligence below 0"},
        // Conditions count only when they fail, and only where there are some.
        {"", "1", 5, "++++++", "", "", false},
        {"", "1", 5, "......", "its conditions do not pass", "Gold > 5", false},
        {"", "1", 5, "++++++", "", "Gold > 5", true},
    };
    for (const Case &c : cases) {
        DialogLine option;
        option.SetFemaleSpeech(c.gender);
        option.SetIntelligenceCheck(c.intelligence);
        option.SetConditions(c.conditions);
        std::string offered;
        std::string reason;
        for (const bool female : {false, true}) {
            for (long long intelligence = c.n - 1; intelligence <= c.n + 1; ++intelligence) {
                const OfferedSet::Refusal refusal = OfferedSet::Check(option, {female, intelligence}, c.conditionsPass);
                offered += Mark(!refusal.Any());
                if (refusal.Any() && reason.empty())
                    reason = OfferedSet::Reason(option, refusal);
            }
        }
        EXPECT_EQ(offered, c.offered) << '"' << c.gender << "" "" << c.intelligence << '"';
        EXPECT_EQ(reason, c.reason) << '"' << c.gender << "" "" << c.intelligence << '"';
    }
}

// The shared sets of bands that reachability keeps agree with plain sets of
// bands under every operation, for band counts that do and do not halve
// evenly: which bands they hold, their ranges and the gaps between, and the
// one Id that equal sets share.
TEST(Rules, BandSetsAgreeWithPlainSets)
{
    using Plain = std::vector<bool>;
    for (const size_t bands : {1U, 2U, 7U, 16U, 37U}) {
        BandSets sets(bands);
        std::vector<std::pair<BandSets::Id, Plain>> made{{BandSets::kNone, Plain(bands, false)}, {BandSets::kEvery, Plain(bands, true)}};
        std::mt19937 random(static_cast<unsigned>(bands));
        const auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
        for (int step = 0; step < 400; ++step) {
            const auto &[a, plainA] = made[pick(made.size())];
            const auto &[b, plainB] = made[pick(made.size())];
            size_t first = pick(bands + 1);
            size_t last = pick(bands + 1);
            if (first > last)
                std::swap(first, last);
            Plain plain(bands);
            BandSets::Id id = 0;
            switch (step % 4) {
            case 0:
                id = sets.Of({first, last});
                for (size_t i = 0; i < bands; ++i)
                    plain[i] = i >= first && i < last;
                break;
            case 1:
                id = sets.Unite(a, b);
                for (size_t i = 0; i < bands; ++i)
                    plain[i] = plainA[i] || plainB[i];
                break;
            case 2:
                id = sets.Subtract(a, b);
                for (size_t i = 0; i < bands; ++i)
                    plain[i] = plainA[i] && !plainB[i];
                break;
            default:
                id = sets.Intersect(a, {first, last});
                for (size_t i = 0; i < bands; ++i)
                    plain[i] = plainA[i] && i >= first && i < last;
            }
            for (const auto &[other, otherPlain] : made)
                ASSERT_EQ(other == id, otherPlain == plain) << bands << " bands, step " << step << ": equal sets, equal Ids";
            for (const bool missing : {false, true}) {
                std::vector<BandSets::Range> ranges;
                for (size_t i = 0; i < bands; ++i) {
                    if (plain[i] == missing)
                        continue;
                    if (i > 0 && plain[i - 1] != missing)
                        ranges.back().second = i + 1;
                    else
                        ranges.push_back({i, i + 1});
                }
                ASSERT_EQ(sets.CountRanges(id, missing), ranges.size()) << bands << " bands, step " << step;
                ASSERT_EQ(sets.GetRanges(id, missing, ranges.size() + 1, false), ranges) << bands << " bands, step " << step;
                const std::vector<BandSets::Range> head(ranges.begin(), ranges.begin() + static_cast<long>(std::min<size_t>(2, ranges.size())));
                ASSERT_EQ(sets.GetRanges(id, missing, 2, false), head) << bands << " bands, step " << step;
                const std::vector<BandSets::Range> tail(ranges.end() - static_cast<long>(std::min<size_t>(1, ranges.size())), ranges.end());
                ASSERT_EQ(sets.GetRanges(id, missing, 1, true), tail) << bands << " bands, step " << step;
            }
            for (size_t i = 0; i < bands; ++i)
                ASSERT_EQ(sets.Contains(id, i), plain[i]) << bands << " bands, step " << step << ", band " << i;
            bool meets = false;
            for (size_t i = first; i < last; ++i)
                meets = meets || plain[i];
            ASSERT_EQ(sets.Meets(id, {first, last}), meets) << bands << " bands, step " << step;
            made.emplace_back(id, plain);
        }
    }
}

// What the option dialog writes for the comparison and the value typed.
TEST(Rules, IntelligenceCheckComposed)
{
    using C = IntelligenceCheck;
    const std::tuple<C::Comparison, const char *, const char *> cases[] = {
        {C::AtLeast, "12", "12"}, {C::AtLeast, "007", "007"}, {C::AtLeast, "1", "1"}, {C::AtLeast, "0", "1"},
        {C::AtLeast, "", "1"},    {C::Above, "1", "+1"},      {C::Above, "0", "1"},   {C::Above, "5\xe9", "+5\xe9"},
        {C::Below, "2", "-2"},    {C::Below, "1", "refused"}, {C::Below, "", "refused"}, // it makes no sense
    };
    for (const auto &[comparison, typed, written] : cases)
        EXPECT_EQ(C::Compose(comparison, typed).value_or("refused"), written) << comparison << " \"" << typed << '"';
}

TEST(Rules, OptionDescription)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText("// [LABEL] Start\n{1}{Hi}{Hi}{}{}{}{}\n{2}{S}{}{1}{}{1}{}\n// [DESCRIPTION] D\n{3}{S}{1}{-8}{C}{}{R}\n"
                              "{4}{S}{0}{+4}{}{}{}\n{5}{S}{00}{5}{}{}{}\n{6}{S}{2}{12}{}{99}{}\n{7}{S}{}{}{}{}{}\n"));
    const char *expected[] = {
        "S\n     {Displayed for either gender, regardless of intelligence}\n     {If selected, go to page Start}",
        "S\n     {Displayed only if male, if intelligence is below 8 and \"C\"}\n     {If selected, dialog is finished, and set \"R\"}\n     (D)",
        "S\n     {Displayed only if female, if intelligence is above 4}\n     {If selected, dialog is finished}",
        "S\n     {Displayed only if female, if intelligence is at least 5}\n     {If selected, dialog is finished}",
        "S\n     {Displayed , if intelligence is at least 12}\n     {If selected, dialog is finished}",
        "S\n     {Displayed for either gender, if intelligence is at least }\n     {If selected, dialog is finished}",
    };
    ASSERT_EQ(file.GetPage(0)->GetOptionCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(OptionDescription::Build(*file.GetPage(0)->GetOption(i)), expected[i]);
}

TEST(TextRules, Check)
{
    using Place = TextRules::Place;
    struct Case {
        std::string text;
        Place place;
        bool storable;
    };
    const Case cases[] = {
        {"Hello, 100% sure: {not}", Place::Label, true},
        {"", Place::Field, true},
        {"Caf\xe9 \x81", Place::Field, true},
        {"a\nb", Place::Field, false},
        {"a\rb", Place::Remark, false},
        {"a\0b"s, Place::Field, false},
        {"a{b", Place::Field, false},
        {"a}", Place::Field, false},
        {"see http://x", Place::Field, false},
        {"a / b", Place::Field, true},
        {"see http://x", Place::Description, true},
        {" lead", Place::Label, false},
        {"trail\t", Place::Description, false},
        {" blanks inside fields stay ", Place::Field, true},
        {"x [LABEL] y", Place::Label, true},
        {"x [LABEL] y", Place::Description, false},
        {"x [LABEL] y", Place::Remark, false},
        {"x [DESCRIPTION] y", Place::Label, true},
        {"x [DESCRIPTION] y", Place::Description, true},
        {"x [DESCRIPTION] y", Place::Remark, false},
        {"x [label] y", Place::Remark, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TextRules::Check(c.text, c.place).empty(), c.storable) << c.text << " in place " << int(c.place);
}

TEST(TextRules, FindsPagesThatWouldNotReadBack)
{
    DialogFile file;
    file.NewPage(); // never given speech
    DialogLine *fine = file.NewPage();
    fine->SetFemaleSpeech("Hi");
    file.NewPage()->SetFemaleSpeech("5 coins");
    file.NewPage()->SetFemaleSpeech("E:");
    EXPECT_EQ(TextRules::FindUnreadablePages(file), (std::vector<int>{0, 2}));
}

TEST(Windows1252, EveryByteComesBack)
{
    for (int b = 0; b < 256; ++b) {
        const char32_t c = Windows1252::ToUnicode(static_cast<unsigned char>(b));
        unsigned char back = 0;
        ASSERT_TRUE(Windows1252::FromUnicode(c, back)) << b;
        EXPECT_EQ(back, b);
    }
    unsigned char byte = 0;
    EXPECT_EQ(Windows1252::ToUnicode(0x80), U'\u20ac');
    EXPECT_FALSE(Windows1252::FromUnicode(U'\u0080', byte)) << "0x80 is the euro sign";
    EXPECT_FALSE(Windows1252::FromUnicode(U'\u4e2d', byte));
    EXPECT_EQ(Windows1252::ToUtf8("Caf\xe9 \x80\x9d"), "Caf\u00e9 \u20ac\u009d");
}

} // namespace
