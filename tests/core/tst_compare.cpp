// Comparing and merging versions of a conversation, on generated histories:
// which page is which, what a writer changed, and what a merge keeps.
#include "TestFiles.h"
#include "compare/ConversationDiff.h"
#include "compare/ConversationMerge.h"
#include "compare/DiffWording.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/Linter.h"
#include "textdiff/WordDiff.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <span>

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

// Appends a page named name that says speech ("NAME." when none is given) to both genders.
DialogLine &NewPage(DialogFile &file, const std::string &name, std::string speech = {})
{
    DialogLine *page = file.NewPage(name);
    speech = speech.empty() ? name + "." : speech;
    page->SetSpeech(speech);
    page->SetFemaleSpeech(speech);
    return *page;
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

// The diff as dlgtool diff prints it, changed words marked.
std::string Described(const Diff &diff)
{
    const auto marked = [](const std::string &before, const std::string &after) { return WordDiff::Marked(WordDiff::Compare(before, after)); };
    std::string text;
    for (const Diff::Page &page : diff.GetPages()) {
        text += DiffWording::Page(page) + "\n";
        for (const Diff::Field &field : page.fields)
            text += "  " + DiffWording::Field(field, page.change == Diff::Change::Added, marked) + "\n";
        for (const Diff::Option &option : page.options) {
            text += "  " + DiffWording::Option(option) + "\n";
            for (const Diff::Field &field : option.fields)
                text += "    " + DiffWording::Field(field, option.change == Diff::Change::Added, marked) + "\n";
        }
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

// Each kind of change in the words dlgtool diff prints, on a file as the
// game's writers keep it: a description, a Request money speech, checks.
// Fails if numbers count (the page put first renumbers every line and the
// money code), if one gender's speech hides the other's, or if a removed
// option is listed out of its place.
TEST(Compare, DescribesEachKindOfChange)
{
    const std::string base = "// [LABEL] Inn\n// [DESCRIPTION] The inn\n{1}{Hello.}{Hello.}{}{1}{}{}\n{2}{To the shop}{}{1}{}{21}{}\n"
                             "{3}{Rest}{1}{5}{}{}{}\n{4}{Bye.}{}{1}{}{}{}\n"
                             "// [LABEL] Shop\n{21}{M:5,41}{M:5,41}{}{2}{}{}\n{22}{Back}{}{1}{}{1}{}\n"
                             "// [LABEL] Mill\n{41}{Grind.}{Grind!}{}{3}{}{}\n{42}{Back}{}{1}{}{1}{}\n";
    const auto page = [](DialogFile &f, const char *name) -> DialogLine & {
        for (int p = 0; p < f.GetPageCount(); ++p) {
            if (f.GetPage(p)->GetLabel() == name)
                return *f.GetPage(p);
        }
        return *f.GetPage(0);
    };
    struct Case {
        const char *name;
        Edit edit;
        std::string described;
    };
    const Case cases[] = {
        {"a page put first", [](DialogFile &f) {
             DialogLine *gate = f.InsertPage(0, std::make_unique<DialogLine>());
             gate->SetLabel("Gate");
             gate->SetSpeech("Halt.");
             gate->SetFemaleSpeech("Halt.");
         }, "page \"Gate\": added as page 1\n  speech: Halt.\n"},
        {"what the page says to female PCs alone", [&](DialogFile &f) { page(f, "Mill").SetFemaleSpeech("Grind?"); },
         "page \"Mill\": changed\n  speech to female PCs: Grind[-!-]{+?+}\n"},
        {"a page that said one thing to both says another to female PCs", [&](DialogFile &f) { page(f, "Inn").SetFemaleSpeech("Welcome."); },
         "page \"Inn\": changed\n  speech to female PCs: [-Hello-]{+Welcome+}.\n"},
        {"description and remarks", [&](DialogFile &f) {
             page(f, "Inn").SetDescription("The old inn");
             page(f, "Inn").SetComment("Ask Bo.\n");
         }, "page \"Inn\": changed\n  description: The {+old +}inn\n  remarks: {+Ask Bo.+}\n"},
        {"an option taken out of the middle", [&](DialogFile &f) { page(f, "Inn").RemoveOptionAt(1); },
         "page \"Inn\": changed\n  option \"Rest\": removed (was option 2)\n"},
        {"an option moved and its check changed", [&](DialogFile &f) {
             DialogLine &inn = page(f, "Inn");
             inn.InsertOptionAt(0, inn.RemoveOptionAt(2));
             inn.GetOption(0)->SetIntelligenceCheck("7");
         }, "page \"Inn\": changed\n  option 1 \"Bye.\": moved from option 3, changed\n    intelligence check: none -> at least 7\n"},
        {"the page a Request money speech leads to, renamed", [&](DialogFile &f) { page(f, "Mill").SetLabel("Windmill"); },
         "page \"Windmill\": renamed from \"Mill\"\n"},
        {"a Request money speech that leads elsewhere", [&](DialogFile &f) {
             page(f, "Shop").SetSpeechPage(&page(f, "Inn"));
             page(f, "Shop").SetFemaleSpeechPage(&page(f, "Inn"));
         }, "page \"Shop\": changed\n  speech: M:5 -> page \"[-Mill-]{+Inn+}\"\n"},
        {"an option that leads elsewhere", [&](DialogFile &f) { page(f, "Shop").GetOption(0)->SetTarget(&page(f, "Mill")); },
         "page \"Shop\": changed\n  option 1 \"Back\": changed\n    leads to: page \"Inn\" -> page \"Mill\"\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Described(Diff::Compare(*Read(base), *Read(Edited(base, c.edit)))), c.described);
    }
}

// Two sides' edits of one base, what merging theirs into ours records, and
// what the merge holds that ours lacks, and that theirs lacks.
struct MergeCase {
    const char *name;
    Edit ours;
    Edit theirs;
    int conflicts;
    std::string beyondOurs;
    std::string beyondTheirs;
};

// Merges each case and compares the merged file, read back as saved (what
// the file holds, not what the merge holds in memory), with each side.
void CheckMerges(const std::string &base, std::span<const MergeCase> cases, std::string (*said)(const Diff &))
{
    for (const MergeCase &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string oursBytes = Edited(base, c.ours ? c.ours : Edit([](DialogFile &) {}));
        const std::string theirsBytes = Edited(base, c.theirs);
        auto merged = Read(oursBytes);
        EXPECT_EQ(ConversationMerge::Merge(*Read(base), *merged, *Read(theirsBytes)), c.conflicts);
        const auto saved = Read(merged->WriteText());
        EXPECT_EQ(said(Diff::Compare(*Read(oursBytes), *saved)), c.beyondOurs);
        EXPECT_EQ(said(Diff::Compare(*Read(theirsBytes), *saved)), c.beyondTheirs);
    }
}

TEST(Merge, TakesEachSidesChanges)
{
    const std::string base = Conversation(50);
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
    const MergeCase cases[] = {
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
    CheckMerges(base, cases, Summary);
}

// What a merge takes of options and pages that both sides touched, each
// side's own, in the words of dlgtool diff: what the merge holds beyond
// ours, and beyond theirs.
TEST(Merge, OptionsAndPagesThatBothSidesTouched)
{
    const std::string base = Conversation(20);
    const auto addOption = [](int page, const char *speech) { return [=](DialogFile &f) { AddOption(Page(f, page)).SetSpeech(speech); }; };
    const auto setSpeech = [](int page, int option, const char *speech) {
        return [=](DialogFile &f) { Page(f, page).GetOption(option)->SetSpeech(speech); };
    };
    const auto removePage = [](int page) {
        return [=](DialogFile &f) {
            f.RemovePageAt(page);
            Page(f, page - 1).GetOption(0)->SetTarget(nullptr);
        };
    };
    const auto addPage = [](const char *name, const char *speech) { return [=](DialogFile &f) { NewPage(f, name, speech); }; };
    const MergeCase cases[] = {
        {"both add an option to one page: both kept, ours first", addOption(2, "Ours?"), addOption(2, "Theirs?"), 0,
         "page \"P2\": changed\n  option 4 \"Theirs?\": added\n", "page \"P2\": changed\n  option 3 \"Ours?\": added\n"},
        {"both add the same option: one", addOption(2, "Same?"), addOption(2, "Same?"), 0, "", ""},
        {"theirs moves an option whose speech ours changed: both taken", setSpeech(4, 1, "Farewell."),
         [](DialogFile &f) { Page(f, 4).InsertOptionAt(0, Page(f, 4).RemoveOptionAt(1)); }, 0,
         "page \"P4\": changed\n  option 2 \"Go on.\": moved from option 1\n",
         "page \"P4\": changed\n  option 1 \"Farewell.\": changed\n    speech: [-Bye-]{+Farewell+}.\n"},
        {"ours removes an option that theirs changed: theirs kept", [](DialogFile &f) { Page(f, 5).RemoveOptionAt(1); }, setSpeech(5, 1, "Goodbye."), 1,
         "page \"P5\": changed\n  option 2 \"Goodbye.\": added\n    remarks: CONFLICT: theirs: changed this option, which ours removed\n",
         "page \"P5\": changed\n  option 2 \"Goodbye.\": changed\n    remarks: {+CONFLICT: theirs: changed this option, which ours removed+}\n"},
        {"theirs removes an option that ours changed: ours kept", setSpeech(6, 1, "Goodbye."), [](DialogFile &f) { Page(f, 6).RemoveOptionAt(1); }, 1,
         "page \"P6\": changed\n  option 2 \"Goodbye.\": changed\n    remarks: {+CONFLICT: theirs: removed this option+}\n",
         "page \"P6\": changed\n  option 2 \"Goodbye.\": added\n    remarks: CONFLICT: theirs: removed this option\n"},
        {"both rename one page", [](DialogFile &f) { Page(f, 7).SetLabel("Seven"); }, [](DialogFile &f) { Page(f, 7).SetLabel("Sept"); }, 1,
         "page \"Seven\": changed\n  remarks: {+CONFLICT: theirs: name: \"Sept\"+}\n",
         "page \"Seven\": renamed from \"Sept\", changed\n  remarks: {+CONFLICT: theirs: name: \"Sept\"+}\n"},
        {"both lead one option elsewhere", [](DialogFile &f) { Page(f, 8).GetOption(0)->SetTarget(f.GetPage(0)); },
         [](DialogFile &f) { Page(f, 8).GetOption(0)->SetTarget(f.GetPage(1)); }, 1,
         "page \"P8\": changed\n  option 1 \"Go on.\": changed\n    remarks: {+CONFLICT: theirs: leads to: page \"P1\"+}\n",
         "page \"P8\": changed\n  option 1 \"Go on.\": changed\n    remarks: {+CONFLICT: theirs: leads to: page \"P1\"+}\n"
         "    leads to: page \"P1\" -> page \"P0\"\n"},
        {"both add a page of one name, each its own: both kept, theirs marked", addPage("Well", "Ours."), addPage("Well", "Theirs."), 1,
         "page \"Well\": added as page 22\n  remarks: CONFLICT: theirs: added this page, and ours added another of its name\n  speech: Theirs.\n",
         // Theirs' page is not alike the one marked: pages of one name pair in order.
         "page \"Well\": changed\n  speech: [-Theirs-]{+Ours+}.\npage \"Well\": added as page 22\n"
         "  remarks: CONFLICT: theirs: added this page, and ours added another of its name\n  speech: Theirs.\n"},
        {"both add the same page: one", addPage("Well", "Same."), addPage("Well", "Same."), 0, "", ""},
        {"both remove one page: gone", removePage(12), removePage(12), 0, "", ""},
        {"theirs adds a page that leads to one ours removed: that one kept", removePage(10),
         [](DialogFile &f) { AddOption(NewPage(f, "Back")).SetTarget(f.GetPage(10)); }, 1,
         "page \"P10\": added as page 11\n  remarks: CONFLICT: theirs: leads to this page, which ours removed\n  speech: Speech of page 10.\n"
         "  option 1 \"Go on.\": added\n    leads to: page \"P11\"\n  option 2 \"Bye.\": added\n"
         "page \"Back\": added as page 21\n  speech: Back.\n  option 1 \"\": added\n    leads to: page \"P10\"\n",
         "page \"P9\": changed\n  option 1 \"Go on.\": changed\n    leads to: page \"P10\" -> the dialog ends\n"
         "page \"P10\": changed\n  remarks: {+CONFLICT: theirs: leads to this page, which ours removed+}\n"},
        {"theirs adds two pages, one leading to the other", {}, [](DialogFile &f) {
             DialogLine &first = NewPage(f, "First");
             AddOption(first).SetTarget(&NewPage(f, "Second"));
         }, 0, "page \"First\": added as page 21\n  speech: First.\n  option 1 \"\": added\n    leads to: page \"Second\"\npage \"Second\": added as page 22\n  speech: Second.\n", ""},
    };
    CheckMerges(base, cases, Described);
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
