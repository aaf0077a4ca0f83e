#include "cli/SpellCommand.h"

#include "cli/JsonWriter.h"
#include "model/DialogFile.h"
#include "model/Windows1252.h"
#include "spelling/HunspellDictionary.h"
#include "storage/DialogFiles.h"
#include "storage/FileName.h"
#include "words/KnownWords.h"
#include "words/SpellChecker.h"
#include "words/SpellingCheck.h"
#include "words/WordList.h"

#include <map>

namespace {

// Suggestions printed for a word, the dictionary's best.
constexpr size_t kSuggestions = 5;

struct Arguments {
    std::string language = "en_US";
    std::vector<std::string> wordLists;
    bool json = false;
    std::vector<std::string> paths;

    bool Parse(const std::vector<std::string> &args)
    {
        bool haveLanguage = false, haveFormat = false;
        for (size_t i = 0; i < args.size(); ++i) {
            const bool valued = i + 1 < args.size();
            if (args[i] == "--lang" && valued && !haveLanguage) {
                language = args[++i];
                haveLanguage = true;
            } else if (args[i] == "--words" && valued) {
                wordLists.push_back(args[++i]);
            } else if (args[i] == "--format" && valued && !haveFormat && (args[i + 1] == "text" || args[i + 1] == "json")) {
                json = args[++i] == "json";
                haveFormat = true;
            } else if (args[i].size() > 1 && args[i].front() == '-') {
                return false;
            } else {
                paths.push_back(args[i]);
            }
        }
        return !paths.empty();
    }
};

// What spelling found in one file, or why it could not look.
struct FileResult {
    std::vector<SpellingCheck::Finding> findings;
    std::string unreadable; // the list that could not be read
    std::string reason;
};

const char *TextName(SpellingCheck::Text text)
{
    switch (text) {
    case SpellingCheck::Text::NpcSpeech:
        return "npc speech";
    case SpellingCheck::Text::FemaleNpcSpeech:
        return "npc speech to female PCs";
    case SpellingCheck::Text::OptionSpeech:
        break;
    }
    return "option";
}

std::vector<std::string> FirstSuggestions(const SpellChecker &checker, const std::string &word)
{
    std::vector<std::string> suggestions = checker.Suggest(word);
    if (suggestions.size() > kSuggestions)
        suggestions.resize(kSuggestions);
    return suggestions;
}

} // namespace

int SpellCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    Arguments parsed;
    if (!parsed.Parse(args))
        return ReportUsage(err);
    std::string error;
    auto dictionary = HunspellDictionary::Load(parsed.language, HunspellDictionary::Folders(), error);
    if (!dictionary) {
        std::fprintf(err, "dlgtool: %s\n", error.c_str());
        return UsageError;
    }
    SpellChecker checker(std::move(dictionary));

    // The lists that hold for every file: the user's own and those named.
    std::vector<std::string> lists = WordList::ListsFor({}, {}, WordList::DataFolder());
    lists.insert(lists.end(), parsed.wordLists.begin(), parsed.wordLists.end());
    KnownWords everywhere;
    for (const std::string &list : lists) {
        if (!everywhere.AddList(list, error))
            return ReportFailure(err, "read", list, error);
    }
    checker.LearnAll(everywhere);

    std::map<std::string, std::string> unreadable;
    const std::vector<std::string> files = DialogFiles::Collect(parsed.paths, unreadable);
    std::vector<FileResult> results(files.size());
    const std::string home = WordList::Home();
    const std::vector<std::string> errors = DialogFiles::ReadEach(files, [&](size_t i, DialogFile &file, std::string_view) {
        KnownWords known;
        for (const std::string &list : WordList::ProjectLists(files[i], home)) {
            if (!known.AddList(list, results[i].reason)) {
                results[i].unreadable = list;
                return;
            }
        }
        known.AddPageNames(file);
        results[i].findings = SpellingCheck::CheckDocument(file, checker, known, {});
    });

    int status = Success;
    for (const auto &[folder, reason] : unreadable)
        status = ReportFailure(err, "read", folder, reason);
    size_t misspelt = 0;
    JsonWriter json;
    json.BeginObject();
    json.Key("findings");
    json.BeginArray();
    for (size_t i = 0; i < files.size(); ++i) {
        if (!errors[i].empty() || !results[i].unreadable.empty()) {
            status = ReportFailure(err, "read", errors[i].empty() ? results[i].unreadable : files[i], errors[i].empty() ? results[i].reason : errors[i]);
            continue;
        }
        const std::string name = FileName::Printable(files[i]);
        for (const SpellingCheck::Finding &finding : results[i].findings) {
            ++misspelt;
            const std::vector<std::string> suggestions = FirstSuggestions(checker, finding.word);
            if (!parsed.json) {
                std::string text = name + ":" + std::to_string(finding.line) + ": spelling: \"" + Windows1252::ToUtf8(finding.word) + "\" ";
                for (size_t s = 0; s < suggestions.size(); ++s)
                    text += (s == 0 ? "(suggestions: " : ", ") + Windows1252::ToUtf8(suggestions[s]);
                text += suggestions.empty() ? "(no suggestions)\n" : ")\n";
                std::fputs(text.c_str(), out);
                continue;
            }
            json.BeginObject();
            json.Key("file");
            json.NativeString(files[i]);
            json.Key("line");
            json.Int(finding.line);
            json.Key("text");
            json.String(TextName(finding.text));
            json.Key("word");
            json.String(finding.word);
            json.Key("suggestions");
            json.BeginArray();
            for (const std::string &suggestion : suggestions)
                json.String(suggestion);
            json.EndArray();
            json.EndObject();
            json.Flush([&](std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); });
        }
    }
    json.EndArray();
    json.Key("files");
    json.Int(static_cast<long long>(files.size()));
    json.Key("misspelt");
    json.Int(static_cast<long long>(misspelt));
    json.EndObject();
    if (parsed.json)
        std::fprintf(out, "%s\n", json.Text().c_str());
    else
        std::fprintf(out, "%zu file%s checked: %zu misspelt word%s\n", files.size(), files.size() == 1 ? "" : "s", misspelt, misspelt == 1 ? "" : "s");
    if (misspelt > 0)
        status = Failure;
    return FinishOutput(out, err, status);
}
