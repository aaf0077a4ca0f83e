// dlgtool's contract, run as scripts run it: what it prints, where, its exit
// statuses and what it leaves on disk, under hostile input too; and check's
// findings and plays on small files built for each.
#include "CheckCases.h"
#include "DlgtoolRun.h"
#include "TestFiles.h"
#include "cli/JsonWriter.h"
#include "cli/PlayCommand.h"
#include "storage/UnifiedDiff.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool IsA(const std::string &path, mode_t type)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}

const std::string kFormatUsage = "usage: dlgtool format FILE [-o OUT]\n       dlgtool format --check [--diff] PATH...\n";
const std::string kDiffUsage = "usage: dlgtool diff OLD NEW [--format text|json]\n"
                               "       dlgtool diff PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE\n";
const std::string kCheckUsage = "usage: dlgtool check [--format text|json] PATH...\n";

TEST(Dlgtool, KeepsItsContract)
{
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0); // the binary runs unprivileged
    const std::string dir = files.Dir();
    const std::string examples = ReachableExamples();
    const std::string worked = examples + "/worked-example.dlg";
    const std::string missing = dir + "/missing.dlg";
    const std::string empty = files.Write("empty.dlg", "");
    const std::string messy = files.Write("messy.dlg", "{1}{Hi}{Hi}{}{}{}{}\n");
    const std::string rejected = files.Write("bad.dlg", "{1}{Hi}{}{}{}{}{}\n");
    const std::string notes = files.Write("notes.txt", "Notes for the writer\n");
    const std::string partly = files.Write("partly.dlg", "{1}{Hi}{Hi}{}{}{}{}\nTODO more\n{2}{A}{}{}{}{}{} x\n");
    const std::string dumped = files.Write("d.dlg", "// [LABEL] Caf\xe9\n// \"q\"\\\n{5}{R:50,3}{Hi}{x}{}{}{}\n"
                                                    "{6}{Go}{1}{}{}{5}{}\n{7}{Stay}{}{}{}{}{}\n");
    const std::string counted = files.Write("s.dlg", "{1}{Hello there}{Hi, you}{}{}{}{}\n{2}{Who are you?}{}{1}{}{}{}\n"
                                                     "{3}{E:}{}{1}{}{}{}\n{21}{R:5,a}{R:5,a}{}{}{}{}\n{22}{E:}{}{1}{}{}{}\n");
    const std::string old = files.Write("old.dlg", "old");
    ASSERT_EQ(chmod(old.c_str(), 0666), 0); // so that the unprivileged binary may write it
    const std::string lost = files.Write("lost.dlg", "{1}{Hi}{Hi}{}{}{}{}\n// [LABEL] Lost\n{21}{b}{b}{}{}{}{}\n");
    const std::string unnamed = files.Write("unnamed.dlg", "// [LABEL] A\n{1}{Hi}{Hi}{}{}{}{}\n{}{b}{b}{}{}{}{}\n");
    const auto reworded = [&](const char *name, const char *bye) {
        std::string bytes = kWorkedExample;
        bytes.replace(bytes.find("{Bye.}{Bye.}"), 12, std::string("{") + bye + "}{" + bye + "}");
        return files.Write(name, bytes);
    };
    const std::string farewell = reworded("farewell.dlg", "Farewell.");
    const std::string byeBye = reworded("byebye.dlg", "Bye!");
    const std::string workedAdded = "page \"Start\": added as page 1\n  description: First meeting\n  speech: Hello.\n"
                                    "  option 1 \"Who are you?\": added\n    gender check: male PCs only\n    intelligence check: at least 5\n"
                                    "    leads to: page \"Farewell\"\n  option 2 \"E:\": added\npage \"Farewell\": added as page 2\n  speech: Bye.\n";
    std::filesystem::create_directories(dir + "/a/b");
    files.Write("a/b/good.dlg", "{1}{Hi}{Hi}{}{}{}{}\n");
    files.Write("a/bad.DLG", "{1}{Hi}{}{}{}{}{}\n");
    files.Write("a/notes.txt", "{1}{Hi}{}{}{}{}{}\n");
    std::filesystem::create_directories(dir + "/fmt");
    const std::string tidy = files.Write("fmt/tidy.dlg", "// [LABEL] A\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n{2}{x}{}{1}{}{}{}\r\n\r\n");
    const std::string rewritten = files.Write("fmt/messy.dlg", "// [LABEL] A\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n{2}{Z:7,3}{}{1}{}{}{}\r\n\r\n");
    std::filesystem::create_directories(dir + "/tree/locked");
    files.Write("tree/a.dlg", "{1}{Hi}{Hi}{}{}{}{}\n");
    ASSERT_EQ(chmod((dir + "/tree/locked").c_str(), 0), 0);
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    ASSERT_EQ(chmod(fifo.c_str(), 0666), 0);
    std::filesystem::create_symlink("/dev/null", dir + "/null");
    std::filesystem::create_symlink("loop", dir + "/loop");
    const std::string huge = files.Write("huge.dlg", "");
    std::filesystem::resize_file(huge, 1ULL << 42); // sparse: more than any machine's memory
    // A reader that is there before the writer; what the FIFO got is read afterwards.
    const int fifoReader = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fifoReader, 0);

    const auto holds = [](const std::string &path, const std::string &bytes) { return [=] { return TestFiles::ReadBytes(path) == bytes; }; };
    const auto absent = [](const std::string &path) { return [=] { return !std::filesystem::exists(path); }; };
    const std::string full = "dlgtool: cannot write standard output: No space left on device\n";
    const std::string pcFirst = ": its first dialog line, line 1, is a PC option\n";
    const std::string noStats = "  pages 0, options 0\n  words of speech: NPC 0, PC 0\n  generated speech: none\n";
    const std::string stats = "  pages 2, options 3\n  words of speech: NPC 4, PC 3\n  generated speech: Exit 2, Rumour 1\n";
    struct Case {
        const char *what;
        Invocation run;
        int status;
        std::string out;
        std::string err;
        std::function<bool()> left = [] { return true; };
    };
    const Case cases[] = {
        // What each command prints.
        {"format from and to standard output", {{"format", "-", "-o", "-"}, worked}, 0, kWorkedExample, ""},
        {"format to a file", {{"format", worked, "-o", dir + "/out.dlg"}}, 0, "", "", holds(dir + "/out.dlg", kWorkedExample)},
        {"format what it cannot keep", {{"format", partly}}, 0, "// [LABEL] 1\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n{2}{A}{}{}{}{}{}\r\n\r\n",
         "dlgtool: " + partly + ":2: drops not a dialog line or a comment\ndlgtool: " + partly + ":3: drops text after the seventh field\n"},
        {"format --check, tidy", {{"format", "--check", tidy}}, 0, "", ""},
        {"format --check of a folder", {{"format", "--check", dir + "/fmt"}}, 1, rewritten + "\n", ""},
        {"format --check --diff", {{"format", "--check", "--diff", rewritten}}, 1,
         "--- " + rewritten + "\n+++ " + rewritten + " (formatted)\n@@ -1,4 +1,4 @@\n"
         " // [LABEL] A\r\n {1}{Hi}{Hi}{}{1}{}{}\r\n-{2}{Z:7,3}{}{1}{}{}{}\r\n+{2}{Z:7}{}{1}{}{}{}\r\n \r\n", ""},
        {"dump", {{"dump", dumped}}, 0,
         "{\"file\":\"" + dumped + "\",\"pages\":[{\"label\":\"Caf\u00e9\",\"description\":\"\","
         "\"comment\":\"\\\"q\\\"\\\\\\n\",\"number\":5,\"fields\":[\"Caf\u00e9\",\"R:50,3\",\"Hi\",\"x\",\"\",\"\",\"\"],"
         "\"sameSpeechForBoth\":false,\"speech\":{\"kind\":23,\"n\":0,\"m\":50,\"l\":\"3\",\"s\":\"\"},"
         "\"femaleSpeech\":{\"kind\":0,\"n\":0,\"m\":0,\"l\":\"\",\"s\":\"\"},\"options\":["
         "{\"label\":\"6\",\"description\":\"\",\"comment\":\"\",\"number\":6,\"fields\":[\"6\",\"Go\",\"1\",\"\",\"\",\"5\",\"\"],"
         "\"speech\":{\"kind\":0,\"n\":0,\"m\":0,\"l\":\"\",\"s\":\"\"},\"target\":0},"
         "{\"label\":\"7\",\"description\":\"\",\"comment\":\"\",\"number\":7,\"fields\":[\"7\",\"Stay\",\"\",\"\",\"\",\"\",\"\"],"
         "\"speech\":{\"kind\":0,\"n\":0,\"m\":0,\"l\":\"\",\"s\":\"\"},\"target\":null}]}]}\n", ""},
        {"check a folder", {{"check", dir + "/a"}}, 1,
         dir + "/a/bad.DLG:1: error: cannot read the file" + pcFirst + "2 files checked: 1 error, 0 warnings, 0 notes\n", ""},
        {"check in JSON", {{"check", "--format", "json", dir + "/a/b"}}, 0, "{\"files\":1,\"errors\":0,\"warnings\":0,\"notes\":0,\"findings\":[]}\n", ""},
        {"stats", {{"stats", counted}}, 0, counted + "\n" + stats + "total (1 file)\n" + stats, ""},
        // Versions of a conversation: diff exits 1 when they differ, as diff does, and 0 for git.
        {"diff of a page renumbered", {{"diff", messy, files.Write("renumbered.dlg", "// [LABEL] 1\n{7}{Hi}{Hi}{}{3}{}{}\n")}}, 0, "", ""},
        {"diff", {{"diff", worked, farewell}}, 1, "--- " + worked + "\n+++ " + farewell + "\npage \"Farewell\": changed\n  speech: [-Bye-]{+Farewell+}.\n", ""},
        {"diff in JSON", {{"diff", "--format", "json", worked, farewell}}, 1,
         "{\"before\":\"" + worked + "\",\"after\":\"" + farewell + "\",\"same\":false,\"pages\":[{\"change\":\"changed\",\"before\":1,\"after\":1,\"moved\":false,"
         "\"name\":\"Farewell\",\"oldName\":\"Farewell\",\"renamed\":false,\"fields\":[{\"field\":\"speech\",\"before\":\"Bye.\","
         "\"after\":\"Farewell.\",\"words\":[{\"removed\":\"Bye\"},{\"added\":\"Farewell\"},{\"same\":\".\"}]}],\"options\":[]}]}\n", ""},
        {"diff as git's external diff, of a new file", {{"diff", "x.dlg", "/dev/null", "0000000", "100644", worked, "1111111", "100644"}}, 0,
         "--- a/x.dlg\n+++ b/x.dlg\n" + workedAdded, ""},
        {"diff of a file that cannot be read", {{"diff", worked, missing}}, 2, "", "dlgtool: cannot read " + missing + ": No such file or directory\n"},
        {"diff of one file", {{"diff", worked}}, 2, "", kDiffUsage},
        {"show", {{"show", worked}}, 0,
         "page \"Start\"\n  description: First meeting\n  speech: Hello.\n  option: Who are you?\n    gender check: male PCs only\n"
         "    intelligence check: at least 5\n    leads to: page \"Farewell\"\n  option: E:\n    leads to: the dialog ends\n\n"
         "page \"Farewell\"\n  speech: Bye.\n\n", ""},
        {"merge, theirs changed", {{"merge", worked, worked, farewell}}, 0, TestFiles::ReadBytes(farewell), ""},
        {"merge, both changed one speech", {{"merge", worked, byeBye, farewell, "-o", dir + "/merged.dlg"}}, 1, "",
         "dlgtool: " + dir + "/merged.dlg: 1 conflict, each kept as ours with theirs in a \"// CONFLICT: theirs:\" remark above it\n",
         holds(dir + "/merged.dlg", TestFiles::ReadBytes(byeBye).replace(kWorkedExample.find("{21}{Bye"), 0, "// CONFLICT: theirs: speech: \"Farewell.\"\r\n"))},
        {"merge of a file that cannot be read", {{"merge", worked, notes, farewell, "-o", dir + "/m.dlg"}}, 1, "",
         "dlgtool: cannot read " + notes + ": it holds no dialog page, so it is not a dialog file\n", absent(dir + "/m.dlg")},
        {"merge of two files", {{"merge", worked, farewell}}, 2, "", "usage: dlgtool merge BASE OURS THEIRS [-o OUT]\n"},
        // Files that cannot be read or written.
        {"a missing file", {{"format", missing}}, 1, "", "dlgtool: cannot read " + missing + ": No such file or directory\n"},
        {"dump a rejected file", {{"dump", rejected}}, 1, "", "dlgtool: cannot read " + rejected + pcFirst},
        {"format a rejected file", {{"format", rejected, "-o", dir + "/x.dlg"}}, 1, "", "dlgtool: cannot read " + rejected + pcFirst,
         absent(dir + "/x.dlg")},
        {"not a dialog file", {{"format", notes, "-o", notes}}, 1, "",
         "dlgtool: cannot read " + notes + ": it holds no dialog page, so it is not a dialog file\n", holds(notes, "Notes for the writer\n")},
        {"into a missing folder", {{"format", worked, "-o", dir + "/no/x.dlg"}}, 1, "",
         "dlgtool: cannot write " + dir + "/no/x.dlg: No such file or directory\n"},
        // Every JSON string is strict UTF-8: a name that is not is shown through Windows-1252.
        {"a UTF-16 surrogate", {{"dump", files.Write("\xED\xA0\x80", "")}}, 0, "{\"file\":\"" + dir + "/\xC3\xAD\xC2\xA0\xE2\x82\xAC\",\"pages\":[]}\n", ""},
        {"above U+10FFFF", {{"dump", files.Write("\xF4\x90\x80\x80", "")}}, 0, "{\"file\":\"" + dir + "/\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC\",\"pages\":[]}\n", ""},
        {"no code point", {{"dump", files.Write("\xF5\x80\x80\x80", "")}}, 0, "{\"file\":\"" + dir + "/\xC3\xB5\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\",\"pages\":[]}\n", ""},
        {"an overlong form", {{"dump", files.Write("\xE0\x80\xAF", "")}}, 0, "{\"file\":\"" + dir + "/\xC3\xA0\xE2\x82\xAC\xC2\xAF\",\"pages\":[]}\n", ""},
        {"UTF-8 up to U+10FFFF", {{"dump", files.Write("caf\xC3\xA9\xF4\x8F\xBF\xBF", "")}}, 0, "{\"file\":\"" + dir + "/caf\xC3\xA9\xF4\x8F\xBF\xBF\",\"pages\":[]}\n", ""},
        {"check names in JSON", {{"check", "--format", "json", dir + "/\xED\xA0\x80.dlg"}}, 1,
         "{\"files\":1,\"errors\":1,\"warnings\":0,\"notes\":0,\"findings\":[{\"file\":\"" + dir + "/\xC3\xAD\xC2\xA0\xE2\x82\xAC.dlg\",\"line\":0,"
         "\"severity\":\"error\",\"message\":\"cannot read the file: No such file or directory\"}]}\n", ""},
        // A report that could not be written is a failure.
        {"check to a full disk", {{"check", examples}, "/dev/null", "/dev/full"}, 1, "", full},
        {"stats to a full disk", {{"stats", examples}, "/dev/null", "/dev/full"}, 1, "", full},
        {"format --check to a full disk", {{"format", "--check", messy}, "/dev/null", "/dev/full"}, 1, "", full},
        {"dump to a full disk", {{"dump", worked}, "/dev/null", "/dev/full"}, 1, "", full},
        {"a save cut short", {{"format", examples + "/tavern.dlg", "-o", old}, "/dev/null", "", 256}, 1, "",
         "dlgtool: cannot write " + old + ": File too large\n", holds(old, "old")},
        // A folder that cannot be read is an error.
        {"check a locked folder", {{"check", dir + "/tree/locked"}}, 1,
         dir + "/tree/locked: error: cannot read the folder: Permission denied\n0 files checked: 1 error, 0 warnings, 0 notes\n", ""},
        {"check a tree holding one", {{"check", dir + "/tree"}}, 1,
         dir + "/tree/locked: error: cannot read the folder: Permission denied\n1 file checked: 1 error, 0 warnings, 0 notes\n", ""},
        {"stats a locked folder", {{"stats", dir + "/tree/locked"}}, 1, "total (0 files)\n" + noStats,
         "dlgtool: cannot read " + dir + "/tree/locked: Permission denied\n"},
        // Only a regular file is replaced.
        {"save into a FIFO", {{"format", worked, "-o", fifo}}, 0, "", "", [&] { return IsA(fifo, S_IFIFO); }},
        {"save into a device", {{"format", worked, "-o", dir + "/null"}}, 0, "", "",
         [&] { return IsA(dir + "/null", S_IFLNK) && IsA("/dev/null", S_IFCHR); }},
        // A link to what is no file, such as a pipe, is written into.
        {"save into /dev/stdout, a pipe", {{"format", worked, "-o", "/dev/stdout"}, "/dev/null", "|"}, 0, kWorkedExample, ""},
        {"save into /dev/fd/1, a pipe", {{"format", worked, "-o", "/dev/fd/1"}, "/dev/null", "|"}, 0, kWorkedExample, ""},
        {"save onto a link loop", {{"format", worked, "-o", dir + "/loop"}}, 1, "",
         "dlgtool: cannot write " + dir + "/loop: Too many levels of symbolic links\n", [&] { return IsA(dir + "/loop", S_IFLNK); }},
        // What memory cannot hold is an error, and what never ends is not read.
        {"an endless device", {{"dump", "/dev/zero"}}, 1, "", "dlgtool: cannot read /dev/zero: it is a character device, not a file\n"},
        {"a file larger than memory", {{"dump", huge}}, 1, "", "dlgtool: cannot read " + huge + ": not enough memory\n"},
        // The command line.
        {"-o twice", {{"format", worked, "-o", dir + "/o1.dlg", "-o", dir + "/o2.dlg"}}, 2, "", kFormatUsage,
         [&] { return absent(dir + "/o1.dlg")() && absent(dir + "/o2.dlg")(); }},
        {"format without a file", {{"format"}}, 2, "", kFormatUsage},
        {"format two files", {{"format", "a", "b"}}, 2, "", kFormatUsage},
        {"-o without a file", {{"format", "a", "-o"}}, 2, "", kFormatUsage},
        {"format --check without a path", {{"format", "--check"}}, 2, "", kFormatUsage},
        {"format --format dot", {{"format", "a", "--format", "dot"}}, 2, "", kFormatUsage},
        {"graph --format png", {{"graph", "a", "--format", "png"}}, 2, "", "usage: dlgtool graph FILE [--format dot|svg] [-o OUT]\n"},
        {"dump without a file", {{"dump"}}, 2, "", "usage: dlgtool dump FILE\n"},
        {"dump --json", {{"dump", "--json"}}, 2, "", "usage: dlgtool dump FILE\n"},
        {"check without a path", {{"check"}}, 2, "", kCheckUsage},
        {"check --format xml", {{"check", "--format", "xml", "a"}}, 2, "", kCheckUsage},
        // Every option is given once at most.
        {"check --format twice", {{"check", "--format", "json", "--format", "text", "a"}}, 2, "", kCheckUsage},
        {"graph --format twice", {{"graph", "a", "--format", "svg", "--format", "dot"}}, 2, "", "usage: dlgtool graph FILE [--format dot|svg] [-o OUT]\n"},
        {"dump -", {{"dump", "-"}, empty}, 0, "{\"file\":\"-\",\"pages\":[]}\n", ""},
        {"check -", {{"check", "-"}, lost}, 0,
         "-:3: warning: page \"Lost\" (line 3): no option leads to it\n1 file checked: 0 errors, 1 warning, 0 notes\n", ""},
        {"stats -", {{"stats", "-"}, empty}, 0, "-\n" + noStats + "total (1 file)\n" + noStats, ""},
        {"a line break in a name", {{"check", dir + "/a\nb\\.dlg"}}, 1,
         dir + "/a\\nb\\\\.dlg: error: cannot read the file: No such file or directory\n1 file checked: 1 error, 0 warnings, 0 notes\n", ""},
        {"a line break in a message", {{"dump", dir + "/a\r\nb"}}, 1, "", "dlgtool: cannot read " + dir + "/a\\r\\nb: No such file or directory\n"},
        // A page without a name reads back named by its number.
        {"an unnamed page", {{"check", unnamed}}, 0,
         unnamed + ":3: warning: page \"\" (line 3): no option leads to it\n" + unnamed
             + ":3: note: page \"\" (line 3) has no name: once saved, it reads back named \"21\"\n1 file checked: 0 errors, 1 warning, 1 note\n", ""},
    };
    for (const Case &c : cases) {
        const Result result = RunDlgtool(c.run);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.out, c.out) << c.what;
        EXPECT_EQ(result.err, c.err) << c.what;
        EXPECT_TRUE(c.left()) << c.what << ": what is left on disk";
        for (const auto &entry : std::filesystem::directory_iterator(dir))
            EXPECT_NE(entry.path().filename().string().front(), '.') << c.what << ": a temporary file is left";
    }
    char fifoBytes[4096];
    const ssize_t got = read(fifoReader, fifoBytes, sizeof fifoBytes);
    close(fifoReader);
    EXPECT_EQ(std::string(fifoBytes, static_cast<size_t>(std::max<ssize_t>(got, 0))), kWorkedExample);
}

// A text of the file, or of the command line, that holds control
// characters reaches the terminal escaped, as a file name does: a page's
// name that would clear the screen, a speech that would set the terminal's
// title, a name to start from that would split the error over two lines.
TEST(Dlgtool, EscapesControlCharactersInText)
{
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0); // the binary runs unprivileged
    const std::string path = files.Write("c.dlg", "// [LABEL] Start\n{1}{Hi}{Hi}{}{}{}{}\n{2}{Go \\ on}{}{1}{}{21}{}\n"
                                                  "// [LABEL] \x1b[2JWipe\x81\n{21}{\x1b]0;title\x07}{x}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n"
                                                  "// [LABEL] Lost\x1b[2J\x7f\n{41}{l}{l}{}{}{}{}\n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"check", path}, 0, path + ":8: warning: page \"Lost\\x1b[2J\\x7f\" (line 8): no option leads to it\n1 file checked: 0 errors, 1 warning, 0 notes\n", ""},
        {{"play", path, "--gender", "male", "--intelligence", "5", "--choose", "1"}, 0,
         "male PC, intelligence 5\n1. page \"Start\" (line 2)\n   NPC: Hi\n   1) Go \\\\ on -> page \"\\x1b[2JWipe\\x81\"\n   chosen: 1\n"
         "2. page \"\\x1b[2JWipe\\x81\" (line 5)\n   NPC: \\x1b]0;title\\x07\n   1) Back -> page \"Start\"\nend: choices used\n", ""},
        {{"play", path, "--gender", "male", "--intelligence", "5", "--start", "a\nb"}, 1, "",
         "dlgtool: cannot play " + path + ": no page is named \"a\\nb\"\n"},
    };
    for (const auto &c : cases) {
        const Result result = RunDlgtool({c.args});
        EXPECT_EQ(result.status, c.status) << c.args.back();
        EXPECT_EQ(result.out, c.out) << c.args.back();
        EXPECT_EQ(result.err, c.err) << c.args.back();
    }
}

// What check says of one file on its standard input, without the summary.
std::string CheckOne(const std::string &bytes, int *status)
{
    const TestFiles files;
    const Result result = RunDlgtool({{"check", "-"}, files.Write("x.dlg", bytes)});
    *status = result.status;
    std::string findings;
    for (size_t start = 0, lf; (lf = result.out.find('\n', start)) != std::string::npos; start = lf + 1) {
        if (result.out[start] == '-')
            findings += result.out.substr(start + 1, lf - start);
    }
    return findings;
}

// A text goes into JSON in runs of the bytes that stand for themselves:
// each kind of byte at the start, inside and at the end of a run.
TEST(Dlgtool, JsonShowsEveryByteThroughWindows1252)
{
    const struct {
        std::string bytes;
        std::string json;
    } cases[] = {
        {"", "\"\""},
        {"plain", "\"plain\""},
        {"\"a\\", "\"\\\"a\\\\\""},
        {"\n\r\tx", "\"\\n\\r\\tx\""},
        {std::string("\x00\x01", 2) + "\x1f\x7f", "\"\\u0000\\u0001\\u001f\\u007f\""},
        {"x\x80\x81\xe9\xff", "\"x\u20ac\u0081\u00e9\u00ff\""},
        {"\x9d ~ \x20", "\"\u009d ~  \""},
    };
    for (const auto &c : cases) {
        JsonWriter json;
        json.String(c.bytes);
        EXPECT_EQ(json.Text(), c.json) << c.json;
    }
}

// dump hands its JSON out in pieces once it has grown long: a document of
// many equal pages prints as the JSON of one of them, repeated.
TEST(Dlgtool, DumpOfManyPagesIsTheirJsonInOrder)
{
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0); // the binary runs unprivileged
    const std::string page = "// [LABEL] P\n{1}{Hi \"there\"}{Hi}{}{}{}{}\n{2}{E:}{}{1}{}{}{}\n";
    const std::string one = files.Write("one.dlg", page);
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += page;
    const std::string many = files.Write("many.dlg", text);

    const std::string head = "{\"file\":\"" + one + "\",\"pages\":[";
    const std::string single = RunDlgtool({{"dump", one}}).out;
    ASSERT_EQ(single.substr(0, head.size()), head);
    const std::string pageJson = single.substr(head.size(), single.size() - head.size() - 3);
    std::string expected = "{\"file\":\"" + many + "\",\"pages\":[" + pageJson;
    for (int i = 1; i < 2000; ++i)
        expected += "," + pageJson;
    expected += "]}\n";
    ASSERT_GT(expected.size(), 200000U) << "long enough to go out in pieces";
    const Result result = RunDlgtool({{"dump", many}});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out == expected) << "the dump of 2,000 equal pages differs from their JSON";
}

TEST(Check, Findings)
{
    for (const CheckCase &c : CheckCases()) {
        int status = -1;
        EXPECT_EQ(CheckOne(c.input, &status), c.findings) << c.name;
        EXPECT_EQ(status, c.status) << c.name;
    }
}

TEST(UnifiedDiff, HunksKeepThreeLinesOfContext)
{
    std::string before;
    for (int i = 1; i <= 20; ++i)
        before += std::to_string(i) + "\n";
    std::string after = before;
    after.replace(after.find("2\n"), 2, "two\n");
    after.replace(after.find("\n18\n") + 1, 3, "");
    EXPECT_EQ(UnifiedDiff::Make(before, after, "a", "b"), "--- a\n+++ b\n"
                                                          "@@ -1,5 +1,5 @@\n 1\n-2\n+two\n 3\n 4\n 5\n"
                                                          "@@ -15,6 +15,5 @@\n 15\n 16\n 17\n-18\n 19\n 20\n");
    EXPECT_EQ(UnifiedDiff::Make("a", "b", "x", "y"), "--- x\n+++ y\n@@ -1 +1 @@\n-a\n\\ No newline at end of file\n+b\n\\ No newline at end of file\n");
}

// Paths that end each way, a choice not offered, usage, and every JSON
// field, on one small file. An output ends with the text given.
TEST(Play, Runs)
{
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0); // the binary runs unprivileged
    const std::string path = files.Write("p.dlg", "// [LABEL] Start\n{1}{R:20,mill,ferry}{Hello, miss.}{}{}{}{}\n{2}{To the room}{}{1}{}{21}{}\n"
                                                  "{3}{Men only}{1}{}{}{21}{}\n{4}{Bright}{}{+8}{}{41}{}\n{5}{Bye}{}{1}{}{}{}\n{6}{Lost}{}{1}{}{99}{}\n"
                                                  "// [LABEL] Room\n{21}{M:5,41}{M:5,41}{}{}{}{}\n{22}{Pay later}{}{1}{Gold > 5}{}{Owe(5)}\n"
                                                  "// [LABEL] Caf\xe9\n{41}{Dark.}{Dark.}{}{}{}{}\n");
    const std::vector<std::string> female{path, "--gender", "female", "--intelligence", "8"};
    const std::vector<std::string> male{path, "--gender", "male", "--intelligence", "9"};
    const auto with = [](std::vector<std::string> args, const std::vector<std::string> &more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const std::string cannot = "dlgtool: cannot play " + path + ": ";
    const std::string usage = "usage: dlgtool " + std::string(PlayCommand().Usage()) + "\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outEnd;
        std::string err;
    };
    const Case cases[] = {
        {female, 0,
         "female PC, intelligence 8\n1. page \"Start\" (line 2)\n   NPC: Hello, miss.\n   1) To the room -> page \"Room\"\n"
         "   2) Bye -> the dialog ends\n   3) Lost -> page number 99, which no page has\n"
         "   not offered: Men only (only for male PCs)\n   not offered: Bright (needs intelligence above 8)\nend: choices used\n", ""},
        {with(male, {"--choose", "4"}), 0, "   NPC: [Rumour: mill, ferry; 20 gold]\n" "   1) To the room -> page \"Room\"\n   2) Men only -> page \"Room\"\n"
         "   3) Bright -> page \"Caf\u00e9\"\n   4) Bye -> the dialog ends\n   5) Lost -> page number 99, which no page has\n   chosen: 4\nend: dialog finished\n", ""},
        {with(male, {"--choose", "5"}), 0, "   chosen: 5\nend: no such page\n", ""},
        {with(male, {"--choose", "1,1"}), 0, "   chosen: 1\n3. page \"Caf\u00e9\" (line 12)\n   NPC: Dark.\nend: no options\n", ""},
        {with(female, {"--start", "Room", "--choose", "2", "--fail-conditions", "10", "--format", "json"}), 0,
         "{\"gender\":\"female\",\"intelligence\":8,\"steps\":[{\"page\":{\"name\":\"Room\",\"number\":21,\"line\":9},"
         "\"npc\":{\"stored\":\"M:5,41\",\"shown\":\"[Request money: 5 gold]\"},\"offered\":[{\"line\":9,\"speech\":\"pays\",\"target\":\"Caf\u00e9\"},"
         "{\"line\":9,\"speech\":\"does not pay\",\"target\":\"Room\"}],\"hidden\":[],\"chosen\":2},"
         "{\"page\":{\"name\":\"Room\",\"number\":21,\"line\":9},\"npc\":{\"stored\":\"M:5,41\",\"shown\":\"[Request money: 5 gold]\"},"
         "\"offered\":[],\"hidden\":[{\"line\":10,\"speech\":\"Pay later\",\"target\":null,\"reason\":\"its conditions do not pass\"}],"
         "\"chosen\":null}],\"end\":\"no options\"}\n", ""},
        {with(female, {"--start", "Caf\u00e9"}), 0, "1. page \"Caf\u00e9\" (line 12)\n   NPC: Dark.\nend: no options\n", ""},
        // A path that no longer holds fails, saying where.
        {with(female, {"--choose", "4"}), 1, "", cannot + "at step 1, page \"Start\" (line 2), choice 4 is not offered: 3 options are offered\n"},
        {with(male, {"--choose", "4,1"}), 1, "", cannot + "at step 1, page \"Start\" (line 2), choice 1 comes after the end of the conversation\n"},
        {with(male, {"--choose", "3,1"}), 1, "", cannot + "at step 2, page \"Caf\u00e9\" (line 12), choice 1 is not offered: no options are offered\n"},
        {with(male, {"--start", "Nowhere"}), 1, "", cannot + "no page is named \"Nowhere\"\n"},
        {with(male, {"--fail-conditions", "3"}), 1, "", cannot + "line 3 holds no PC option with extra conditions\n"},
        {{path, "--intelligence", "8"}, 2, "", usage},
        // Every option is given once at most.
        {with(male, {"--choose", "1", "--choose", "2"}), 2, "", usage},
        {with(male, {"--gender", "female"}), 2, "", usage},
        {with(male, {"--format", "json", "--format", "text"}), 2, "", usage},
        {with(male, {"--start", "Room", "--start", "Start"}), 2, "", usage},
        {with(male, {"--fail-conditions", "10", "--fail-conditions", "10"}), 2, "", usage},
        {{path, "--gender", "male", "--intelligence", "ten"}, 2, "", usage},
        {with(male, {"--choose", "1,,2"}), 2, "", usage},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args{"play"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result result = RunDlgtool({args});
        const std::string what = c.args.size() > 5 ? c.args[5] + " " + c.args.back() : c.args.back();
        EXPECT_EQ(result.status, c.status) << what;
        EXPECT_EQ(result.out.substr(result.out.size() - std::min(result.out.size(), c.outEnd.size())), c.outEnd) << what;
        EXPECT_EQ(result.out.empty(), c.outEnd.empty()) << what;
        EXPECT_EQ(result.err, c.err) << what;
    }
}

// dlgtool spell with a dictionary of its own, word lists up the folders,
// in the user's data folder and named, and whatever cannot be read.
TEST(Spell, ReportsMisspeltWords)
{
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0); // the binary runs unprivileged
    const std::string dir = files.Dir();
    for (const char *folder : {"dict", "game/.git", "game/act", "data/Talkwright/talkwright", "locked/.git"})
        std::filesystem::create_directories(dir + "/" + folder);
    files.Write("dict/xx_TEST.aff", "SET UTF-8\nTRY esianrtolcdugmfphbyvkw\nSFX S Y 1\nSFX S 0 s .\n");
    files.Write("dict/xx_TEST.dic", "10\nthe\nroad\nis\nlong\ninn/S\nwelcome\nto\ncaf\u00e9\ntell\nme\n");
    files.Write("data/Talkwright/talkwright/talkwright-words.txt", "Marta\n");
    files.Write("game/talkwright-words.txt", "Quorvel\n");
    const std::string act = files.Write("game/act/a.dlg", "// [LABEL] Gaate\n"
                                                          "{1}{Welcome to Quorvel, Marta. The raod is long.}{Welcome to Quorvel. The caf\xe9 is lnog.}{}{}{}{}\n"
                                                          "{2}{Me wantz inns}{}{-4}{}{}{}\n"
                                                          "{3}{Tell me of Gaate}{}{1}{Gold > x}{}{Set(y)}\n"
                                                          "{4}{R:5,mispelt}{}{1}{}{}{}\n");
    const std::string clean = files.Write("game/clean.dlg", "{1}{The road is long.}{The road is long.}{}{}{}{}\n");
    const std::string extra = files.Write("extra.txt", "raod\nof\n");
    const std::string locked = files.Write("locked/talkwright-words.txt", "x\n");
    const std::string behind = files.Write("locked/b.dlg", "{1}{road}{road}{}{}{}{}\n");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    const std::vector<std::pair<std::string, std::string>> env = {
        {"DICPATH", dir + "/dict"}, {"HOME", dir}, {"XDG_DATA_HOME", dir + "/data"}};
    const std::string usage = "usage: dlgtool spell [--lang LANG] [--words FILE]... [--format text|json] PATH...\n";
    const std::string found = act + ":2: spelling: \"raod\" (suggestions: road)\n" + act + ":2: spelling: \"lnog\" (suggestions: long)\n";
    const struct {
        const char *what;
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {"misspelt words", {"--lang", "xx_TEST", act}, 1, found + act + ":4: spelling: \"of\" (no suggestions)\n1 file checked: 3 misspelt words\n", ""},
        {"a clean file", {clean, "--lang", "xx_TEST"}, 0, "1 file checked: 0 misspelt words\n", ""},
        {"a list named", {"--lang", "xx_TEST", "--words", extra, act}, 1, act + ":2: spelling: \"lnog\" (suggestions: long)\n1 file checked: 1 misspelt word\n", ""},
        {"in JSON", {"--lang", "xx_TEST", "--format", "json", "--words", extra, dir + "/game"}, 1,
         "{\"findings\":[{\"file\":\"" + act + "\",\"line\":2,\"text\":\"npc speech to female PCs\",\"word\":\"lnog\",\"suggestions\":[\"long\"]}],"
         "\"files\":2,\"misspelt\":1}\n", ""},
        {"a list that cannot be read", {"--lang", "xx_TEST", behind, clean}, 1, "2 files checked: 0 misspelt words\n",
         "dlgtool: cannot read " + locked + ": Permission denied\n"},
        {"a named list that is not there", {"--lang", "xx_TEST", "--words", dir + "/none.txt", act}, 1, "",
         "dlgtool: cannot read " + dir + "/none.txt: No such file or directory\n"},
        {"a file that is not there", {"--lang", "xx_TEST", dir + "/none.dlg"}, 1, "1 file checked: 0 misspelt words\n",
         "dlgtool: cannot read " + dir + "/none.dlg: No such file or directory\n"},
        {"no dictionary", {"--lang", "zz_ZZ", act}, 2, "", "dlgtool: no dictionary for zz_ZZ (the Debian package hunspell-zz-zz provides it)\n"},
        {"no path", {"--lang", "xx_TEST"}, 2, "", usage},
        {"an unknown format", {"--format", "xml", act}, 2, "", usage},
        {"a language twice", {"--lang", "xx_TEST", "--lang", "xx_TEST", act}, 2, "", usage},
        {"an unknown option", {"--all", act}, 2, "", usage},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args{"spell"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result result = RunDlgtool({args, "/dev/null", "", RLIM_INFINITY, env});
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.out, c.out) << c.what;
        EXPECT_EQ(result.err, c.err) << c.what;
    }
    const Result full = RunDlgtool({{"spell", "--lang", "xx_TEST", act}, "/dev/null", "/dev/full", RLIM_INFINITY, env});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "dlgtool: cannot write standard output: No space left on device\n");
}

// The same command with the en_US dictionary that hunspell-en-us installs.
TEST(Spell, InstalledEnglish)
{
    if (access("/usr/share/hunspell/en_US.dic", R_OK) != 0)
        GTEST_SKIP() << "hunspell-en-us is not installed";
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0);
    std::filesystem::create_directories(files.Path(".git"));
    const std::string path = files.Write("e.dlg", "{1}{Welcome to the inn, traveler.}{I recieve a letter.}{}{}{}{}\n");
    const Result result = RunDlgtool({{"spell", path}, "/dev/null", "", RLIM_INFINITY, {{"DICPATH", ""}, {"HOME", files.Dir()}}});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find(',')), path + ":1: spelling: \"recieve\" (suggestions: receive");
    EXPECT_EQ(result.out.substr(result.out.find('\n')), "\n1 file checked: 1 misspelt word\n");
}

} // namespace
