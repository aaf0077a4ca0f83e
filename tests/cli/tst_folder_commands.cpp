// dlgtool find and dlgtool uses run as programs: what they print, their exit
// statuses, and a folder of hostile entries that they name and pass by
// without stopping or writing anything.
#include "DlgtoolRun.h"
#include "TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace {

// Two pages; "lamp" in speeches, conditions and results, in both cases.
const std::string kInn = "// [LABEL] Inn\n"
                         "{1}{The lamp is lit.}{The lamp is lit.}{}{}{}{}\n"
                         "{2}{Buy a lamp}{}{1}{Gold >= 5}{21}{TakeGold(5); HasLamp=1}\n"
                         "{3}{Leave}{}{1}{!HasLamp}{}{}\n"
                         "// [LABEL] Cellar\n"
                         "{21}{Dark down here.}{Dark down here.}{}{}{}{}\n"
                         "{22}{Light the Lamp}{}{1}{HasLamp}{}{LampLit=1}\n";

// Every file below dir with its bytes, to see that nothing was written.
std::map<std::string, std::string> Contents(const std::string &dir)
{
    std::map<std::string, std::string> contents;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(dir, std::filesystem::directory_options::skip_permission_denied)) {
        std::error_code ignored;
        if (entry.is_regular_file(ignored) && !entry.is_symlink(ignored))
            contents[entry.path().string()] = TestFiles::ReadBytes(entry.path().string());
    }
    return contents;
}

TEST(FolderCommands, FindAndUsesKeepTheirContract)
{
    TestFiles files;
    ASSERT_EQ(chmod(files.Dir().c_str(), 0777), 0); // the binary runs unprivileged
    const std::string dir = files.Dir();
    const std::string inn = files.Write("inn.dlg", kInn);
    std::filesystem::create_directories(dir + "/game/sub/locked");
    files.Write("game/inn.dlg", kInn);
    files.Write("game/sub/mill.dlg", "// [LABEL] Mill\n{1}{A lamp? No.}{A lamp? No.}{}{}{}{}\n{2}{Bye}{}{1}{}{}{HasLamp=0}\n");
    const std::string secret = files.Write("game/secret.dlg", kInn);
    const std::string notes = files.Write("game/notes.dlg", "Notes for the writer: the lamp\n");
    ASSERT_EQ(chmod(secret.c_str(), 0), 0);
    ASSERT_EQ(chmod((dir + "/game/sub/locked").c_str(), 0), 0);
    std::filesystem::create_symlink("..", dir + "/game/sub/up");        // a loop, if it were followed
    std::filesystem::create_symlink("loop.dlg", dir + "/game/loop.dlg"); // a link to itself
    const std::map<std::string, std::string> before = Contents(dir);

    const std::string hits = inn + ":2: page \"Inn\", page speech: The lamp is lit.\n"
                           + inn + ":3: page \"Inn\", option 1 speech: Buy a lamp\n"
                           + inn + ":3: page \"Inn\", option 1 results: TakeGold(5); HasLamp=1\n"
                           + inn + ":4: page \"Inn\", option 2 conditions: !HasLamp\n"
                           + inn + ":7: page \"Cellar\", option 1 speech: Light the Lamp\n"
                           + inn + ":7: page \"Cellar\", option 1 conditions: HasLamp\n"
                           + inn + ":7: page \"Cellar\", option 1 results: LampLit=1\n";
    const std::string uses = "Gold: tested 1, never set\n"
                             "  tested at " + inn + ":3: page \"Inn\", option 1: Gold >= 5\n"
                             "HasLamp: tested 2, set 1\n"
                             "  tested at " + inn + ":4: page \"Inn\", option 2: !HasLamp\n"
                             "  tested at " + inn + ":7: page \"Cellar\", option 1: HasLamp\n"
                             "  set at " + inn + ":3: page \"Inn\", option 1: TakeGold(5); HasLamp=1\n"
                             "LampLit: set 1, never tested\n"
                             "  set at " + inn + ":7: page \"Cellar\", option 1: LampLit=1\n"
                             "TakeGold: set 1, never tested\n"
                             "  set at " + inn + ":3: page \"Inn\", option 1: TakeGold(5); HasLamp=1\n"
                             "4 names in 1 file: 2 set but never tested, 1 tested but never set\n";
    // What the hostile folder gives: the readable files' lines, and each
    // entry that cannot be read named on standard error; links are passed by.
    const std::string unreadable = "dlgtool: cannot read " + dir + "/game/sub/locked: Permission denied\n"
                                 + "dlgtool: cannot read " + notes + ": it holds no dialog page, so it is not a dialog file\n"
                                 + "dlgtool: cannot read " + secret + ": Permission denied\n";
    const std::string findUsage = "usage: dlgtool find [--case] [--words] [--regex] TEXT PATH...\n";
    const std::string usesUsage = "usage: dlgtool uses PATH... [--format text|json]\n";

    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::string in = "/dev/null";
    } cases[] = {
        {{"find", "lamp", inn}, 0, hits, ""},
        {{"find", "--words", "lamp", inn}, 0,
         inn + ":2: page \"Inn\", page speech: The lamp is lit.\n" + inn + ":3: page \"Inn\", option 1 speech: Buy a lamp\n" + inn
             + ":7: page \"Cellar\", option 1 speech: Light the Lamp\n",
         ""},
        {{"find", "--case", "--words", "Lamp", inn}, 0, inn + ":7: page \"Cellar\", option 1 speech: Light the Lamp\n", ""},
        {{"find", "--regex", "--case", "^Has(L)amp$", inn}, 0, inn + ":7: page \"Cellar\", option 1 conditions: HasLamp\n", ""},
        {{"find", "Inn", "-"}, 0, "-:2: page \"Inn\", page name: Inn\n", "", inn},
        {{"find", "--", "-lamp", inn}, 1, "", ""},
        {{"find", "torch", inn}, 1, "", ""},
        {{"find", "lamp", dir + "/game"}, 1,
         dir + "/game/inn.dlg:2: page \"Inn\", page speech: The lamp is lit.\n" + dir
             + "/game/inn.dlg:3: page \"Inn\", option 1 speech: Buy a lamp\n" + dir
             + "/game/inn.dlg:3: page \"Inn\", option 1 results: TakeGold(5); HasLamp=1\n" + dir
             + "/game/inn.dlg:4: page \"Inn\", option 2 conditions: !HasLamp\n" + dir
             + "/game/inn.dlg:7: page \"Cellar\", option 1 speech: Light the Lamp\n" + dir
             + "/game/inn.dlg:7: page \"Cellar\", option 1 conditions: HasLamp\n" + dir
             + "/game/inn.dlg:7: page \"Cellar\", option 1 results: LampLit=1\n" + dir
             + "/game/sub/mill.dlg:2: page \"Mill\", page speech: A lamp? No.\n" + dir
             + "/game/sub/mill.dlg:3: page \"Mill\", option 1 results: HasLamp=0\n",
         unreadable},
        {{"find", "--regex", "(lamp", inn}, 2, "", "dlgtool: invalid regular expression: missing closing parenthesis (at offset 5)\n"},
        {{"find", "caf\xe9", inn}, 2, "", "dlgtool: invalid text: The text to find is not valid UTF-8.\n"},
        {{"find", "lamp"}, 2, "", findUsage},
        {{"find", "", inn}, 2, "", findUsage},
        {{"find", "--all", "lamp", inn}, 2, "", findUsage},
        {{"uses", inn}, 0, uses, ""},
        {{"uses", inn, "--format", "text"}, 0, uses, ""},
        {{"uses", "--format", "json", dir + "/game/sub/mill.dlg"}, 0,
         "{\"files\":1,\"names\":[{\"name\":\"HasLamp\",\"tested\":[],\"set\":[{\"file\":\"" + dir
             + "/game/sub/mill.dlg\",\"line\":3,\"page\":\"Mill\",\"option\":1,\"text\":\"HasLamp=0\"}],\"neverTested\":true,\"neverSet\":false}]}\n",
         ""},
        {{"uses", dir + "/game"}, 1,
         "Gold: tested 1, never set\n  tested at " + dir + "/game/inn.dlg:3: page \"Inn\", option 1: Gold >= 5\nHasLamp: tested 2, set 2\n  tested at " + dir
             + "/game/inn.dlg:4: page \"Inn\", option 2: !HasLamp\n  tested at " + dir
             + "/game/inn.dlg:7: page \"Cellar\", option 1: HasLamp\n  set at " + dir
             + "/game/inn.dlg:3: page \"Inn\", option 1: TakeGold(5); HasLamp=1\n  set at " + dir
             + "/game/sub/mill.dlg:3: page \"Mill\", option 1: HasLamp=0\nLampLit: set 1, never tested\n  set at " + dir
             + "/game/inn.dlg:7: page \"Cellar\", option 1: LampLit=1\nTakeGold: set 1, never tested\n  set at " + dir
             + "/game/inn.dlg:3: page \"Inn\", option 1: TakeGold(5); HasLamp=1\n4 names in 4 files: 2 set but never tested, 1 tested but never set\n",
         unreadable},
        {{"uses"}, 2, "", usesUsage},
        {{"uses", "--format", "xml", inn}, 2, "", usesUsage},
    };
    for (const auto &c : cases) {
        const Result result = RunDlgtool({c.args, c.in});
        std::string line;
        for (const std::string &arg : c.args)
            line += " " + arg;
        EXPECT_EQ(result.status, c.status) << line;
        EXPECT_EQ(result.out, c.out) << line;
        EXPECT_EQ(result.err, c.err) << line;
    }
    EXPECT_EQ(Contents(dir), before);
}

} // namespace
