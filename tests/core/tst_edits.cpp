// Random edits of documents, taken back and made again: what is written
// comes back byte for byte, for edits of one line and of several at once.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "edits/DocumentEdit.h"

#include <array>
#include <gtest/gtest.h>
#include <random>

namespace {

class RandomEdits {
public:
    RandomEdits(DialogFile &file, unsigned seed) : m_file(file), m_rng(seed) {}

    // A random edit of what the document holds now, not yet applied.
    DocumentEdit Next()
    {
        DialogLine &page = *m_file.GetPage(Below(m_file.GetPageCount()));
        const int options = page.GetOptionCount();
        const int pages = m_file.GetPageCount();
        switch (Below(12)) {
        case 8:
            if (options > 0)
                return DocumentEdit::DeletingOptions(page, Rows(options, 0, options));
            [[fallthrough]];
        case 9:
            if (options > 1) {
                // Rows that each have a place to go.
                const int by = Below(2) ? 1 : -1;
                return DocumentEdit::MovingOptions(page, Rows(options, by < 0 ? 1 : 0, by < 0 ? options : options - 1), by);
            }
            [[fallthrough]];
        case 10: {
            std::vector<std::unique_ptr<DialogLine>> added;
            for (int n = 1 + Below(3); n > 0; --n) {
                added.push_back(std::make_unique<DialogLine>());
                added.back()->SetSpeech("Pasted " + std::to_string(m_count++));
                added.back()->SetTarget(m_file.GetPage(Below(pages)));
            }
            return DocumentEdit::AddingOptions(page, Below(options + 1), std::move(added));
        }
        case 11: {
            std::vector<std::unique_ptr<DialogLine>> copies;
            for (int n = 1 + Below(2); n > 0; --n)
                copies.push_back(m_file.GetPage(Below(pages))->Clone());
            return DocumentEdit::AddingPages(m_file, Below(pages + 1), std::move(copies));
        }
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
            option->SetTarget(Below(2) ? m_file.GetPage(Below(m_file.GetPageCount())) : nullptr);
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
    // Some of the rows from first up to (not including) end, ascending; at least one.
    std::vector<int> Rows(int options, int first, int end)
    {
        std::vector<int> rows;
        for (int row = first; row < end && row < options; ++row) {
            if (Below(3) == 0)
                rows.push_back(row);
        }
        if (rows.empty())
            rows.push_back(first + Below(end - first));
        return rows;
    }

    DialogFile &m_file;
    std::mt19937 m_rng;
    int m_count = 0;
};

// A starting file as its seed says: 1 to 12 pages of up to 25 options, with
// descriptions, remarks, speech to female PCs of their own, generated
// speech, Request money and jumps to any page.
std::string StartingFile(unsigned seed)
{
    std::mt19937 random(seed);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const int pages = 1 + pick(12);
    const auto jump = [&] { return pick(3) ? std::to_string(100 * pick(pages) + 1) : std::string(); };
    const auto speech = [&](int n) {
        static const char *const codes[] = {"R:50,a,b", "E:", "G:hi", "U:3", "T:"};
        return pick(4) ? "Line " + std::to_string(n) : pick(2) ? std::string(codes[pick(5)]) : "M:5," + jump();
    };
    const auto remarks = [&](int n) {
        return (pick(3) ? "" : "// [DESCRIPTION] About " + std::to_string(n) + "\n") + (pick(2) ? "// remark\n" : "");
    };
    std::string file;
    for (int p = 0, n = 0; p < pages; ++p, ++n) {
        const std::string male = speech(n);
        file += "// [LABEL] Page " + std::to_string(p) + "\n" + remarks(n) + "{" + std::to_string(100 * p + 1) + "}{" + male + "}{"
                + (pick(2) ? male : "F" + male) + "}{}{}{}{r}\n";
        for (int o = pick(26); o > 0; --o, ++n)
            file += remarks(n) + "{" + std::to_string(100 * p + 1 + o) + "}{" + speech(n) + "}{" + std::array{"", "0", "1"}[pick(3)] + "}{"
                    + std::array{"1", "5", "+3", "-8", ""}[pick(5)] + "}{c}{" + jump() + "}{r}\n";
    }
    return file;
}

TEST(DocumentEdit, ThreeHundredEditsTakenBackAndMadeAgain)
{
    for (unsigned seed = 1; seed <= 8; ++seed) {
        DialogFile file;
        ASSERT_TRUE(file.ReadText(StartingFile(seed))) << seed;
        const std::string original = file.WriteText();
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
    ASSERT_TRUE(file.ReadText("// [LABEL] A\n{1}{M:5,21}{M:5,21}{}{}{}{}\n{2}{to B}{}{1}{}{21}{}\n"
                              "// [LABEL] B\n{21}{Hello}{Hello}{}{}{}{}\n{22}{to B again}{}{1}{}{21}{}\n"
                              "// [LABEL] B copy\n{41}{taken}{taken}{}{}{}{}\n"));
    DialogLine *a = file.GetPage(0);
    DialogLine *b = file.GetPage(1);
    const std::string original = file.WriteText();
    ASSERT_NE(original.find("{M:5,21}"), std::string::npos);

    DocumentEdit deletion = DocumentEdit::DeletingPage(file, 1);
    deletion.Apply();
    EXPECT_EQ(file.GetPageCount(), 2);
    EXPECT_EQ(a->GetOption(0)->GetTarget(), nullptr);
    const std::string deleted = file.WriteText();
    EXPECT_NE(deleted.find("{M:5,0}{M:5,0}"), std::string::npos) << deleted;
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
