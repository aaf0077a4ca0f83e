// A game's folder of conversations: the index of its files, find in every
// file, the conditions-and-results table, and the replace in files with its
// undo.
#include "TestFiles.h"
#include "FullDisk.h"
#include "edits/TextSearch.h"
#include "regex/RegularExpression.h"
#include "LockHolder.h"
#include "folder/FolderIndex.h"
#include "folder/FolderReplace.h"
#include "folder/FolderSearch.h"
#include "folder/ReplaceUndo.h"
#include "folder/UsesTable.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/Linter.h"
#include "storage/RecoveryFolder.h"
#include "storage/RecoveryRecord.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kLamp = "// [LABEL] Inn\n{1}{The lamp is lit.}{The lamp is lit.}{}{}{}{}\n{2}{Buy a lamp}{}{1}{Gold >= 5}{21}{HasLamp=1}\n"
                          "// [LABEL] Cellar\n{21}{Dark.}{Dark.}{}{}{}{}\n{22}{Light it}{}{1}{HasLamp}{}{}\n";

// What the index holds, one file a line: name, pages, errors, warnings or why not.
std::string Listed(const FolderIndex &index, const std::string &dir)
{
    std::string listed;
    for (const FolderFile &file : index.Files()) {
        listed += file.path.substr(dir.size() + 1) + " ";
        listed += file.error.empty() ? std::to_string(file.pages) + " " + std::to_string(file.errors) + " " + std::to_string(file.warnings)
                                     : file.error;
        listed += "\n";
    }
    return listed;
}

// The index lists every .dlg file below the folder, with its pages and the
// counts of the checks' errors and warnings, or why it cannot be read; it
// passes by links to folders and names that are no files, saying why; and
// one file read again takes its new counts, appears or goes.
TEST(FolderIndex, ListsEachFileWithItsCountsAndRefreshesOne)
{
    TestFiles files;
    const std::string dir = files.Dir();
    fs::create_directories(dir + "/sub/deeper");
    files.Write("inn.dlg", kLamp);
    files.Write("sub/jump.DLG", "{1}{Hi}{Hi}{}{}{}{}\n{2}{Go}{}{1}{}{99}{}\n");         // a jump to no page
    files.Write("sub/deeper/cr.dlg", "{1}{Hi}{Hi}{}{}{}{}\r{2}{Go}{}{1}{}{}{}\r");     // lone CRs: an error
    files.Write("notes.dlg", "Notes for the writer\n");
    files.Write("readme.txt", kLamp);
    fs::create_symlink("..", dir + "/sub/up");
    fs::create_symlink("loop.dlg", dir + "/loop.dlg");
    ASSERT_EQ(mkfifo((dir + "/pipe.dlg").c_str(), 0600), 0);

    FolderIndex index({dir});
    std::vector<std::string> ready;
    index.Fill([&ready](const FolderFile &file) { ready.push_back(file.path); });
    EXPECT_EQ(Listed(index, dir), "inn.dlg 2 0 0\nnotes.dlg it holds no dialog page, so it is not a dialog file\nsub/deeper/cr.dlg 1 1 0\nsub/jump.DLG 1 0 1\n");
    EXPECT_EQ(ready.size(), 4U) << "each file is handed over as it is read";
    // The counts are those of dlgtool check.
    for (const FolderFile &file : index.Files()) {
        int errors = 0;
        for (const Finding &finding : Linter::CheckFile(file.path))
            errors += finding.severity == Finding::Error;
        EXPECT_EQ(file.errors, file.error.empty() ? errors : 0) << file.path;
    }
    const std::map<std::string, std::string> skipped{
        {dir + "/loop.dlg", "Too many levels of symbolic links"},
        {dir + "/pipe.dlg", "it is not a regular file"},
        {dir + "/sub/up", "a symbolic link to a folder above it, which is not followed"},
    };
    EXPECT_EQ(index.Skipped(), skipped);
    EXPECT_TRUE(index.Unreadable().empty());

    files.Write("inn.dlg", "{1}{Hi}{Hi}{}{}{}{}\n");
    ASSERT_NE(index.Refresh(dir + "/inn.dlg"), nullptr);
    files.Write("sub/new.dlg", kLamp);
    ASSERT_NE(index.Refresh(dir + "/sub/new.dlg"), nullptr);
    fs::remove(dir + "/notes.dlg");
    EXPECT_EQ(index.Refresh(dir + "/notes.dlg"), nullptr);
    EXPECT_EQ(index.Refresh(dir + "/readme.txt"), nullptr) << "no dialog file";
    EXPECT_EQ(index.Refresh("/elsewhere/inn.dlg"), nullptr) << "outside the folder";
    EXPECT_EQ(Listed(index, dir), "inn.dlg 1 0 0\nsub/deeper/cr.dlg 1 1 0\nsub/jump.DLG 1 0 1\nsub/new.dlg 2 0 0\n");
    ASSERT_NE(index.Find(dir + "/sub/new.dlg"), nullptr);
    EXPECT_EQ(index.Find(dir + "/sub/new.dlg")->document->GetPage(1)->GetLabel(), "Cellar");
}

// A file another program writes while it is read is read again, and said
// so only when it keeps changing.
TEST(FolderFile, ReadsAFileThatChangesWhileReadAgain)
{
    TestFiles files;
    const std::string path = files.Write("inn.dlg", kLamp);
    for (const int changes : {0, 1, 2, 3, 5}) {
        int reads = 0;
        const FolderFile file = FolderFile::Read(path, true, [&](const std::string &at, DialogFile &document, std::string &error) {
            if (reads++ < changes)
                std::ofstream(at, std::ios::app) << "// more\n";
            return document.Read(at) || (error = document.GetErrorText(), false);
        });
        const bool given = changes >= 3;
        EXPECT_EQ(file.error, given ? "it changed while it was read, 3 times in a row" : "") << changes;
        EXPECT_EQ(file.document == nullptr, given) << changes;
        EXPECT_EQ(reads, std::min(changes + 1, 3)) << changes;
    }
}

// Generated files whose texts hold "lamp" in every case, beside letters
// beyond ASCII: every plain and regular-expression find in the folder finds
// each match that a plain byte search of the same texts finds, at the same
// places, and nothing else.
TEST(FolderSearch, MissesNoMatchOfAByteSearch)
{
    TestFiles files;
    std::mt19937 random(29);
    const char *const words[] = {"lamp", "Lamp", "LAMP", "lampion", "clamp", "\xe9t\xe9", "\x8a\x9a", "oil", "l", "amp", "\xc9", " ", " "};
    const auto text = [&](int length) {
        std::string out;
        for (int w = 0; w < length; ++w)
            out += words[random() % std::size(words)];
        return out;
    };
    for (int f = 0; f < 30; ++f) {
        std::string content;
        for (int p = 0; p < 6; ++p) {
            content += "// [LABEL] " + text(3) + "\n// [DESCRIPTION] " + text(4) + "\n// " + text(5) + "\n{" + std::to_string(p * 20 + 1) + "}{"
                + text(8) + "}{" + (p % 2 ? text(6) : "Same") + "}{}{}{}{" + text(2) + "}\n";
            for (int o = 0; o < 3; ++o)
                content += "{" + std::to_string(p * 20 + 2 + o) + "}{" + text(6) + "}{}{1}{" + text(3) + "}{}{" + text(3) + "}\n";
        }
        files.Write("f" + std::to_string(f) + ".dlg", content);
    }
    FolderIndex index({files.Dir()}, false);
    index.Fill();
    ASSERT_EQ(index.Files().size(), 30U);

    // The oracle: every occurrence of a needle, found byte by byte.
    const auto bytesFind = [&](bool matchCase) {
        std::map<std::string, TextSearch::Matches> found;
        const auto fold = [matchCase](char c) { return matchCase ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
        for (const FolderFile &file : index.Files()) {
            DocumentText::ForEach(*file.document, [&](const DocumentText::Place &place, std::string_view bytes) {
                TextSearch::Matches matches;
                for (size_t at = 0; at + 4 <= bytes.size(); ++at) {
                    if (fold(bytes[at]) == 'l' && fold(bytes[at + 1]) == 'a' && fold(bytes[at + 2]) == 'm' && fold(bytes[at + 3]) == 'p')
                        matches.emplace_back(at, 4), at += 3;
                }
                if (!matches.empty())
                    found[file.path + ":" + std::to_string(place.line->GetFileLine()) + " " + DocumentText::WhichText(place)] = matches;
            });
        }
        return found;
    };
    const auto folderFind = [&](std::string_view pattern, TextSearch::Options options) {
        std::map<std::string, TextSearch::Matches> found;
        for (const FolderSearch::FileHits &file : FolderSearch::Find(index.Files(), TextSearch(pattern, options, &RegularExpression::Engine()))) {
            for (const TextSearch::Hit &hit : file.hits)
                found[file.path + ":" + std::to_string(hit.place.line->GetFileLine()) + " " + DocumentText::WhichText(hit.place)] = hit.matches;
        }
        return found;
    };
    const auto sensitive = bytesFind(true);
    const auto insensitive = bytesFind(false);
    ASSERT_GT(sensitive.size(), 100U);
    ASSERT_GT(insensitive.size(), sensitive.size());
    EXPECT_EQ(folderFind("lamp", {.matchCase = true}), sensitive);
    EXPECT_EQ(folderFind("lamp", {}), insensitive);
    EXPECT_EQ(folderFind("LaMp", {}), insensitive);
    EXPECT_EQ(folderFind("l[a]m(p)", {.matchCase = true, .regularExpression = true}), sensitive);
    EXPECT_EQ(folderFind("l\\w{2}p", {.regularExpression = true}), insensitive);
}

// Names are runs of letters, digits and underscores, not only digits; a
// name is tested by conditions and set by results, in file and line order.
TEST(UsesTable, NamesWhereEachIsTestedAndSet)
{
    const std::pair<std::string, std::vector<std::string_view>> texts[] = {
        {"quest_lamp>=2", {"quest_lamp"}},
        {"12 + 3", {}},
        {"a1 1a _ __x 07", {"a1", "1a", "_", "__x"}},
        {"!Flag(CellarQuest) && Flag(CellarQuest)", {"Flag", "CellarQuest"}},
        {"caf\xe9_au_lait=1", {"caf\xe9_au_lait"}},
        {"x\xd7y", {"x", "y"}}, // the multiplication sign is no letter
        {"", {}},
    };
    for (const auto &[text, names] : texts)
        EXPECT_EQ(UsesTable::NamesIn(text), names) << text;

    TestFiles files;
    files.Write("a.dlg", kLamp);
    files.Write("b.dlg", "// [LABEL] Mill\n{1}{Hi}{Hi}{}{}{}{Lamp=0}\n{2}{Bye}{}{1}{HasLamp and Oil}{}{}\n");
    FolderIndex index({files.Dir()}, false);
    index.Fill();
    std::string table;
    for (const UsesTable::Name &name : UsesTable::Build(index.Files())) {
        table += name.name + (name.NeverTested() ? " (never tested)" : "") + (name.NeverSet() ? " (never set)" : "") + ":";
        for (const auto &[verb, uses] : {std::pair(" tested", &name.tested), std::pair(" set", &name.set)}) {
            for (const UsesTable::Use &use : *uses)
                table += std::string(verb) + " " + use.file.substr(files.Dir().size() + 1) + ":" + std::to_string(use.line) + " " + use.pageName + "/"
                    + std::to_string(use.option) + " " + use.text;
        }
        table += "\n";
    }
    EXPECT_EQ(table, "Gold (never set): tested a.dlg:3 Inn/0 Gold >= 5\n"
                     "HasLamp: tested a.dlg:6 Cellar/0 HasLamp tested b.dlg:3 Mill/0 HasLamp and Oil set a.dlg:3 Inn/0 HasLamp=1\n"
                     "Lamp (never tested): set b.dlg:2 Mill/-1 Lamp=0\n"
                     "Oil (never set): tested b.dlg:3 Mill/0 HasLamp and Oil\n"
                     "and (never set): tested b.dlg:3 Mill/0 HasLamp and Oil\n");
}

// The folder of a replace: files that change, one refused a text, one a
// save would drop lines of, one open with changes, one without a match.
struct ReplaceFolder {
    TestFiles files;
    std::string dir = files.Dir();
    std::string a = files.Write("a.dlg", kLamp);
    std::string dropping = files.Write("drop.dlg", "// [LABEL] D\n{1}{A lamp}{A lamp}{}{}{}{}\nTODO\n");
    // A page whose only speech would become empty: it would read back as an option.
    std::string emptied = files.Write("emptied.dlg", "// [LABEL] E\n{1}{lamp}{lamp}{}{}{}{}\n{2}{lamp oil}{}{1}{}{}{}\n");
    std::string none = files.Write("none.dlg", "// [LABEL] N\n{1}{Dark}{Dark}{}{}{}{}\n");
    std::string open = files.Write("open.dlg", "// [LABEL] O\n{1}{A lamp}{A lamp}{}{}{}{}\n");
    std::string b = files.Path("sub/b.dlg");
    std::vector<std::string> paths{a, dropping, emptied, none, open, b};
    std::map<std::string, std::string> before;

    ReplaceFolder()
    {
        fs::create_directories(dir + "/sub");
        files.Write("sub/b.dlg", "// [LABEL] B\n{1}{A lamp}{A lamp}{}{}{}{}\n");
        for (const std::string &path : paths)
            before[path] = TestFiles::ReadBytes(path);
    }
};

std::string Summary(const FolderReplace::Plan &plan, const std::string &dir)
{
    std::string summary;
    for (const FolderReplace::FilePlan &file : plan.files) {
        summary += file.path.substr(dir.size() + 1) + ": " + (file.leftOut.empty() ? std::to_string(file.changes) : file.leftOut);
        for (const FolderReplace::Refused &refused : file.refused)
            summary += "; " + refused.page + " " + refused.which + " (line " + std::to_string(refused.line) + ")";
        summary += "\n";
    }
    return summary;
}

// The plan writes nothing and says what would change and what would not;
// the replace writes only what the plan showed, never a file changed since;
// the undo puts every file back byte for byte, but for one changed since,
// which it names; after it, nothing is left to undo.
TEST(FolderReplace, PlansReplacesAndUndoesByteForByte)
{
    ReplaceFolder folder;
    const ReplaceUndo undo(folder.dir + "/recovery/replaced");
    const std::set<std::string> open{RecoveryFolder::Absolute(folder.open)};
    const TextSearch lamp("lamp", {});
    FolderReplace::Plan plan = FolderReplace::Prepare(folder.paths, lamp, "", open);
    EXPECT_EQ(Summary(plan, folder.dir),
              "a.dlg: 4\n"
              "drop.dlg: saving it would drop what the editor could not read in it: line 3: not a dialog line or a comment\n"
              "emptied.dlg: 1; E page speech (line 2)\n"
              "open.dlg: it is open with unsaved changes in a Talkwright window\n"
              "sub/b.dlg: 1\n");
    EXPECT_EQ(plan.Changes(), 6U);
    EXPECT_EQ(plan.FilesToWrite(), 3U);
    for (const auto &[path, bytes] : folder.before)
        EXPECT_EQ(TestFiles::ReadBytes(path), bytes) << "the plan wrote " << path;

    plan = FolderReplace::Prepare(folder.paths, lamp, "torch", open);
    ASSERT_EQ(plan.FilesToWrite(), 3U);
    const std::string changedSince = TestFiles::Crlf("// [LABEL] B\n{1}{Another lamp}{Another lamp}{}{}{}{}\n");
    folder.files.Write("sub/b.dlg", changedSince);
    FilesWritten done = FolderReplace::Apply(plan, undo, FileOps::Default());
    EXPECT_EQ(done.written, (std::vector<std::string>{folder.a, folder.emptied}));
    ASSERT_EQ(done.notWritten.size(), 1U);
    EXPECT_EQ(done.notWritten[0], std::pair(folder.b, std::string("it has been changed by another program, so it is left as it is")));
    EXPECT_EQ(TestFiles::ReadBytes(folder.b), changedSince);
    EXPECT_EQ(TestFiles::ReadBytes(folder.a), plan.files[0].after);
    EXPECT_NE(plan.files[0].after.find("Buy a torch"), std::string::npos);
    EXPECT_EQ(undo.Files(), (std::vector<std::string>{RecoveryFolder::Absolute(folder.a), RecoveryFolder::Absolute(folder.emptied)}));

    // The undo; emptied.dlg has been edited since, so it stays.
    folder.files.Write("emptied.dlg", "edited");
    done = undo.Undo(FileOps::Default());
    EXPECT_EQ(done.written, std::vector<std::string>{RecoveryFolder::Absolute(folder.a)});
    ASSERT_EQ(done.notWritten.size(), 1U);
    EXPECT_EQ(done.notWritten[0].first, RecoveryFolder::Absolute(folder.emptied));
    EXPECT_EQ(TestFiles::ReadBytes(folder.a), folder.before[folder.a]);
    EXPECT_EQ(TestFiles::ReadBytes(folder.emptied), "edited");
    EXPECT_TRUE(undo.Files().empty());
    EXPECT_TRUE(undo.Undo(FileOps::Default()).written.empty());
}

// The next replace drops the copies of the one before; a replace whose old
// bytes cannot be kept writes nothing; an undo that cannot write keeps its
// copy to try again.
TEST(FolderReplace, WritesNothingItCannotUndo)
{
    ReplaceFolder folder;
    const ReplaceUndo undo(folder.dir + "/recovery/replaced");
    const TextSearch lamp("lamp", {});
    ASSERT_EQ(FolderReplace::Apply(FolderReplace::Prepare({folder.a}, lamp, "torch", {}), undo, FileOps::Default()).written.size(), 1U);
    const std::string replaced = TestFiles::ReadBytes(folder.a);
    ASSERT_EQ(FolderReplace::Apply(FolderReplace::Prepare({folder.b}, lamp, "torch", {}), undo, FileOps::Default()).written.size(), 1U);
    EXPECT_EQ(undo.Files(), std::vector<std::string>{RecoveryFolder::Absolute(folder.b)});

    FullDisk full;
    const FilesWritten refused = FolderReplace::Apply(FolderReplace::Prepare({folder.a}, TextSearch("torch", {}, &RegularExpression::Engine()), "oil", {}), undo, full);
    EXPECT_EQ(refused.error, "the old files could not be kept for the undo: No space left on device");
    EXPECT_TRUE(refused.written.empty());
    EXPECT_EQ(TestFiles::ReadBytes(folder.a), replaced);
    EXPECT_EQ(undo.Files(), std::vector<std::string>{RecoveryFolder::Absolute(folder.b)}) << "the replace before can still be undone";

    ASSERT_EQ(FolderReplace::Apply(FolderReplace::Prepare({folder.b}, TextSearch("torch", {}, &RegularExpression::Engine()), "oil", {}), undo, FileOps::Default()).written.size(), 1U);
    const FilesWritten stuck = undo.Undo(full);
    ASSERT_EQ(stuck.notWritten.size(), 1U);
    EXPECT_EQ(stuck.notWritten[0].second, "cannot write it: No space left on device");
    EXPECT_EQ(undo.Files().size(), 1U);
    EXPECT_EQ(undo.Undo(FileOps::Default()).written.size(), 1U);
    EXPECT_EQ(TestFiles::ReadBytes(folder.b), TestFiles::Crlf("// [LABEL] B\n{1}{A torch}{A torch}{}{1}{}{}\n\n"));
}

// A file open with unsaved changes in another window is known by its
// recovery file, which a live process keeps; one that no process keeps is not.
TEST(FolderReplace, KnowsFilesOpenWithChangesElsewhere)
{
    TestFiles files;
    const RecoveryFolder recovery(files.Path("recovery"));
    fs::create_directories(recovery.GetPath());
    for (const char *slot : {"kept", "mine", "left"}) {
        RecoveryRecord record;
        record.path = "/game/" + std::string(slot) + ".dlg";
        std::string error;
        ASSERT_TRUE(recovery.Write(slot, record, FileOps::Default(), error)) << error;
    }
    // Another window holds "kept"; this one "mine"; "left" a window that ended.
    const LockHolder other(recovery.LockPath("kept"));
    ASSERT_EQ(recovery.TakeLock("mine"), 0);
    files.Write("recovery/left.lock", "999999\n");
    EXPECT_EQ(FolderReplace::OpenElsewhere(recovery), std::set<std::string>{"/game/kept.dlg"});
    recovery.ReleaseLock("mine");
}

} // namespace
