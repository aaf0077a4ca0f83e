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

#include <algorithm>
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

// Prints each misspelt word as it comes, as a line of text or a JSON
// object, then the summary.
class Report {
public:
    Report(std::FILE *out, bool json)
        : m_out(out)
        , m_json(json)
    {
        m_writer.BeginObject();
        m_writer.Key("findings");
        m_writer.BeginArray();
    }

    void Add(const std::string &file, const SpellingCheck::Finding &finding, const std::vector<std::string> &suggestions)
    {
        ++m_misspelt;
        if (!m_json) {
            std::string text = FileName::Printable(file) + ":" + std::to_string(finding.line) + ": spelling: \"" + Windows1252::ToUtf8(finding.word) + "\" ";
            for (size_t s = 0; s < suggestions.size(); ++s)
                text += (s == 0 ? "(suggestions: " : ", ") + Windows1252::ToUtf8(suggestions[s]);
            text += suggestions.empty() ? "(no suggestions)\n" : ")\n";
            std::fputs(text.c_str(), m_out);
            return;
        }
        m_writer.BeginObject();
        m_writer.Key("file");
        m_writer.NativeString(file);
        m_writer.Key("line");
        m_writer.Int(finding.line);
        m_writer.Key("text");
        m_writer.String(TextName(finding.text));
        m_writer.Key("word");
        m_writer.String(finding.word);
        m_writer.Key("suggestions");
        m_writer.BeginArray();
        for (const std::string &suggestion : suggestions)
            m_writer.String(suggestion);
        m_writer.EndArray();
        m_writer.EndObject();
        m_writer.Flush([&](std::string_view text) { std::fwrite(text.data(), 1, text.size(), m_out); });
    }

    // The summary; how many words were misspelt.
    size_t Finish(size_t files)
    {
        if (!m_json) {
            std::fprintf(m_out, "%zu file%s checked: %zu misspelt word%s\n", files, files == 1 ? "" : "s", m_misspelt, m_misspelt == 1 ? "" : "s");
            return m_misspelt;
        }
        m_writer.EndArray();
        m_writer.Key("files");
        m_writer.Int(static_cast<long long>(files));
        m_writer.Key("misspelt");
        m_writer.Int(static_cast<long long>(m_misspelt));
        m_writer.EndObject();
        std::fprintf(m_out, "%s\n", m_writer.Text().c_str());
        return m_misspelt;
    }

private:
    std::FILE *m_out;
    bool m_json;
    JsonWriter m_writer;
    size_t m_misspelt = 0;
};

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
    Report report(out, parsed.json);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!errors[i].empty())
            status = ReportFailure(err, "read", files[i], errors[i]);
        else if (!results[i].unreadable.empty())
            status = ReportFailure(err, "read", results[i].unreadable, results[i].reason);
        for (const SpellingCheck::Finding &finding : results[i].findings) {
            std::vector<std::string> suggestions = checker.Suggest(finding.word);
            suggestions.resize(std::min(suggestions.size(), kSuggestions));
            report.Add(files[i], finding, suggestions);
        }
    }
    if (report.Finish(files.size()) > 0)
        status = Failure;
    return FinishOutput(out, err, status);
}
