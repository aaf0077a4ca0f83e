// The translators' round trip through gettext's own tools, what apply and
// check refuse and report, and the recording script read back by Python's
// CSV reader, all with the real dlgtool.
#include "DlgtoolRun.h"
#include "TestFiles.h"
#include "po/PoFile.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::string kGate = "// [LABEL] Gate\n// [DESCRIPTION] The guard, \"Brann\", at night\n{1}{Halt! Who goes there?}{Halt! Who goes there?}{}{}{}{}\n"
                          "{2}{A friend, from Caf\xe9 Nord.}{1}{}{}{21}{}\n{3}{E:}{}{1}{}{}{}\n"
                          "// [LABEL] Yard\n{21}{Come in, sir.}{Come in, madam.}{}{}{}{}\n{22}{Thanks.}{1}{5}{}{}{}\n"
                          "// [LABEL] Cellar\n{41}{Dust.}{Dust.}{}{}{}{}\n";

// A scratch folder that the unprivileged dlgtool may write into.
struct Scratch {
    TestFiles files;
    Scratch() { chmod(files.Dir().c_str(), 0777); }
    std::string Path(const std::string &name) const { return files.Path(name); }
};

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at; (at = text.find(from)) != std::string::npos;)
        text.replace(at, from.size(), to);
    return text;
}

// Extracted, initialised for German with msginit, translated by msgen (every
// msgstr its msgid), applied: the bytes format gives. What gettext's tools
// make of what dlgtool writes passes msgfmt --check, and a text changed since
// goes fuzzy through msgmerge and keeps its source text.
TEST(Po, RoundTripThroughGettextsTools)
{
    const Scratch scratch;
    const std::string gate = scratch.files.Write("gate.dlg", kGate);
    const auto run = [](const std::string &program, const std::vector<std::string> &args) {
        const Result result = RunProgram(program, {args});
        EXPECT_EQ(result.status, 0) << program << ": " << result.err;
        return result;
    };
    run(TALKWRIGHT_DLGTOOL, {"po", "extract", gate, "-o", scratch.Path("gate.pot")});
    run("msginit", {"--no-translator", "--locale=de_DE.UTF-8", "-i", scratch.Path("gate.pot"), "-o", scratch.Path("de.po")});
    run("msgfmt", {"--check", "-o", "/dev/null", scratch.Path("de.po")});
    run("msgen", {scratch.Path("de.po"), "-o", scratch.Path("same.po")});
    const Result same = run(TALKWRIGHT_DLGTOOL, {"po", "apply", gate, scratch.Path("same.po")});
    EXPECT_EQ(same.out, run(TALKWRIGHT_DLGTOOL, {"format", gate}).out);
    EXPECT_EQ(same.err, "");

    // Every text in capitals, by gettext's own filter: check finds in the
    // translated file what it finds in the source as saved.
    run("msgfilter", {"--keep-header", "-i", scratch.Path("same.po"), "-o", scratch.Path("up.po"), "tr", "a-z", "A-Z"});
    run(TALKWRIGHT_DLGTOOL, {"po", "apply", gate, scratch.Path("up.po"), "-o", scratch.Path("up.dlg")});
    const std::string up = TestFiles::ReadBytes(scratch.Path("up.dlg"));
    EXPECT_NE(up.find("{2}{A FRIEND, FROM CAF\xe9 NORD.}{1}"), std::string::npos) << up;
    run(TALKWRIGHT_DLGTOOL, {"format", gate, "-o", scratch.Path("saved.dlg")});
    const Result saved = RunDlgtool({{"check", scratch.Path("saved.dlg")}});
    EXPECT_NE(saved.out.find("warning"), std::string::npos);
    EXPECT_EQ(RunDlgtool({{"check", scratch.Path("up.dlg")}}).out, Replaced(saved.out, "saved.dlg", "up.dlg"));

    const std::string changed = scratch.files.Write("changed.dlg", Replaced(kGate, "Thanks.", "Thanks, then."));
    run(TALKWRIGHT_DLGTOOL, {"po", "extract", changed, "-o", scratch.Path("changed.pot")});
    run("msgmerge", {"--quiet", "-o", scratch.Path("merged.po"), scratch.Path("up.po"), scratch.Path("changed.pot")});
    run("msgfmt", {"--check", "-o", "/dev/null", scratch.Path("merged.po")});
    const Result merged = run(TALKWRIGHT_DLGTOOL, {"po", "apply", changed, scratch.Path("merged.po")});
    EXPECT_NE(merged.out.find("{Thanks, then.}"), std::string::npos) << merged.out;
    EXPECT_NE(merged.out.find("{COME IN, SIR.}{COME IN, MADAM.}"), std::string::npos) << merged.out;
    EXPECT_EQ(merged.err, "dlgtool: " + scratch.Path("merged.po") + ": the source text stays for 1 fuzzy entry\n");
}

// What apply and check say of PO files, and that apply writes nothing
// when it refuses one: translations the file cannot carry, a PO file that
// is none, one in another charset, one read from standard input, one that
// also serves another file (whose entries are none of this one's).
TEST(Po, ApplyAndCheckSayWhatTheyFind)
{
    const Scratch scratch;
    const std::string gate = scratch.files.Write("gate.dlg", kGate);
    const std::string out = scratch.Path("out.dlg");
    const std::string header = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    const auto po = [&](const std::string &name, const std::string &entries, const std::string &top = "") {
        return scratch.files.Write(name, (top.empty() ? header : top) + entries);
    };
    const std::string braced = po("braced.po", "msgctxt \"male PC\"\nmsgid \"Thanks.\"\nmsgstr \"Danke {sehr}.\"\n");
    const std::string broken = po("broken.po", "msgid \"a\"\nmsgstr \"b\"\njunk\n");
    const std::string latin = po("latin.po", "msgctxt \"NPC to any PC\"\nmsgid \"Dust.\"\nmsgstr \"Gr\xfc\xdf Gott.\"\n",
                                 "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n");
    const std::string mixed = po("mixed.po", "msgctxt \"NPC to any PC\"\nmsgid \"Dust.\"\nmsgstr \"Staub und Spinnweben.\"\n\n"
                                             "#, fuzzy\nmsgctxt \"male PC\"\nmsgid \"Thanks.\"\nmsgstr \"Danke.\"\n\n"
                                             "msgctxt \"NPC to any PC\"\nmsgid \"Gone.\"\nmsgstr \"Fort.\"\n\n"
                                             "msgctxt \"NPC to a male PC\"\nmsgid \"Come in, sir.\"\nmsgstr \"\"\n\n"
                                             "#: quests/other.dlg:3\nmsgctxt \"NPC to any PC\"\nmsgid \"Elsewhere.\"\nmsgstr \"\"\n");
    struct Case {
        const char *what;
        Invocation run;
        int status;
        std::string out, err;
        bool written = false; // out.dlg, which each case starts without
    };
    const Case cases[] = {
        {"a brace", {{"po", "apply", gate, braced, "-o", out}}, 1, "",
         braced + ":6: error: cannot store the translation of \"Thanks.\": it holds a brace (\"{\" or \"}\"); braces mark the fields of a line\n"},
        {"check a brace", {{"po", "check", gate, braced}}, 1,
         braced + ":6: error: cannot store the translation of \"Thanks.\": it holds a brace (\"{\" or \"}\"); braces mark the fields of a line\n"
             + braced + ": 1 entry: 1 translated, 0 untranslated, 0 fuzzy; 0 no longer in " + gate + "; 5 texts of " + gate + " without an entry\n",
         ""},
        {"no PO file", {{"po", "apply", gate, broken, "-o", out}}, 1, "", broken + ":6: error: keyword \"junk\" unknown\n"},
        {"a missing PO file", {{"po", "check", gate, scratch.Path("none.po")}}, 1, "",
         "dlgtool: cannot read " + scratch.Path("none.po") + ": No such file or directory\n"},
        {"ISO-8859-1", {{"po", "apply", gate, latin, "-o", out}}, 0, "", "dlgtool: " + latin + ": the source text stays for 5 texts without an entry\n", true},
        {"from standard input", {{"po", "apply", gate, "-", "-o", out}, latin}, 0, "", "dlgtool: -: the source text stays for 5 texts without an entry\n", true},
        {"check", {{"po", "check", gate, mixed}}, 0,
         mixed + ":6: warning: the translation of \"Dust.\" is 4.2 times as long: the game's window may cut it\n"
             + mixed + ":15: warning: \"Gone.\" (NPC to any PC) no longer stands in " + gate + "\n"
             + mixed + ": 4 entries: 2 translated, 1 untranslated, 1 fuzzy; 1 no longer in " + gate + "; 3 texts of " + gate + " without an entry\n",
         ""},
        {"apply two from standard input", {{"po", "apply", "-", "-"}}, 2, "", ""},
        {"check into a file", {{"po", "check", gate, mixed, "-o", out}}, 2, "", ""},
        {"po alone", {{"po"}}, 2, "", ""},
        {"extract nothing", {{"po", "extract", "-o", out}}, 2, "", ""},
    };
    const std::string usage = "usage: dlgtool po extract FILE... [-o OUT.pot]\n       dlgtool po apply FILE LANG.po [-o OUT]\n"
                              "       dlgtool po check FILE LANG.po\n";
    for (const Case &c : cases) {
        std::remove(out.c_str());
        const Result result = RunDlgtool(c.run);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.out, c.out) << c.what;
        EXPECT_EQ(result.err, c.status == 2 ? usage : c.err) << c.what;
        EXPECT_EQ(TestFiles::ReadBytes(out).find("{Gr\xfc\xdf Gott.}{Gr\xfc\xdf Gott.}") != std::string::npos, c.written) << c.what;
    }
}

// The script as Python's CSV reader reads it: quotes, commas and line
// ends in their places, UTF-8 after its byte order mark.
TEST(Script, ReadsBackAsCsv)
{
    const Scratch scratch;
    const std::string gate = scratch.files.Write("gate.dlg", kGate);
    const std::string csv = scratch.Path("gate.csv");
    ASSERT_EQ(RunDlgtool({{"script", gate, "--format", "csv", "-o", csv}}).status, 0);
    const std::string reader = scratch.files.Write("read.py", "import csv, sys\n"
                                                              "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                                              "    for row in csv.reader(f, strict=True):\n"
                                                              "        print(' | '.join(row))\n");
    const Result read = RunProgram("python3", {{reader, csv}});
    EXPECT_EQ(read.err, "");
    EXPECT_EQ(read.out, "id | speaker | spoken to | text | words | line before | page | description | audio file\n"
                        "gate-3 | gate | any PC | Halt! Who goes there? | 4 |  | Gate | The guard, \"Brann\", at night | gate-3.wav\n"
                        "gate-4 | male PC | gate | A friend, from Caf\u00e9 Nord. | 5 | Halt! Who goes there? | Gate |  | gate-4.wav\n"
                        "gate-5 | PC | gate | [Exit] | 0 | Halt! Who goes there? | Gate |  | gate-5.wav\n"
                        "gate-7m | gate | a male PC | Come in, sir. | 3 | A friend, from Caf\u00e9 Nord. | Yard |  | gate-7m.wav\n"
                        "gate-7f | gate | a female PC | Come in, madam. | 3 |  | Yard |  | gate-7f.wav\n"
                        "gate-8 | male PC | gate | Thanks. | 1 | Come in, sir. | Yard |  | gate-8.wav\n"
                        "gate-10 | gate | any PC | Dust. | 1 |  | Cellar |  | gate-10.wav\n");
    // Two files of one name would give their rows one id: nothing is written.
    const std::string other = scratch.Path("other");
    mkdir(other.c_str(), 0777);
    const Result twice = RunDlgtool({{"script", gate, scratch.files.Write("other/gate.dlg", kGate), "-o", scratch.Path("two.csv")}});
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.err, "dlgtool: cannot script " + other + "/gate.dlg: the rows of another file named gate take its ids\n");
    EXPECT_EQ(TestFiles::ReadBytes(scratch.Path("two.csv")), "");
}

// The adapter alone: what it writes, gettext reads back as it was, and
// each translation's line is the one that holds its msgstr.
TEST(PoFile, WritesWhatItReads)
{
    TranslationEntry header;
    header.translation = "Content-Type: text/plain; charset=UTF-8\n";
    header.fuzzy = true;
    TranslationEntry entry;
    entry.context = "NPC to any PC";
    entry.source = "Caf\u00e9 \"noir\"\tnow";
    entry.translation = "Schwarz";
    entry.fuzzy = true;
    entry.comments = {"page \"A\"", "answers: \"B\""};
    entry.places = {{"a.dlg", 3}, {"c.dlg", 0}};
    std::string text, error;
    ASSERT_TRUE(PoFile::Write({header, entry, {"", "Plain", "Schlicht"}}, text, error)) << error;
    std::vector<TranslationEntry> read;
    PoFile::Problem problem;
    ASSERT_TRUE(PoFile::Read(text, read, problem)) << problem.message;
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].context + "|" + read[1].source + "|" + read[1].translation + "|" + std::to_string(read[1].fuzzy),
              entry.context + "|" + entry.source + "|" + entry.translation + "|1");
    EXPECT_EQ(read[2].context + "|" + read[2].source + "|" + read[2].translation + "|" + std::to_string(read[2].fuzzy), "|Plain|Schlicht|0");
    EXPECT_NE(text.find("#. page \"A\"\n#. answers: \"B\"\n#: a.dlg:3 c.dlg\n"), std::string::npos) << text;
    EXPECT_EQ(read[1].places, entry.places);
    for (const TranslationEntry &back : {read[1], read[2]}) {
        const size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(text.find("msgstr \"" + back.translation.substr(0, 6))), '\n') + 1);
        EXPECT_EQ(static_cast<size_t>(back.poLine), line) << back.source;
    }
}

} // namespace
