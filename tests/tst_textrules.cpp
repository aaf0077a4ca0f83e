// Which texts the file format can carry back, and the pages it would lose.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"
#include "model/Windows1252.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

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
