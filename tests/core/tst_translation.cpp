// What translators and voice directors are handed: the texts a PO template
// lists, in their contexts and with their comments; translations put back
// into a document, and those it cannot carry; the rows of a recording script.
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "translation/RecordingScript.h"
#include "translation/Translation.h"
#include "translation/TranslationTemplate.h"

#include <gtest/gtest.h>

namespace {

// An entry on one line: context | source | comments ; ... | places.
std::string Shown(const TranslationEntry &entry)
{
    std::string shown = entry.context + " | " + entry.source + " |";
    for (const std::string &comment : entry.comments)
        shown += " " + comment + ";";
    shown += " |";
    for (const TranslationEntry::Place &place : entry.places)
        shown += " " + place.file + ":" + std::to_string(place.line);
    return shown;
}

const char *const kGate = "// [LABEL] Gate\n"
                          "// [DESCRIPTION] The guard looks up\n"
                          "{1}{Halt!}{Halt!}{}{}{}{}\n"
                          "{2}{Let me pass.}{}{1}{}{21}{}\n"
                          "// [DESCRIPTION] A bribe\n"
                          "{3}{Here, for your trouble.}{1}{+8}{HasGold}{}{}\n"
                          "{4}{E:}{}{1}{}{}{}\n"
                          "{5}{}{0}{-4}{}{}{}\n"
                          "{6}{Let me pass.}{}{1}{}{}{}\n"
                          "// [LABEL] Caf\xe9\n"
                          "{21}{Welcome, sir.}{Welcome, madam.}{}{}{}{}\n"
                          "{22}{Let me pass.}{0}{-4}{}{}{}\n"
                          "{23}{Let me pass.}{5}{1}{}{}{}\n"
                          "{24}{R:5,a}{}{1}{}{}{}\n"
                          "// [LABEL] Toll\n"
                          "{41}{M:5,1}{Pay \x80 5.}{}{}{}{}\n";

// Every kind of text, in file order: a page's speech to both genders, or
// to each; an option's by its gender check (one that names no one is for
// either); generated speech and empty speech left out; one text said in one
// context in several places is one entry, its comments each once.
TEST(Translation, TemplateListsEveryTextTheGameShows)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText(kGate));
    TranslationTemplate pot;
    pot.Add(file, "gate.dlg");
    const std::vector<TranslationEntry> entries = pot.GetEntries();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].source, "");
    EXPECT_TRUE(entries[0].fuzzy);
    EXPECT_NE(entries[0].translation.find("Content-Type: text/plain; charset=UTF-8\n"), std::string::npos);
    const std::vector<std::string> expected = {
        "NPC to any PC | Halt! | page \"Gate\": The guard looks up; | gate.dlg:3",
        "PC of either gender | Let me pass. | page \"Gate\": The guard looks up; answers: \"Halt!\"; page \"Caf\u00e9\";"
        " answers (NPC to a male PC): \"Welcome, sir.\"; answers (NPC to a female PC): \"Welcome, madam.\"; | gate.dlg:4 gate.dlg:9 gate.dlg:13",
        "male PC | Here, for your trouble. | page \"Gate\": The guard looks up; option: A bribe;"
        " shown only to male PCs of intelligence above 8 if \"HasGold\"; answers: \"Halt!\"; | gate.dlg:6",
        "NPC to a male PC | Welcome, sir. | page \"Caf\u00e9\"; | gate.dlg:11",
        "NPC to a female PC | Welcome, madam. | page \"Caf\u00e9\"; | gate.dlg:11",
        "female PC | Let me pass. | page \"Caf\u00e9\"; shown only to female PCs of intelligence below 4; answers: \"Welcome, madam.\"; | gate.dlg:12",
        "NPC to a female PC | Pay \u20ac 5. | page \"Toll\"; | gate.dlg:16",
    };
    ASSERT_EQ(entries.size(), expected.size() + 1);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Shown(entries[i + 1]), expected[i]);
}

// A text said in very many places lists the first of them and counts the
// rest: gettext's tools take time by the square of an entry's places.
TEST(Translation, TemplateCountsPlacesPastTheListed)
{
    std::string text = "{1}{Hi}{Hi}{}{}{}{}\n";
    for (size_t i = 0; i < TranslationTemplate::kListedPlaces + 2; ++i)
        text += "{2}{Yes.}{}{1}{}{}{}\n";
    DialogFile file;
    ASSERT_TRUE(file.ReadText(text));
    TranslationTemplate pot;
    pot.Add(file, "a.dlg");
    const TranslationEntry yes = pot.GetEntries().at(2);
    EXPECT_EQ(yes.places.size(), TranslationTemplate::kListedPlaces);
    EXPECT_EQ(yes.places.back().line, static_cast<int>(TranslationTemplate::kListedPlaces) + 1);
    EXPECT_EQ(yes.comments.back(), "and in 2 more places");
}

// One entry read against a small document: what the document's texts
// become, or why the translation is refused, and what is counted.
TEST(Translation, AppliesWhatTheFileCanCarry)
{
    const char *const document = "{1}{Hello.}{Hello.}{}{}{}{}\n{2}{Bye.}{}{}{}{}{}\n{21}{Sir.}{Madam.}{}{}{}{}\n{22}{E:}{}{}{}{}{}\n";
    struct Case {
        const char *context, *source, *translation;
        bool fuzzy;
        std::string result; // the fields 1|2 of each line after Apply, or the reason of the refusal
        std::string counts; // gone untranslated fuzzy unlisted, overlong (times)
    };
    const std::string as = "Hello.|Hello. Bye.| Sir.|Madam. E:|";
    const std::string digit = "it starts with a digit, and a page whose speech to female PCs starts with one is read back as a PC option";
    const Case cases[] = {
        {"NPC to any PC", "Hello.", "Hallo.", false, "Hallo.|Hallo. Bye.| Sir.|Madam. E:|", "0 0 0 3"},
        {"NPC to a female PC", "Madam.", "Gn\u00e4dige Frau.", false, "Hello.|Hello. Bye.| Sir.|Gn\xe4" "dige Frau. E:|", "0 0 0 3 2.2"},
        {"NPC to a male PC", "Sir.", "5 Herr", false, "Hello.|Hello. Bye.| 5 Herr|Madam. E:|", "0 0 0 3"},
        {"PC of either gender", "Bye.", "Tsch\u00fcss.", true, as, "0 0 1 3"},
        {"PC of either gender", "Bye.", "", false, as, "0 1 0 3"},
        {"male PC", "Bye.", "Ciao.", false, as, "1 0 0 4"},
        {"NPC to any PC", "Hello.", "Hallo und willkommen.", false, "Hallo und willkommen.|Hallo und willkommen. Bye.| Sir.|Madam. E:|", "0 0 0 3 3.5"},
        {"NPC to any PC", "Hello.", "1 Hallo", false, digit, "0 0 0 3"},
        {"NPC to a female PC", "Madam.", "9 Frau", false, digit, "0 0 0 3"},
        {"PC of either gender", "Bye.", "a // b", false, "it holds \"//\", which starts a comment and would cut the line", "0 0 0 3"},
        {"PC of either gender", "Bye.", "a{b", false, "it holds a brace (\"{\" or \"}\"); braces mark the fields of a line", "0 0 0 3"},
        {"PC of either gender", "Bye.", "a\nb", false, "it holds a line break; every text must stay on one line", "0 0 0 3"},
        {"PC of either gender", "Bye.", "\u0141\u00f3d\u017a", false, "it holds \"\u0141\" (U+0141), which Windows-1252 lacks", "0 0 0 3"},
        {"PC of either gender", "Bye.", "\xff", false, "it is not valid UTF-8", "0 0 0 3"},
        {"PC of either gender", "Bye.", "Y: ja", false, "it starts with \"Y:\", which the game reads as generated speech (Yes)", "0 0 0 3"},
    };
    for (const Case &c : cases) {
        DialogFile file;
        ASSERT_TRUE(file.ReadText(document));
        TranslationEntry header;
        header.translation = "Content-Type: text/plain; charset=UTF-8\n";
        TranslationEntry entry;
        entry.context = c.context;
        entry.source = c.source;
        entry.translation = c.translation;
        entry.fuzzy = c.fuzzy;
        Translation translation(file, "a.dlg", {header, entry});
        std::string result;
        if (translation.Apply()) {
            for (int p = 0; p < file.GetPageCount(); ++p) {
                for (int o = -1; o < file.GetPage(p)->GetOptionCount(); ++o) {
                    const DialogLine &line = o < 0 ? *file.GetPage(p) : *file.GetPage(p)->GetOption(o);
                    result += (result.empty() ? "" : " ") + line.GetSpeech() + "|" + (o < 0 ? line.GetFemaleSpeech() : "");
                }
            }
        } else {
            ASSERT_EQ(translation.GetRefusals().size(), 1u) << c.translation;
            EXPECT_EQ(translation.GetRefusals()[0].entry, 1u);
            result = translation.GetRefusals()[0].reason;
        }
        std::string counts = std::to_string(translation.GetGone().size()) + " " + std::to_string(translation.GetUntranslatedCount()) + " "
                             + std::to_string(translation.GetFuzzyCount()) + " " + std::to_string(translation.GetUnlistedCount());
        for (const Translation::Overlong &overlong : translation.GetOverlong()) {
            char times[16];
            std::snprintf(times, sizeof times, " %.1f", overlong.times);
            counts += times;
        }
        EXPECT_EQ(result, c.result) << c.translation;
        EXPECT_EQ(counts, c.counts) << c.translation;
        EXPECT_EQ(translation.GetEntryCount(), 1u);
    }
}

// The rows in file order: ids by file line, "m" and "f" for a page's two
// speeches; who speaks to whom; generated speech by its kind; the line
// before (the first option that PCs of that gender say to get there, or
// the speech an option answers); CSV quoting commas, quotes and blanks kept.
TEST(Translation, RecordingScriptRows)
{
    DialogFile file;
    ASSERT_TRUE(file.ReadText("// [LABEL] Gate\n// [DESCRIPTION] Night, \"rain\"\n{1}{Halt, who goes there?}{Halt, who goes there?}{}{}{}{}\n"
                              "{2}{A friend.}{1}{}{}{21}{}\n{3}{R:5,a}{}{}{}{}{}\n// [LABEL] In\n{21}{Welcome, sir.}{ Welcome, \"madam\".}{}{}{}{}\n"
                              "// [DESCRIPTION] leaving\n{22}{Back to the gate}{0}{}{}{1}{}\n{23}{Caf\xe9?}{}{}{}{1}{}\n"));
    RecordingScript script;
    std::string error;
    ASSERT_TRUE(script.Add(file, "quests/gate.dlg", error)) << error;
    EXPECT_EQ(script.GetCsv(),
              "\xEF\xBB\xBFid,speaker,spoken to,text,words,line before,page,description,audio file\r\n"
              "gate-3,gate,any PC,\"Halt, who goes there?\",4,Back to the gate (and 1 more),Gate,\"Night, \"\"rain\"\"\",gate-3.wav\r\n"
              "gate-4,male PC,gate,A friend.,2,\"Halt, who goes there?\",Gate,,gate-4.wav\r\n"
              "gate-5,PC,gate,[Rumour],0,\"Halt, who goes there?\",Gate,,gate-5.wav\r\n"
              "gate-7m,gate,a male PC,\"Welcome, sir.\",2,A friend.,In,,gate-7m.wav\r\n"
              "gate-7f,gate,a female PC,\" Welcome, \"\"madam\"\".\",2,,In,,gate-7f.wav\r\n"
              "gate-9,female PC,gate,Back to the gate,4,\" Welcome, \"\"madam\"\".\",In,leaving,gate-9.wav\r\n"
              "gate-10,PC,gate,Caf\u00e9?,1,\"NPC to a male PC: Welcome, sir. / NPC to a female PC:  Welcome, \"\"madam\"\".\",In,,gate-10.wav\r\n");
    // A second file of the same name would give its rows the same ids.
    EXPECT_FALSE(script.Add(file, "other/gate.dlg", error));
    EXPECT_EQ(error, "the rows of another file named gate take its ids");
    // A line made since the file was read has no file line to name its row.
    DialogFile made;
    made.NewPage("A")->SetSpeech("Hi");
    EXPECT_FALSE(script.Add(made, "made.dlg", error));
    EXPECT_EQ(error, "it has lines made since it was read, which no line of the file names");
    EXPECT_EQ(script.GetRowCount(), 7u);
    for (const auto &[path, name] : {std::pair{"-", "stdin"}, {"a/b.c.dlg", "b.c"}, {".dlg", ".dlg"}, {"tavern", "tavern"}})
        EXPECT_EQ(RecordingScript::NameOf(path), name);
}

} // namespace
