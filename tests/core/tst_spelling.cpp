// Spelling: the adapter over Hunspell with dictionaries each test writes
// itself (and the installed en_US one where it is there), what the core
// reads in a document and how it splits words, and the word lists.
#include "TestFiles.h"
#include "model/DialogFile.h"
#include "spelling/HunspellDictionary.h"
#include "words/KnownWords.h"
#include "words/SpellChecker.h"
#include "words/SpellingCheck.h"
#include "words/TextWords.h"
#include "words/WordList.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A small dictionary in UTF-8: an affix rule for plurals, and letters that
// Windows-1252 has (é, ß, Œ).
const char kAff[] = "SET UTF-8\nTRY esianrtolcdugmfphbyvkwSTŁ\nSFX S Y 1\nSFX S 0 s .\n";
const char kDic[] = "14\nthe\nroad\nis\nlong\ninn/S\nand\nto\ncafé\nStraße\nŒuvre\ndon't\nwelcome\ntell\nme\n";

std::unique_ptr<SpellChecker> Checker(const TestFiles &files, const std::string &aff = kAff, const std::string &dic = kDic)
{
    std::string error;
    auto dictionary = HunspellDictionary::Open(files.Write("t.aff", aff), files.Write("t.dic", dic), error);
    EXPECT_TRUE(dictionary) << error;
    return dictionary ? std::make_unique<SpellChecker>(std::move(dictionary)) : nullptr;
}

// The misspelt words of text, each followed by a space.
std::string MisspeltWords(const SpellChecker &checker, std::string_view text, const KnownWords &known = {})
{
    std::string words;
    for (const TextWords::Range &word : checker.Misspelt(text, known))
        words.append(text.substr(word.begin, word.end - word.begin)).append(" ");
    return words;
}

std::string Joined(const std::vector<std::string> &words)
{
    std::string joined;
    for (const std::string &word : words)
        joined += word + " ";
    return joined;
}

} // namespace

void PrintTo(const SpellingCheck::Finding &f, std::ostream *os)
{
    *os << "{page " << f.page << ", option " << f.option << ", text " << static_cast<int>(f.text) << ", line " << f.line << ", bytes "
        << f.begin << "-" << f.end << ", \"" << f.word << "\"}";
}

// Words as spelling splits them: a fault here underlines half a word, a
// name with a number, or misses an accented letter.
TEST(TextWords, SplitsTextsIntoWords)
{
    const struct {
        const char *text;
        std::vector<TextWords::Range> words;
    } cases[] = {
        {"", {}},
        {"The road.", {{0, 3}, {4, 8}}},
        {"don't 'quoted' dogs'", {{0, 5}, {7, 13}, {15, 19}}},
        {"o\x92" "clock", {{0, 7}}},                  // ’ inside a word
        {"well-known", {{0, 4}, {5, 10}}},
        {"Page12 3rd 40 x", {{14, 15}}},              // a run with digits is no word
        {"caf\xe9, Stra\xdf" "e \x8cuvre", {{0, 4}, {6, 12}, {13, 18}}},
        {"2\xd7" "3 \x80" "5", {}},                    // × and € part words
    };
    for (const auto &c : cases)
        EXPECT_EQ(TextWords::Split(c.text), c.words) << c.text;
}

// Known and unknown words through the dictionary: forms its rules allow,
// capitals at a sentence's start, and letters of Windows-1252 that must
// reach the dictionary as themselves (a Latin-1 reading would turn Œ into a
// control character).
TEST(Spelling, FindsTheWordsNoDictionaryKnows)
{
    TestFiles files;
    const auto checker = Checker(files);
    ASSERT_TRUE(checker);
    const struct {
        const char *text;
        const char *misspelt;
    } cases[] = {
        {"The road is long.", ""},
        {"Teh raod is lnog.", "Teh raod lnog "},
        {"Inns, INNS and inn", ""},
        {"caf\xe9 Stra\xdf" "e \x8cuvre", ""},
        {"cafe Strasse", "cafe Strasse "},
        {"don't dont", "dont "},
        {"Page12 welcome, 3rd", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MisspeltWords(*checker, c.text), c.misspelt) << c.text;
}

// Suggestions come back as dialog-file bytes, from a UTF-8 dictionary and
// from one in ISO 8859-1; a word Windows-1252 cannot hold is never offered.
TEST(Spelling, SuggestsInTheFilesEncoding)
{
    TestFiles files;
    const auto utf8 = Checker(files);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(Joined(utf8->Suggest("Strase")), "Stra\xdf" "e ");
    const auto polish = Checker(files, kAff, "1\nŁódź\n");
    ASSERT_TRUE(polish);
    EXPECT_EQ(Joined(polish->Suggest("L\xf3" "dz")), "") << "Ł is not in Windows-1252";
    const auto latin1 = Checker(files, "SET ISO8859-1\nTRY esianrtolcdugmfphbyvkw\n", "2\ncaf\xe9\nna\xefve\n");
    ASSERT_TRUE(latin1);
    EXPECT_EQ(MisspeltWords(*latin1, "caf\xe9 na\xefve cafe"), "cafe ");
    EXPECT_EQ(Joined(latin1->Suggest("cafe")), "caf\xe9 ");
}

// What cannot be a dictionary says why, naming the package that provides
// a language: a silent empty dictionary would call every word misspelt.
TEST(Spelling, NamesWhatIsMissing)
{
    TestFiles files;
    std::string error;
    EXPECT_FALSE(HunspellDictionary::Load("xx_YY", {files.Dir()}, error));
    EXPECT_EQ(error, "no dictionary for xx_YY (the Debian package hunspell-xx-yy provides it)");
    files.Write("en_ZZ.aff", kAff);
    files.Write("en_ZZ.dic", "");
    EXPECT_FALSE(HunspellDictionary::Load("en_ZZ", {files.Dir()}, error));
    EXPECT_EQ(error, "cannot read " + files.Path("en_ZZ.dic") + ": the file is empty");
    files.Write("en_ZZ.dic", kDic);
    EXPECT_TRUE(HunspellDictionary::Load("en_ZZ", {files.Path("none"), files.Dir()}, error)) << error;
    EXPECT_FALSE(HunspellDictionary::Load("../en_ZZ", {files.Dir() + "/x"}, error));
    EXPECT_EQ(error, "\"../en_ZZ\" is not the name of a language");
}

// The languages a user may choose: those with both files, each once
// however many folders hold it. A fault here offers a language that then
// cannot load, or hides one that is there.
TEST(Spelling, ListsTheLanguagesInstalled)
{
    TestFiles files;
    std::filesystem::create_directories(files.Path("a"));
    std::filesystem::create_directories(files.Path("b"));
    for (const char *name : {"a/en_US.aff", "a/en_US.dic", "a/de_DE.aff", "a/de_DE.dic", "a/fr_FR.aff", "a/notes.txt", "b/en_US.aff",
                             "b/en_US.dic", "b/nl.aff", "b/nl.dic", "b/bad name.aff", "b/bad name.dic"})
        files.Write(name, kAff);
    EXPECT_EQ(HunspellDictionary::Languages({files.Path("a"), files.Path("missing"), files.Path("b")}),
              (std::vector<std::string>{"de_DE", "en_US", "nl"}));
    EXPECT_EQ(HunspellDictionary::Languages({}), std::vector<std::string>());
}

// Learning a word ("Ignore", a personal list) makes it right and a
// suggestion at once, even where the dictionary was asked before.
TEST(Spelling, LearntWordsCountFromThenOn)
{
    TestFiles files;
    const auto checker = Checker(files);
    ASSERT_TRUE(checker);
    EXPECT_EQ(MisspeltWords(*checker, "Quorvel"), "Quorvel ");
    EXPECT_EQ(Joined(checker->Suggest("Quorvell")), "");
    checker->Learn("Quorvel");
    EXPECT_EQ(MisspeltWords(*checker, "Quorvel QUORVEL"), "");
    EXPECT_EQ(Joined(checker->Suggest("Quorvell")), "Quorvel ");
}

// A word too long to be one gets no suggestions, which would take the
// dictionary a long search each.
TEST(Spelling, SuggestsNothingForOverlongWords)
{
    TestFiles files;
    const auto checker = Checker(files);
    ASSERT_TRUE(checker);
    for (const size_t length : {SpellChecker::kLongestSuggested, SpellChecker::kLongestSuggested + 1}) {
        const std::string word(length, 'a');
        checker->Learn(word);
        EXPECT_EQ(Joined(checker->Suggest(word.substr(1) + "e")), length > SpellChecker::kLongestSuggested ? "" : word + " ") << length;
    }
}

// Words of a list and of page names, with the capitals a dictionary allows.
TEST(KnownWords, TakeCapitalsAsDictionariesDo)
{
    KnownWords known;
    known.Add("Quorvel");
    known.Add("grog");
    known.AddWordsOf("Old Mill 2");
    const struct {
        const char *word;
        bool known;
    } cases[] = {
        {"Quorvel", true}, {"QUORVEL", true}, {"quorvel", false}, {"grog", true}, {"Grog", true},
        {"GROG", true},    {"gRog", false},   {"Mill", true},     {"mill", false}, {"2", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(known.Has(c.word), c.known) << c.word;
}

// Which texts of a document are read: speech the game shows, not codes,
// conditions, results, names or descriptions; options for PCs below an
// intelligence only when asked; page names are known words.
TEST(Spelling, ReadsTheSpeechTheGameShows)
{
    TestFiles files;
    const auto checker = Checker(files);
    ASSERT_TRUE(checker);
    DialogFile file;
    ASSERT_TRUE(file.ReadText("// [LABEL] Gaate\n"
                              "// [DESCRIPTION] a mispelt description\n"
                              "{1}{welcome to Gaate, travlr}{welcome, lady}{}{}{}{}\n"
                              "{2}{me wantz inn}{}{-4}{}{}{}\n"
                              "{3}{R:50,mispelt}{}{1}{}{}{}\n"
                              "{4}{tell me}{}{1}{Gold > mispelt}{}{Set(mispelt)}\n"
                              "{5}{tell me lng}{}{+4}{}{}{}\n"
                              "// [LABEL] Quiet\n"
                              "{21}{the road}{the road}{}{}{}{}\n"
                              "{22}{E:}{}{1}{}{}{}\n"));
    KnownWords known;
    known.AddPageNames(file);
    using Text = SpellingCheck::Text;
    const std::vector<SpellingCheck::Finding> shown = {
        {0, -1, Text::NpcSpeech, 3, 18, 24, "travlr"},
        {0, -1, Text::FemaleNpcSpeech, 3, 9, 13, "lady"},
        {0, 3, Text::OptionSpeech, 7, 8, 11, "lng"},
    };
    EXPECT_EQ(SpellingCheck::CheckDocument(file, *checker, known, {}), shown);
    std::vector<SpellingCheck::Finding> all = shown;
    all.insert(all.begin() + 2, {0, 0, Text::OptionSpeech, 4, 3, 8, "wantz"});
    EXPECT_EQ(SpellingCheck::CheckDocument(file, *checker, known, {true}), all);
}

// The intelligence checks whose options are skipped unless asked for: an
// option dialog asks this of the check being typed.
TEST(Spelling, SkipsOnlyOptionsForPCsBelowAnIntelligence)
{
    const struct {
        const char *check;
        bool read;
    } cases[] = {{"-4", false}, {"-", false}, {"-1", false}, {"1", true}, {"", true}, {"+4", true}, {"12", true}, {"x", true}};
    for (const auto &c : cases) {
        EXPECT_EQ(SpellingCheck::ReadsOptionChecking(c.check, {}), c.read) << c.check;
        EXPECT_TRUE(SpellingCheck::ReadsOptionChecking(c.check, {true})) << c.check;
    }
}

// The project lists of a file: beside it and above, up to the folder that
// holds .git or is home, never beyond; additions go to the nearest.
TEST(WordList, FoundUpTheFolders)
{
    TestFiles files;
    const std::string root = files.Path("game");
    std::filesystem::create_directories(root + "/.git");
    std::filesystem::create_directories(root + "/act/one");
    std::filesystem::create_directories(files.Path("home/notes"));
    const std::string outside = files.Write(WordList::kFileName, "Outside\n");
    const std::string project = files.Write(std::string("game/") + WordList::kFileName, "Quorvel\n");
    const std::string act = files.Write(std::string("game/act/") + WordList::kFileName, "Marta\n");
    const std::string home = files.Write(std::string("home/") + WordList::kFileName, "Mine\n");
    const std::string dialog = root + "/act/one/x.dlg";
    const std::string noHome = files.Path("elsewhere");

    EXPECT_EQ(WordList::ProjectLists(dialog, noHome), (std::vector<std::string>{act, project}));
    EXPECT_EQ(WordList::ProjectLists(files.Path("home/notes/y.dlg"), files.Path("home") + "/"), (std::vector<std::string>{home}));
    EXPECT_EQ(WordList::ProjectLists(root + "/z.dlg", noHome), (std::vector<std::string>{project}));
    EXPECT_EQ(WordList::ProjectLists("", noHome), (std::vector<std::string>{}));
    EXPECT_EQ(WordList::NearestList(dialog, noHome, noHome), act);
    EXPECT_EQ(WordList::NearestList(files.Path("home/notes/y.dlg"), files.Path("home/notes"), noHome),
              files.Path("home/notes/") + WordList::kFileName);
    EXPECT_EQ(WordList::NearestList("", noHome, files.Path("data")), files.Path("data/") + WordList::kFileName) << "untitled";
    EXPECT_EQ(WordList::ListsFor(dialog, noHome, files.Path("home")), (std::vector<std::string>{home, act, project}));
    (void)outside;
}

// Reading a list: blanks, a byte-order mark, CR LF, words Windows-1252
// lacks or that are not UTF-8; adding writes UTF-8, once, on a line of its own.
TEST(WordList, ReadsAndAddsWords)
{
    TestFiles files;
    const std::string list = files.Write("w.txt", "\xEF\xBB\xBF" "Quorvel\r\n  Marta \n\n\xC5\x81" "\xC3\xB3" "d\xC5\xBA\nbad\xE9\ncaf\xC3\xA9");
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(WordList::Read(list, words, error)) << error;
    EXPECT_EQ(words, (std::vector<std::string>{"Quorvel", "Marta", "caf\xe9"}));

    ASSERT_TRUE(WordList::Add(list, "Stra\xdf" "e", error)) << error;
    ASSERT_TRUE(WordList::Add(list, "Marta", error)) << error;
    EXPECT_EQ(TestFiles::ReadBytes(list), "\xEF\xBB\xBF" "Quorvel\r\n  Marta \n\n\xC5\x81" "\xC3\xB3" "d\xC5\xBA\nbad\xE9\ncaf\xC3\xA9\nStra\xC3\x9F" "e\n");
    const std::string fresh = files.Path("new.txt");
    ASSERT_TRUE(WordList::Add(fresh, "Gaate", error)) << error;
    EXPECT_EQ(TestFiles::ReadBytes(fresh), "Gaate\n");
    EXPECT_FALSE(WordList::Add(fresh, "two\nlines", error));
    EXPECT_FALSE(WordList::Read(files.Path("missing.txt"), words, error));
    EXPECT_EQ(error, "No such file or directory");

    KnownWords known;
    ASSERT_TRUE(known.AddList(list, error));
    EXPECT_TRUE(known.Has("Stra\xdf" "e"));
}

// The installed en_US dictionary from hunspell-en-us, where it is there.
TEST(Spelling, InstalledEnglish)
{
    std::string error;
    auto dictionary = HunspellDictionary::Load("en_US", {"/usr/share/hunspell"}, error);
    if (!dictionary)
        GTEST_SKIP() << error;
    SpellChecker checker(std::move(dictionary));
    EXPECT_EQ(MisspeltWords(checker, "Welcome to the inn, traveler. Teh road is long. It\x92s a plan."), "Teh ");
    const std::vector<std::string> suggestions = checker.Suggest("Teh");
    EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "The"), suggestions.end()) << Joined(suggestions);
}
