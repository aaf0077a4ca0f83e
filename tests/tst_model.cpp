// The document model: construction, new pages, renumbering, option moves.
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

void FillPages(DialogFile &file, const std::vector<int> &optionCounts)
{
    for (const int count : optionCounts) {
        DialogLine *page = file.NewPage();
        for (int i = 0; i < count; ++i)
            page->AddOption(std::make_unique<DialogLine>());
    }
}

TEST(Model, EmptyDocumentNewLineAndNewPage)
{
    DialogFile file;
    EXPECT_EQ(file.GetPageCount(), 0);
    EXPECT_EQ(file.GetPage(0), nullptr);
    EXPECT_FALSE(file.IsModified());
    EXPECT_FALSE(file.IsUntitled());
    EXPECT_EQ(file.GetFileName(), "");

    const DialogLine line;
    EXPECT_TRUE(line.IsModified());
    EXPECT_TRUE(line.IsSameSpeechForBoth());
    EXPECT_FALSE(line.IsNpcLine());
    EXPECT_EQ(line.GetField(5).GetText(), "0");
    EXPECT_EQ(line.GetTarget(), nullptr);
    EXPECT_EQ(line.GetSpeechCode(), SpeechText{});

    EXPECT_EQ(file.NewPage("NewPage0007")->GetLabel(), "NewPage0007");
    EXPECT_TRUE(file.IsModified()) << "a new page is a change";
}

TEST(Model, RenumbersInBlocksOfTwenty)
{
    struct Case {
        std::vector<int> options;
        std::vector<int> pageNumbers;
    };
    const Case cases[] = {
        {{19, 0}, {1, 21}},
        {{20, 0}, {1, 41}},
        {{3, 25, 0}, {1, 21, 61}},
        {{0, 0, 0}, {1, 21, 41}},
        {{}, {}},
    };
    for (const Case &c : cases) {
        DialogFile file;
        FillPages(file, c.options);
        file.Renumber();
        for (int p = 0; p < file.GetPageCount(); ++p) {
            const DialogLine *page = file.GetPage(p);
            EXPECT_EQ(page->GetNumber(), c.pageNumbers[static_cast<size_t>(p)]);
            for (int o = 0; o < page->GetOptionCount(); ++o)
                EXPECT_EQ(page->GetOption(o)->GetNumber(), page->GetNumber() + 1 + o);
        }
    }
}

TEST(Model, MovingAnOptionUnlinksAndMarksThePage)
{
    DialogFile file;
    FillPages(file, {3});
    DialogLine *page = file.GetPage(0);
    DialogLine *second = page->GetOption(1);
    page->ClearModified();

    std::unique_ptr<DialogLine> taken = page->RemoveOptionAt(1);
    EXPECT_EQ(taken.get(), second);
    EXPECT_EQ(page->GetOptionCount(), 2);
    page->InsertOptionAt(0, std::move(taken));
    EXPECT_EQ(page->GetOptionCount(), 3);
    EXPECT_EQ(page->GetOption(0), second);
    EXPECT_TRUE(page->IsModified());
}

// A line read from a file reads its texts in its document's copy of the
// file. One taken out of the document must take them along: read after the
// document is gone, they would be freed memory, which AddressSanitizer
// reports (without it they may still come out right by chance).
TEST(Model, ALineTakenOutKeepsItsTextsWithoutItsDocument)
{
    struct Case {
        const char *what;
        std::unique_ptr<DialogLine> (*takeOut)(DialogFile &);
        std::string label, speech, description, comment;
        int options;
    };
    const Case cases[] = {
        {"a page", [](DialogFile &file) { return file.RemovePageAt(0); }, "Start", "Hello.", "First", "note\n", 1},
        {"an option", [](DialogFile &file) { return file.GetPage(0)->RemoveOptionAt(0); }, "2", "Who?", "Asks", "", 0},
    };
    for (const Case &c : cases) {
        auto file = std::make_unique<DialogFile>();
        ASSERT_TRUE(file->ReadText("// note\n// [LABEL] Start\n// [DESCRIPTION] First\n{1}{Hello.}{Hello.}{}{1}{}{}\n"
                                   "// [DESCRIPTION] Asks\n{2}{Who?}{1}{5}{}{21}{}\n"));
        const std::unique_ptr<DialogLine> line = c.takeOut(*file);
        file.reset();
        EXPECT_EQ(line->ViewFields()[0], c.label) << c.what;
        EXPECT_EQ(line->ViewFields()[1], c.speech) << c.what;
        EXPECT_EQ(line->ViewDescription(), c.description) << c.what;
        EXPECT_EQ(line->ViewComment(), c.comment) << c.what;
        ASSERT_EQ(line->GetOptionCount(), c.options) << c.what;
        if (c.options > 0)
            EXPECT_EQ(line->GetOption(0)->ViewFields()[1], "Who?") << c.what << ": its option";
    }
}

TEST(Model, FindPageByNumberSearchesPagesOnly)
{
    DialogFile file;
    FillPages(file, {2, 0});
    file.Renumber(); // pages 1 and 21, options 2 and 3
    EXPECT_EQ(file.FindPageByNumber(21), file.GetPage(1));
    EXPECT_EQ(file.FindPageByNumber(2), nullptr);
    file.GetPage(1)->SetNumber(1);
    EXPECT_EQ(file.FindPageByNumber(1), file.GetPage(0)) << "the first page with the number wins";
}

TEST(Model, SettersDecodeAndMark)
{
    DialogLine option;
    option.SetFemaleSpeech("1");
    EXPECT_EQ(option.GetFemaleSpeechCode().kind, 0) << "a gender check is no speech";
    option.SetSpeech("R:5,a");
    EXPECT_EQ(option.GetSpeechCode().kind, 23);
    EXPECT_EQ(option.GetSpeechCode().m, 5);

    const auto marks = [&option](auto change) {
        option.ClearModified();
        change();
        return option.IsModified();
    };
    EXPECT_TRUE(marks([&] { option.SetLabel("x"); }));
    EXPECT_TRUE(marks([&] { option.SetIntelligenceCheck("+3"); }));
    EXPECT_TRUE(marks([&] { option.SetConditions("c"); }));
    EXPECT_TRUE(marks([&] { option.SetTargetNumber(4); }));
    EXPECT_TRUE(marks([&] { option.SetResults("r"); }));
    EXPECT_TRUE(marks([&] { option.SetTarget(nullptr); }));
    EXPECT_TRUE(marks([&] { option.SetNumber(3); }));
    EXPECT_TRUE(marks([&] { option.SetDescription("d"); }));
    EXPECT_TRUE(marks([&] { option.ClearSameSpeechForBoth(); }));
    EXPECT_EQ(option.GetTargetNumber(), 4);
}

} // namespace
