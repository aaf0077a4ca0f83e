// dlgtool's contract: what it prints, where, and its exit statuses.
#include "CommandOutput.h"
#include "TestFiles.h"
#include "cli/DumpCommand.h"
#include "cli/FormatCommand.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Result = CommandOutput;
constexpr auto RunCommand = &CommandOutput::Of;

const std::string kWorkedExample = "// [LABEL] Start\r\n"
                                   "// [DESCRIPTION] First meeting\r\n"
                                   "{1}{Hello.}{Hello.}{}{1}{}{}\r\n"
                                   "{2}{Who are you?}{1}{5}{}{21}{}\r\n"
                                   "{3}{E:}{}{1}{}{}{}\r\n"
                                   "\r\n"
                                   "// [LABEL] Farewell\r\n"
                                   "{21}{Bye.}{Bye.}{}{2}{}{}\r\n"
                                   "\r\n";

TEST(Dlgtool, FormatWritesWhatSaveWrites)
{
    const std::string example = TALKWRIGHT_EXAMPLES_DIR "/worked-example.dlg";
    const Result toStdout = RunCommand(FormatCommand(), {example});
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, kWorkedExample);
    EXPECT_EQ(RunCommand(FormatCommand(), {example, "-o", "-"}).out, kWorkedExample);

    TestFiles files;
    const Result toFile = RunCommand(FormatCommand(), {example, "-o", files.Path("out.dlg")});
    EXPECT_EQ(toFile.status, 0);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(TestFiles::ReadBytes(files.Path("out.dlg")), kWorkedExample);
}

TEST(Dlgtool, DumpPrintsTheDocumentAsRead)
{
    TestFiles files;
    const std::string path = files.Write("d.dlg", "// [LABEL] Caf\xe9\n// \"q\"\\\n{5}{R:50,3}{Hi}{x}{}{}{}\n"
                                                  "{6}{Go}{1}{}{}{5}{}\n{7}{Stay}{}{}{}{}{}\n");
    const Result result = RunCommand(DumpCommand(), {path});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string expected =
        "{\"file\":\"" + path + "\",\"pages\":[{\"label\":\"Caf\u00e9\",\"description\":\"\","
        "\"comment\":\"\\\"q\\\"\\\\\\n\",\"number\":5,\"fields\":[\"Caf\u00e9\",\"R:50,3\",\"Hi\",\"x\",\"\",\"\",\"\"],"
        "\"sameSpeechForBoth\":false,\"speech\":{\"kind\":23,\"n\":0,\"m\":50,\"l\":\"3\",\"s\":\"\"},"
        "\"femaleSpeech\":{\"kind\":0,\"n\":0,\"m\":0,\"l\":\"\",\"s\":\"\"},\"options\":["
        "{\"label\":\"6\",\"description\":\"\",\"comment\":\"\",\"number\":6,\"fields\":[\"6\",\"Go\",\"1\",\"\",\"\",\"5\",\"\"],"
        "\"speech\":{\"kind\":0,\"n\":0,\"m\":0,\"l\":\"\",\"s\":\"\"},\"target\":0},"
        "{\"label\":\"7\",\"description\":\"\",\"comment\":\"\",\"number\":7,\"fields\":[\"7\",\"Stay\",\"\",\"\",\"\",\"\",\"\"],"
        "\"speech\":{\"kind\":0,\"n\":0,\"m\":0,\"l\":\"\",\"s\":\"\"},\"target\":null}]}]}\n";
    EXPECT_EQ(result.out, expected);
}

const std::string kFormatUsage = "usage: dlgtool format FILE [-o OUT]\n       dlgtool format --check [--diff] PATH...\n";

TEST(Dlgtool, Failures)
{
    TestFiles files;
    const std::string missing = files.Path("missing.dlg");
    const std::string rejected = files.Write("bad.dlg", "{1}{Hi}{}{}{}{}{}\n");
    const std::string notes = files.Write("notes.txt", "Notes for the writer\n");
    struct Case {
        Result result;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {RunCommand(FormatCommand(), {missing}), 1, "dlgtool: cannot read " + missing + ": No such file or directory\n"},
        {RunCommand(DumpCommand(), {rejected}), 1,
         "dlgtool: cannot read " + rejected + ": its first dialog line, line 1, is a PC option\n"},
        {RunCommand(FormatCommand(), {rejected, "-o", files.Path("x.dlg")}), 1,
         "dlgtool: cannot read " + rejected + ": its first dialog line, line 1, is a PC option\n"},
        {RunCommand(FormatCommand(), {notes, "-o", notes}), 1,
         "dlgtool: cannot read " + notes + ": it holds no dialog page, so it is not a dialog file\n"},
        {RunCommand(FormatCommand(), {TALKWRIGHT_EXAMPLES_DIR "/worked-example.dlg", "-o", files.Dir() + "/no/x.dlg"}), 1,
         "dlgtool: cannot write " + files.Dir() + "/no/x.dlg: No such file or directory\n"},
        {RunCommand(FormatCommand(), {}), 2, kFormatUsage},
        {RunCommand(FormatCommand(), {"a", "b"}), 2, kFormatUsage},
        {RunCommand(FormatCommand(), {"a", "-o"}), 2, kFormatUsage},
        {RunCommand(DumpCommand(), {}), 2, "usage: dlgtool dump FILE\n"},
        {RunCommand(DumpCommand(), {"--json"}), 2, "usage: dlgtool dump FILE\n"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.result.status, c.status) << c.err;
        EXPECT_EQ(c.result.err, c.err);
        EXPECT_EQ(c.result.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(files.Path("x.dlg")));
    EXPECT_EQ(TestFiles::ReadBytes(notes), "Notes for the writer\n");

    // What format cannot keep, it names, and writes the rest as a save would.
    const std::string partly = files.Write("partly.dlg", "{1}{Hi}{Hi}{}{}{}{}\nTODO more\n{2}{A}{}{}{}{}{} x\n");
    const Result dropped = RunCommand(FormatCommand(), {partly});
    EXPECT_EQ(dropped.status, 0);
    EXPECT_EQ(dropped.err, "dlgtool: " + partly + ":2: drops not a dialog line or a comment\n"
                           "dlgtool: " + partly + ":3: drops text after the seventh field\n");
    EXPECT_EQ(dropped.out, "// [LABEL] 1\r\n{1}{Hi}{Hi}{}{1}{}{}\r\n{2}{A}{}{}{}{}{}\r\n\r\n");
}

} // namespace
