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

struct RecordToCode {
    SpeechText record;
    std::string code;
};

TEST(SpeechCodes, EncodesRecords)
{
    const RecordToCode cases[] = {
        {{.kind = 23, .m = 50, .l = "3,7,9"}, "R:50,3,7,9"},
        {{.kind = 21, .n = 4, .m = 100}, "M:100,4"},
        {{.kind = 13, .n = 7}, "Z:7"},
        {{.kind = 15}, "T:"},
        {{.kind = 3}, "D:0,"},
        {{.kind = 20}, "G:"},
        {{.kind = 8, .n = 5, .m = 6, .l = "x", .s = "y"}, "E:"},
        {{.kind = 23, .m = -5}, "R:-5,"},
        // The skill of "Request NPC to use skill.." survives; none stays bare.
        {{.kind = 16, .n = 12}, "U:12"},
        {{.kind = 16}, "U:"},
        {{.kind = 0, .m = 3}, ""},
        {{.kind = 24}, ""},
        {{.kind = -1}, ""},
    };
    for (const RecordToCode &c : cases)
        EXPECT_EQ(EncodeSpeech(c.record), c.code) << "kind " << c.record.kind;
}

TEST(SpeechCodes, DecodesCodes)
{
    const RecordToCode cases[] = {
        {{.kind = 23, .m = 50, .l = "3,7,9"}, "R:50,3,7,9"},
        {{.kind = 3, .m = 10}, "D:10"},
        {{.kind = 21}, "M:"},
        {{.kind = 13, .n = 7}, "Z:7,3"},
        {{.kind = 20, .s = "hello"}, "G:hello,there"},
        {{.kind = 8}, "E:"},
        {{.kind = 2, .m = 1, .l = "a,b,,c"}, "X:1,a,b,,c"},
        {{.kind = 15, .l = "a,b"}, "T:a,b"},
        {{.kind = 21, .m = -3}, "M:-3,x"},
        {{.kind = 23, .m = 12, .l = " a"}, "R: 12abc, a"},
        {{.kind = 21, .n = INT_MIN, .m = INT_MAX}, "M:99999999999,-99999999999"},
        {{.kind = 12}, "Q: where is he?"},
    };
    for (const RecordToCode &c : cases)
        EXPECT_EQ(Decoded(c.code), c.record) << c.code;
}

TEST(SpeechCodes, WritesCanonicalForms)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Z:7,3", "Z:7"}, {"R: 5,a", "R:5,a"}, {"M:", "M:0,0"}, {"G:hello,there", "G:hello"},
        {"R:50,", "R:50,"}, {"X:1,a,b,,c", "X:1,a,b,,c"}, {"Z:", "Z:0"}, {"M:-3,x", "M:-3,0"},
        {"E:", "E:"}, {"U:12", "U:12"}, {"U:", "U:"}, {"U:0", "U:"}, {"D:007,x", "D:7,x"},
        {"Q: where is he?", "Q:"},
    };
    for (const auto &[code, canonical] : cases)
        EXPECT_EQ(EncodeSpeech(Decoded(code)), canonical) << code;
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

TEST(SpeechCodes, EveryKindRoundTripsItsMembers)
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
    }
}

TEST(SpeechCodes, Labels)
{
    EXPECT_EQ(GetSpeechKindLabel(23), "Rumour");
    EXPECT_EQ(GetSpeechKindLabel(16), "Request NPC to use skill..");
    EXPECT_EQ(GetSpeechKindLabel(0), "");
    EXPECT_EQ(GetSpeechKindLabel(24), "");
    EXPECT_EQ(GetSpeechKindLabel(-3), "");
}

} // namespace
