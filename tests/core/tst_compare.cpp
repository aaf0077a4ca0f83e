// Comparing and merging versions of a conversation, on generated histories:
// which page is which, what a writer changed, and what a merge keeps.
#include "TestFiles.h"
#include "compare/ConversationDiff.h"
#include "compare/ConversationMerge.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/Linter.h"
#include "textdiff/WordDiff.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Diff = ConversationDiff;
using Edit = std::function<void(DialogFile &)>;

// Pages P0, P1, ..., each with an option to the next page (the last to the
// first) and one that ends the dialog, as the editor saves them.
std::string Conversation(int pages)
{
    DialogFile file;
    for (int p = 0; p < pages; ++p) {
        DialogLine *page = file.NewPage("P" + std::to_string(p));
        page->SetSpeech("Speech of page " + std::to_string(p) + ".");
        page->SetFemaleSpeech(page->GetSpeech());
        for (int o = 0; o < 2; ++o) {
            auto option = std::make_unique<DialogLine>();
            option->SetSpeech(o == 0 ? "Go on." : "Bye.");
            option->SetIntelligenceCheck("1");
            page->AddOption(std::move(option));
        }
    }
    for (int p = 0; p < pages; ++p)
        file.GetPage(p)->GetOption(0)->SetTarget(file.GetPage((p + 1) % pages));
    return file.WriteText();
}

std::unique_ptr<DialogFile> Read(const std::string &bytes)
{
    auto file = std::make_unique<DialogFile>();
    EXPECT_TRUE(file->ReadText(bytes)) << file->GetErrorText();
    return file;
}

// A version of base as a writer saves it after an edit: renumbered.
std::string Edited(const std::string &base, const Edit &edit)
{
    const auto file = Read(base);
    edit(*file);
    return file->WriteText();
}

DialogLine &Page(DialogFile &file, int index)
{
    return *file.GetPage(index);
}

// Appends a new option to page and returns it.
DialogLine &AddOption(DialogLine &page)
{
    page.AddOption(std::make_unique<DialogLine>());
    return *page.GetOption(page.GetOptionCount() - 1);
}

// One word a change, to compare a whole diff at once.
std::string Summary(const Diff &diff)
{
    const auto change = [](Diff::Change c) { return c == Diff::Change::Added ? "added" : c == Diff::Change::Removed ? "removed" : "changed"; };
    std::string text;
    for (const Diff::Page &page : diff.GetPages()) {
        text += page.name + " " + change(page.change);
        if (page.renamed)
            text += " from " + page.oldName;
        if (page.moved)
            text += " moved";
        for (const Diff::Field &field : page.fields)
            text += " " + std::string(LineFields::Name(field.field)) + "=" + field.after;
        for (const Diff::Option &option : page.options) {
            text += std::string(" [") + change(option.change) + (option.moved ? " moved" : "");
            for (const Diff::Field &field : option.fields)
                text += " " + std::string(LineFields::Name(field.field)) + ": "
                        + (option.change == Diff::Change::Added ? field.after : field.before + " -> " + field.after);
            text += "]";
        }
        text += "\n";
    }
    return text;
}

TEST(Compare, SaysWhatAWriterChanged)
{
    const std::string base = Conversation(1000);
    struct Case {
        const char *name;
        Edit edit;
        std::string summary;
    };
    const Case cases[] = {
        {"a page inserted at the top, which renumbers every line", [](DialogFile &f) {
             f.InsertPage(0, std::make_unique<DialogLine>())->SetLabel("New");
             Page(f, 0).SetSpeech("Hello.");
             Page(f, 0).SetFemaleSpeech("Hello.");
         }, "New added speech=Hello.\n"},
        {"saved again unchanged", [](DialogFile &) {}, ""},
        {"a rename, with the jumps to the page", [](DialogFile &f) { Page(f, 5).SetLabel("Five"); }, "Five changed from P5\n"},
        {"a move", [](DialogFile &f) { f.InsertPage(900, f.RemovePageAt(3)); }, "P3 changed moved\n"},
        {"an option moved", [](DialogFile &f) { Page(f, 7).InsertOptionAt(0, Page(f, 7).RemoveOptionAt(1)); },
         "P7 changed [changed moved]\n"},
        {"a check and a jump", [](DialogFile &f) {
             Page(f, 8).GetOption(1)->SetIntelligenceCheck("+5");
             Page(f, 8).GetOption(1)->SetFemaleSpeech("1");
             Page(f, 8).GetOption(0)->SetTarget(f.GetPage(0));
         }, "P8 changed [changed leads to: page \"P9\" -> page \"P0\"] [changed gender check: anyone -> male PCs only"
            " intelligence check: none -> above 5]\n"},
        {"a removal: the jump to it ends the dialog", [](DialogFile &f) {
             f.RemovePageAt(10);
             Page(f, 9).GetOption(0)->SetTarget(nullptr);
         }, "P9 changed [changed leads to: page \"P10\" -> the dialog ends]\nP10 removed\n"},
        {"a speech and an added option", [](DialogFile &f) {
             Page(f, 2).SetSpeech("Speech of the second page.");
             AddOption(Page(f, 2)).SetSpeech("And?");
         }, "P2 changed speech=Speech of the second page. [added]\n"},
        {"renamed and its speech changed: matched by what it says", [](DialogFile &f) {
             Page(f, 4).SetLabel("Four");
             Page(f, 4).GetOption(1)->SetSpeech("Farewell.");
         }, "Four changed from P4 [changed speech: Bye. -> Farewell.]\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = Read(base);
        const auto after = Read(Edited(base, c.edit));
        const Diff diff = Diff::Compare(*before, *after);
        EXPECT_EQ(Summary(diff), c.summary);
        EXPECT_EQ(diff.IsSame(), c.summary.empty());
    }
}

TEST(Compare, PagesOfOneNameMatchInOrderAndNoneIsDropped)
{
    // Three pages named X; the second goes. Guards against matching by name
    // alone, which would lose track of which X went, or of one entirely.
    const std::string base = Edited(Conversation(3), [](DialogFile &f) {
        for (int p = 0; p < 3; ++p)
            Page(f, p).SetLabel("X");
    });
    const std::string after = Edited(base, [](DialogFile &f) {
        f.RemovePageAt(1);
        Page(f, 0).GetOption(0)->SetTarget(nullptr);
        f.NewPage("Y")->SetFemaleSpeech("y");
    });
    const Diff diff = Diff::Compare(*Read(base), *Read(after));
    // The first X, whose jump went, the second, and Y.
    ASSERT_EQ(diff.GetPages().size(), 3u);
    EXPECT_EQ(diff.GetPages()[0].before, 0);
    EXPECT_EQ(diff.GetPages()[1].before, 1);
    EXPECT_EQ(diff.GetPages()[1].change, Diff::Change::Removed);
    EXPECT_EQ(diff.GetPages()[2].change, Diff::Change::Added);
    EXPECT_EQ(diff.GetPages()[2].name, "Y");
}

TEST(Merge, TakesEachSidesChanges)
{
    const std::string base = Conversation(50);
    struct Case {
        const char *name;
        Edit ours;
        Edit theirs;
        int conflicts;
        // What the merge holds that ours lacks, and what theirs lacks.
        std::string beyondOurs;
        std::string beyondTheirs;
    };
    const Edit addFirst = [](DialogFile &f) {
        DialogLine *page = f.InsertPage(0, std::make_unique<DialogLine>());
        page->SetLabel("Ours");
        page->SetFemaleSpeech("o");
        AddOption(*page).SetTarget(f.GetPage(20));
    };
    const Edit addLast = [](DialogFile &f) {
        DialogLine *page = f.NewPage("Theirs");
        page->SetFemaleSpeech("t");
        AddOption(*page).SetTarget(f.GetPage(30));
    };
    const Edit speech = [](DialogFile &f) { Page(f, 3).SetSpeech("Ours says this."); };
    const Case cases[] = {
        {"both add a page: every jump leads where it led on its side", addFirst, addLast, 0,
         "Theirs added speech to female PCs=t [added leads to: page \"P30\"]\n", "Ours added speech to female PCs=o [added leads to: page \"P19\"]\n"},
        {"different options of one page", [](DialogFile &f) { Page(f, 5).GetOption(0)->SetSpeech("On!"); },
         [](DialogFile &f) { Page(f, 5).GetOption(1)->SetIntelligenceCheck("7"); }, 0,
         "P5 changed [changed intelligence check: none -> at least 7]\n", "P5 changed [changed speech: Go on. -> On!]\n"},
        {"the same text: ours kept, theirs recorded", speech, [](DialogFile &f) { Page(f, 3).SetSpeech("Theirs says that."); }, 1,
         "P3 changed remarks=CONFLICT: theirs: speech: \"Theirs says that.\"\n",
         "P3 changed remarks=CONFLICT: theirs: speech: \"Theirs says that.\" speech=Ours says this.\n"},
        {"the same change on both sides", speech, speech, 0, "", ""},
        {"theirs moves and renames, ours edits the same page", [](DialogFile &f) { Page(f, 6).SetResults("SetFlag(A)"); },
         [](DialogFile &f) {
             Page(f, 6).SetLabel("Six");
             f.InsertPage(40, f.RemovePageAt(6));
         }, 0, "Six changed from P6 moved\n", "Six changed field 6=SetFlag(A)\n"},
        // Theirs' jump to the page went with it, and stays gone.
        {"theirs removes a page ours changed: kept", speech, [](DialogFile &f) {
             f.RemovePageAt(3);
             Page(f, 2).GetOption(0)->SetTarget(nullptr);
         }, 1, "P2 changed [changed leads to: page \"P3\" -> the dialog ends]\nP3 changed remarks=CONFLICT: theirs: removed this page\n",
         "P3 added remarks=CONFLICT: theirs: removed this page speech=Ours says this. speech to female PCs=Speech of page 3."
         " [added leads to: page \"P4\"] [added]\n"},
        {"theirs removes a page that ours now leads to: kept", [](DialogFile &f) { Page(f, 0).GetOption(1)->SetTarget(f.GetPage(9)); },
         [](DialogFile &f) {
             f.RemovePageAt(9);
             Page(f, 8).GetOption(0)->SetTarget(nullptr);
         }, 1, "P8 changed [changed leads to: page \"P9\" -> the dialog ends]\nP9 changed remarks=CONFLICT: theirs: removed this page, which ours leads to\n",
         "P0 changed [changed leads to: the dialog ends -> page \"P9\"]\nP9 added remarks=CONFLICT: theirs: removed this page, which ours"
         " leads to speech=Speech of page 9. [added leads to: page \"P10\"] [added]\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto baseFile = Read(base);
        const std::string oursBytes = Edited(base, c.ours);
        const std::string theirsBytes = Edited(base, c.theirs);
        auto merged = Read(oursBytes);
        EXPECT_EQ(ConversationMerge::Merge(*baseFile, *merged, *Read(theirsBytes)), c.conflicts);
        // Read back as saved: what the file holds, not what the merge holds in memory.
        const auto saved = Read(merged->WriteText());
        EXPECT_EQ(Summary(Diff::Compare(*Read(oursBytes), *saved)), c.beyondOurs);
        EXPECT_EQ(Summary(Diff::Compare(*Read(theirsBytes), *saved)), c.beyondTheirs);
    }
}

TEST(Merge, ConflictRemarksReadBackAndCheckReportsThemAtTheirLine)
{
    const std::string base = Conversation(3);
    const auto merged = Read(Edited(base, [](DialogFile &f) { Page(f, 1).GetOption(0)->SetSpeech("Ours [LABEL] \"x\""); }));
    ConversationMerge::Merge(*Read(base), *merged,
                             *Read(Edited(base, [](DialogFile &f) { Page(f, 1).GetOption(0)->SetSpeech("Theirs [LABEL] \"y\"\\"); })));
    const std::string saved = merged->WriteText();
    const std::string remark = "// CONFLICT: theirs: speech: \"Theirs \\x5BLABEL] \\\"y\\\"\\\\\"\r\n";
    ASSERT_NE(saved.find(remark + "{22}{Ours [LABEL] \"x\"}"), std::string::npos) << saved;
    // Read and saved again, the remark stays, and stays a remark: the page keeps its name.
    const auto reread = Read(saved);
    EXPECT_EQ(reread->WriteText(), saved);
    EXPECT_EQ(reread->GetPage(1)->ViewLabel(), "P1");

    const std::vector<Finding> findings = Linter::CheckDocument(*reread, "m.dlg");
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].severity, Finding::Error);
    const int line = static_cast<int>(std::count(saved.begin(), saved.begin() + static_cast<long>(saved.find(remark)), '\n')) + 1;
    EXPECT_EQ(findings[0].line, line);
    EXPECT_NE(findings[0].message.find("the option on line " + std::to_string(line + 1)), std::string::npos) << findings[0].message;
}

TEST(WordDiff, MarksTheWordsThatChanged)
{
    const std::pair<std::pair<const char *, const char *>, const char *> cases[] = {
        {{"Welcome to the Crooked Lantern.", "Welcome to the Golden Lantern."}, "Welcome to the [-Crooked-]{+Golden+} Lantern."},
        {{"a b c", "a x y c"}, "a [-b-]{+x y+} c"},
        {{"one two three", "one three"}, "one [-two -]three"},
        {{"", "New text"}, "{+New text+}"},
        {{"Same.", "Same."}, "Same."},
        {{"Hi.", "Hi!"}, "Hi[-.-]{+!+}"},
    };
    for (const auto &[texts, marked] : cases)
        EXPECT_EQ(WordDiff::Marked(WordDiff::Compare(texts.first, texts.second)), marked) << texts.first << " / " << texts.second;
}

} // namespace
