// Edits of a document, taken back and made again, give the same bytes.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/DocumentEdit.h"

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
        switch (Below(5)) {
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
            switch (Below(5)) {
            case 0:
                scratch.SetSpeech(Below(2) ? text : "M:" + std::to_string(Below(500)) + ",21");
                break;
            case 1:
                scratch.SetResults(text);
                break;
            case 2:
                scratch.SetDescription(text);
                break;
            case 3:
                scratch.SetComment(text + "\n");
                break;
            default:
                scratch.SetTarget(Below(3) ? m_file.GetPage(Below(m_file.GetPageCount())) : nullptr);
            }
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

std::string Generated(unsigned seed)
{
    std::mt19937 rng(seed);
    std::string text;
    for (int p = 0; p < 12; ++p) {
        const int number = 1 + 20 * p;
        text += "// [LABEL] P" + std::to_string(p) + "\n{" + std::to_string(number) + "}{Hi " + std::to_string(p) + "}{Hi}{}{}{}{}\n";
        for (int o = 1; o <= static_cast<int>(rng() % 4); ++o)
            text += "// r" + std::to_string(o) + "\n{" + std::to_string(number + o) + "}{Go}{" + (o % 2 ? "" : "1") + "}{" + std::to_string(rng() % 12)
                + "}{}{" + std::to_string(1 + 20 * (rng() % 12)) + "}{x}\n";
    }
    return text;
}

TEST(DocumentEdit, ThreeHundredEditsTakenBackAndMadeAgain)
{
    for (const unsigned seed : {1U, 2U, 3U, 4U}) {
        DialogFile file;
        ASSERT_TRUE(seed == 1 ? file.Read(TALKWRIGHT_EXAMPLES_DIR "/tavern.dlg") : file.ReadText(Generated(seed))) << seed;
        const std::string original = file.WriteText();
        RandomEdits random(file, seed);
        std::vector<DocumentEdit> edits;
        for (int i = 0; i < 300; ++i) {
            edits.push_back(random.Next());
            edits.back().Apply();
        }
        const std::string edited = file.WriteText();
        ASSERT_NE(edited, original) << seed;
        for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
            edit->Revert();
        EXPECT_EQ(file.WriteText(), original) << seed;
        for (DocumentEdit &edit : edits)
            edit.Apply();
        EXPECT_EQ(file.WriteText(), edited) << seed;
    }
}

} // namespace
