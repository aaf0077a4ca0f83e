// Random documents of texts the format can carry, and random edits of them:
// what is written reads back as the same document and writes the same bytes,
// and edits taken back and made again give the same bytes.
#include "TestFiles.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/DocumentEdit.h"

#include <array>
#include <gtest/gtest.h>
#include <random>

namespace {

// A document of 1 to 12 pages of up to 25 options each; the texts are
// letters, blanks, punctuation, high bytes and generated speech.
class RandomDocument {
public:
    explicit RandomDocument(unsigned seed) : m_random(seed) {}

    void Fill(DialogFile &file)
    {
        const int pages = Pick(1, 12);
        for (int p = 0; p < pages; ++p) {
            DialogLine *page = file.NewPage();
            page->SetLabel(Word());
            const std::string male = Speech();
            page->SetSpeech(male);
            if (Pick(0, 1)) {
                page->SetFemaleSpeech(male);
            } else {
                page->SetFemaleSpeech("!" + male);
                page->ClearSameSpeechForBoth();
            }
            page->SetIntelligenceCheck(Text());
            page->SetResults(Text());
            Decorate(*page);
            const int options = Pick(0, 25);
            for (int o = 0; o < options; ++o) {
                auto option = std::make_unique<DialogLine>();
                option->SetSpeech(Speech());
                option->SetFemaleSpeech(std::array{"", "0", "1"}[Pick(0, 2)]);
                option->SetIntelligenceCheck(std::array{"1", "5", "+3", "-8", ""}[Pick(0, 4)]);
                option->SetConditions(Text());
                option->SetResults(Text());
                Decorate(*option);
                page->AddOption(std::move(option));
            }
        }
        for (int p = 0; p < file.GetPageCount(); ++p) {
            for (int o = 0; o < file.GetPage(p)->GetOptionCount(); ++o) {
                const int target = Pick(-1, file.GetPageCount() - 1);
                file.GetPage(p)->GetOption(o)->SetTarget(target < 0 ? nullptr : file.GetPage(target));
            }
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Letters, digits, blanks, punctuation and bytes above 0x7F, but no
    // line break, brace, slash or bracket.
    std::string Text()
    {
        static const std::string alphabet = "abcXYZ 019%:,.!?\t\x80\x81\xe9\xff";
        std::string text;
        for (int i = Pick(0, 12); i > 0; --i)
            text += alphabet[static_cast<size_t>(Pick(0, static_cast<int>(alphabet.size()) - 1))];
        return text;
    }
    std::string Word()
    {
        std::string word = "w" + Text();
        while (word.back() == ' ' || word.back() == '\t')
            word.pop_back();
        return word;
    }
    std::string Speech()
    {
        static const char *const codes[] = {"R:50,a,b", "E:", "M:5,1", "G:hi", "U:3", "T:", "D:1,x"};
        return Pick(0, 3) == 0 ? codes[Pick(0, 6)] : Word();
    }
    void Decorate(DialogLine &line)
    {
        if (Pick(0, 2) == 0)
            line.SetDescription(Word());
        std::string remarks;
        for (int i = Pick(0, 2); i > 0; --i)
            remarks += Word() + "\n";
        line.SetComment(remarks);
    }

    std::mt19937 m_random;
};

class RandomEdits {
public:
    RandomEdits(DialogFile &file, unsigned seed) : m_file(file), m_rng(seed) {}

    // A random edit of what the document holds now, not yet applied.
    DocumentEdit Next()
    {
        DialogLine &page = *m_file.GetPage(Below(m_file.GetPageCount()));
        const int options = page.GetOptionCount();
        const int pages = m_file.GetPageCount();
        switch (Below(8)) {
        case 5:
            if (pages > 1)
                return DocumentEdit::DeletingPage(m_file, Below(pages));
            [[fallthrough]];
        case 6:
            return DocumentEdit::MovingPage(m_file, Below(pages), Below(pages));
        case 7: {
            const int from = Below(pages);
            auto copy = m_file.GetPage(from)->Clone();
            copy->SetLabel(m_file.MakeCopyName(copy->GetLabel()));
            return DocumentEdit::AddingPage(m_file, Below(pages + 1), std::move(copy));
        }
        case 0:
            if (options > 0)
                return DocumentEdit::DeletingOption(page, Below(options));
            [[fallthrough]];
        case 1: {
            auto option = std::make_unique<DialogLine>();
            option->SetSpeech("Option " + std::to_string(m_count++));
            return DocumentEdit::AddingOption(page, Below(options + 1), std::move(option));
        }
        case 2:
            if (options > 1)
                return DocumentEdit::MovingOption(page, Below(options), Below(options));
            [[fallthrough]];
        case 3: {
            auto added = std::make_unique<DialogLine>();
            added->SetLabel("Page " + std::to_string(m_count));
            added->SetSpeech("Said " + std::to_string(m_count));
            added->SetFemaleSpeech("Said " + std::to_string(m_count++));
            return DocumentEdit::AddingPage(m_file, Below(m_file.GetPageCount() + 1), std::move(added));
        }
        default: {
            DialogLine &line = options > 0 && Below(2) ? *page.GetOption(Below(options)) : page;
            DialogLine scratch;
            scratch.SetContent(line.GetContent());
            const std::string text = "changed " + std::to_string(m_count++);
            const int member = Below(5);
            if (member == 0)
                scratch.SetSpeech(Below(2) ? text : "M:" + std::to_string(Below(500)) + ",21");
            else if (member == 1)
                scratch.SetResults(text);
            else if (member == 2)
                scratch.SetDescription(text);
            else if (member == 3)
                scratch.SetComment(text + "\n");
            else
                scratch.SetTarget(Below(3) ? m_file.GetPage(Below(m_file.GetPageCount())) : nullptr);
            return DocumentEdit::ChangingLine(page, line, line.GetContent(), scratch.GetContent());
        }
        }
    }

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    DialogFile &m_file;
    std::mt19937 m_rng;
    int m_count = 0;
};

// Writing reads back as the document written, and writing that again gives
// the same bytes.
void ExpectReadsBack(const DialogFile &file, const std::string &bytes, unsigned seed)
{
    DialogFile back;
    ASSERT_TRUE(back.ReadText(bytes)) << seed;
    EXPECT_EQ(TestFiles::Describe(back, true), TestFiles::Describe(file, true)) << seed;
    EXPECT_EQ(back.WriteText(), bytes) << seed;
}

TEST(DocumentEdit, ThreeHundredEditsTakenBackAndMadeAgain)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        DialogFile file;
        if (seed == 1)
            ASSERT_TRUE(file.Read(TALKWRIGHT_EXAMPLES_DIR "/tavern.dlg"));
        else
            RandomDocument(seed).Fill(file);
        const std::string original = file.WriteText();
        ExpectReadsBack(file, original, seed);
        if (seed > 8)
            continue;
        RandomEdits random(file, seed);
        std::vector<DocumentEdit> edits;
        for (int i = 0; i < 300; ++i) {
            edits.push_back(random.Next());
            edits.back().Apply();
        }
        const std::string edited = file.WriteText();
        ASSERT_NE(edited, original) << seed;
        // No jump or Request money is left naming a page taken out.
        for (int p = 0; p < file.GetPageCount(); ++p) {
            for (int o = -1; o < file.GetPage(p)->GetOptionCount(); ++o) {
                const DialogLine &line = o < 0 ? *file.GetPage(p) : *file.GetPage(p)->GetOption(o);
                for (const DialogLine *page : std::initializer_list<const DialogLine *>{line.GetTarget(), line.GetSpeechCode().g, line.GetFemaleSpeechCode().g})
                    EXPECT_TRUE(!page || file.IndexOf(page) >= 0) << seed;
            }
        }
        for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
            edit->Revert();
        EXPECT_EQ(file.WriteText(), original) << seed;
        for (DocumentEdit &edit : edits)
            edit.Apply();
        EXPECT_EQ(file.WriteText(), edited) << seed;
    }
}

} // namespace

namespace {

// Deleting a page ends every jump and Request money that led to it; taking
// the deletion back makes them lead to it again. A copy goes after its page
// under a name no page has; moving a page changes the file's order.
TEST(DocumentEdit, PagesDeletedDuplicatedAndMoved)
{
    DialogFile file;
    DialogLine *a = TestFiles::AddPage(file, "A", "M:5,0");
    DialogLine *b = TestFiles::AddPage(file, "B", "Hello");
    TestFiles::AddOption(*a, "to B", b);
    TestFiles::AddOption(*b, "to B again", b);
    a->SetSpeechPage(b);
    TestFiles::AddPage(file, "B copy", "taken");
    const std::string original = file.WriteText();
    ASSERT_NE(original.find("{M:5,21}"), std::string::npos);

    DocumentEdit deletion = DocumentEdit::DeletingPage(file, 1);
    deletion.Apply();
    EXPECT_EQ(file.GetPageCount(), 2);
    EXPECT_EQ(a->GetOption(0)->GetTarget(), nullptr);
    const std::string deleted = file.WriteText();
    EXPECT_NE(deleted.find("{M:5,0}"), std::string::npos) << deleted;
    EXPECT_NE(deleted.find("{to B}{}{1}{}{}{}"), std::string::npos) << deleted;
    deletion.Revert();
    EXPECT_EQ(file.WriteText(), original);

    EXPECT_EQ(file.MakeCopyName("A"), "A copy");
    EXPECT_EQ(file.MakeCopyName("B"), "B copy 2");
    DocumentEdit duplicate = DocumentEdit::AddingPage(file, 2, b->Clone());
    duplicate.Apply();
    EXPECT_EQ(file.GetPage(2)->GetOption(0)->GetTarget(), b);
    EXPECT_EQ(file.FindLinksTo(b).size(), 3u);
    duplicate.Revert();

    DocumentEdit move = DocumentEdit::MovingPage(file, 0, 2);
    move.Apply();
    EXPECT_EQ(file.GetPage(2), a);
    EXPECT_EQ(file.IndexOf(b), 0);
    move.Revert();
    EXPECT_EQ(file.WriteText(), original);
}

} // namespace
