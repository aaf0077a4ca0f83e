// The generated-speech table and the two conversions, code to record and back.
#include "speech/SpeechText.h"
#include "speech/GeneratedSpeechKind.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

SpeechText Decoded(std::string_view text)
{
    SpeechText record;
    DecodeSpeech(record, text);
    return record;
}

// A code as typed or read, the record it decodes to, and what that writes.
TEST(SpeechCodes, DecodesAndWritesCanonicalForms)
{
    const struct {
        std::string code;
        SpeechText record;
        std::string canonical;
    } cases[] = {
        {"R:50,3,7,9", {.kind = 23, .m = 50, .l = "3,7,9"}, "R:50,3,7,9"},
        {"R: 12abc, a", {.kind = 23, .m = 12, .l = " a"}, "R:12, a"},
        {"R:50,", {.kind = 23, .m = 50}, "R:50,"},
        {"D:10", {.kind = 3, .m = 10}, "D:10,"},
        {"D:007,x", {.kind = 3, .m = 7, .l = "x"}, "D:7,x"},
        {"M:", {.kind = 21}, "M:0,0"},
        {"M:-3,x", {.kind = 21, .m = -3}, "M:-3,0"},
        {"M:99999999999,-99999999999", {.kind = 21, .n = INT_MIN, .m = INT_MAX}, "M:2147483647,-2147483648"},
        {"Z:7,3", {.kind = 13, .n = 7}, "Z:7"},
        {"Z:", {.kind = 13}, "Z:0"},
        {"G:hello,there", {.kind = 20, .s = "hello"}, "G:hello"},
        {"E:", {.kind = 8}, "E:"},
        {"X:1,a,b,,c", {.kind = 2, .m = 1, .l = "a,b,,c"}, "X:1,a,b,,c"},
        {"T:a,b", {.kind = 15, .l = "a,b"}, "T:a,b"},
        // The skill of "Request NPC to use skill.." survives; none stays bare.
        {"U:12", {.kind = 16, .n = 12}, "U:12"},
        {"U:0", {.kind = 16}, "U:"},
        {"Q: where is he?", {.kind = 12}, "Q:"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Decoded(c.code), c.record) << c.code;
        EXPECT_EQ(EncodeSpeech(c.record), c.canonical) << c.code;
    }
    // Members a kind does not name are not written; unique speech and
    // unknown kinds have no code.
    EXPECT_EQ(EncodeSpeech({.kind = 8, .n = 5, .m = 6, .l = "x", .s = "y"}), "E:");
    for (const int kind : {0, 24, -1})
        EXPECT_EQ(EncodeSpeech({.kind = kind, .m = 3}), "") << kind;
}

TEST(SpeechCodes, UniqueSpeechKeepsTheOtherMembers)
{
    for (const std::string_view text : {"Hello", "", "E", "e:", "r:50", " R:50", "%:"}) {
        SpeechText record = Decoded("R:50,3");
        DecodeSpeech(record, text);
        EXPECT_EQ(record, (SpeechText{.kind = 0, .m = 50, .l = "3"})) << text;
    }
    // A template decodes only the members it names.
    SpeechText record = Decoded("R:50,3");
    DecodeSpeech(record, "G:x");
    EXPECT_EQ(record, (SpeechText{.kind = 20, .m = 50, .l = "3", .s = "x"}));
}

TEST(SpeechCodes, EveryKindRoundTripsItsMembersAndHasALabel)
{
    ASSERT_EQ(GeneratedSpeechKind::Table().size(), 23u);
    for (const GeneratedSpeechKind &kind : GeneratedSpeechKind::Table()) {
        const SpeechText full{.kind = kind.id, .n = 2, .m = 1, .l = "a,b", .s = "c"};
        const SpeechText back = Decoded(EncodeSpeech(full));
        const std::string_view tpl = kind.codeTemplate;
        EXPECT_EQ(back.kind, kind.id) << tpl;
        EXPECT_EQ(back.n, tpl.find("%n") != tpl.npos ? 2 : 0) << tpl;
        EXPECT_EQ(back.m, tpl.find("%m") != tpl.npos ? 1 : 0) << tpl;
        EXPECT_EQ(back.l, tpl.find("%l") != tpl.npos ? "a,b" : "") << tpl;
        EXPECT_EQ(back.s, tpl.find("%s") != tpl.npos ? "c" : "") << tpl;
        EXPECT_NE(GetSpeechKindLabel(kind.id), "") << tpl;
    }
    EXPECT_EQ(GetSpeechKindLabel(16), "Request NPC to use skill..");
    for (const int id : {0, 24, -3})
        EXPECT_EQ(GetSpeechKindLabel(id), "") << id;
}

} // namespace
