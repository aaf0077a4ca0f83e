#include "cli/PoCommand.h"

#include "cli/FileArguments.h"
#include "model/DialogFile.h"
#include "po/PoFile.h"
#include "storage/DialogFiles.h"
#include "storage/FileName.h"
#include "translation/Translation.h"
#include "translation/TranslationTemplate.h"

#include <algorithm>
#include <cstdint>
#include <unistd.h>

namespace {

// One line of a report on a PO file, placed as compilers place theirs.
struct Finding {
    int line;
    std::string text; // "error: ...", "warning: ..."
};

std::string Place(const std::string &po, size_t line, size_t column = 0)
{
    std::string place = FileName::Printable(po);
    if (line > 0)
        place += ":" + std::to_string(line);
    if (column > 0)
        place += ":" + std::to_string(column);
    return place;
}

std::string Quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

// "2 untranslated entries", "1 fuzzy entry".
std::string Count(size_t n, const char *what, const char *one, const char *many)
{
    return std::to_string(n) + what + (n == 1 ? one : many);
}

} // namespace

int PoCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    const std::string action = args.empty() ? "" : args.front();
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    FileArguments parsed;
    if (action == "extract" && FileArguments::Parse(rest, {}, 1, SIZE_MAX, parsed))
        return Extract(parsed.inputs, parsed.output, out, err);
    if (action == "apply" && FileArguments::Parse(rest, {}, 2, 2, parsed))
        return Apply(parsed.inputs[0], parsed.inputs[1], parsed.output, out, err);
    if (action == "check" && FileArguments::Parse(rest, {}, 2, 2, parsed) && std::find(rest.begin(), rest.end(), "-o") == rest.end())
        return Check(parsed.inputs[0], parsed.inputs[1], out, err);
    return ReportUsage(err);
}

int PoCommand::Extract(const std::vector<std::string> &files, const std::string &output, std::FILE *out, std::FILE *err) const
{
    TranslationTemplate pot;
    for (const std::string &input : files) {
        DialogFile file;
        std::string error;
        if (!DialogFiles::Read(input, file, error))
            return ReportFailure(err, "read", input, error);
        pot.Add(file, input);
    }
    std::string text;
    std::string error;
    if (!PoFile::Write(pot.GetEntries(), text, error))
        return ReportFailure(err, "write", output == "-" ? "standard output" : output, error);
    return WriteOutput(text, output, out, err);
}

namespace {

// The translations that the file cannot carry, as errors.
std::vector<Finding> Refusals(const Translation &translation, const std::vector<TranslationEntry> &entries)
{
    std::vector<Finding> findings;
    for (const Translation::Refusal &refusal : translation.GetRefusals()) {
        const TranslationEntry &entry = entries[refusal.entry];
        findings.push_back({entry.poLine, "error: cannot store the translation of " + Quoted(entry.source) + ": " + refusal.reason});
    }
    return findings;
}

void Print(std::FILE *to, const std::string &po, const std::vector<Finding> &findings)
{
    for (const Finding &finding : findings)
        std::fprintf(to, "%s: %s\n", Place(po, static_cast<size_t>(std::max(finding.line, 0))).c_str(), finding.text.c_str());
}

} // namespace

bool PoCommand::ReadBoth(const std::string &input, const std::string &po, DialogFile &file, std::vector<TranslationEntry> &entries, std::FILE *err)
{
    std::string error;
    std::string bytes;
    if (!DialogFiles::Read(input, file, error))
        return ReportFailure(err, "read", input, error) == Success;
    const bool read = po == "-" ? DialogFile::ReadStreamBytes(STDIN_FILENO, bytes, error) : DialogFile::ReadFileBytes(po, bytes, error);
    if (!read)
        return ReportFailure(err, "read", po, error) == Success;
    PoFile::Problem problem;
    if (!PoFile::Read(bytes, entries, problem)) {
        std::fprintf(err, "%s: error: %s\n", Place(po, problem.line, problem.column).c_str(), problem.message.c_str());
        return false;
    }
    return true;
}

int PoCommand::Apply(const std::string &input, const std::string &po, const std::string &output, std::FILE *out, std::FILE *err) const
{
    DialogFile file;
    std::vector<TranslationEntry> entries;
    if (!ReadBoth(input, po, file, entries, err))
        return Failure;
    Translation translation(file, input, entries);
    if (!translation.Apply()) {
        Print(err, po, Refusals(translation, entries));
        return Failure;
    }
    std::vector<std::string> kept;
    if (const size_t n = translation.GetUntranslatedCount())
        kept.push_back(Count(n, " untranslated entr", "y", "ies"));
    if (const size_t n = translation.GetFuzzyCount())
        kept.push_back(Count(n, " fuzzy entr", "y", "ies"));
    if (const size_t n = translation.GetUnlistedCount())
        kept.push_back(Count(n, " text", "", "s") + " without an entry");
    if (!kept.empty()) {
        std::string list;
        for (size_t i = 0; i < kept.size(); ++i)
            list += (i == 0 ? "" : i + 1 == kept.size() ? " and " : ", ") + kept[i];
        std::fprintf(err, "dlgtool: %s: the source text stays for %s\n", FileName::Printable(po).c_str(), list.c_str());
    }
    return SaveDocument(file, input, output, out, err);
}

int PoCommand::Check(const std::string &input, const std::string &po, std::FILE *out, std::FILE *err) const
{
    DialogFile file;
    std::vector<TranslationEntry> entries;
    if (!ReadBoth(input, po, file, entries, err))
        return Failure;
    const Translation translation(file, input, entries);
    const std::string name = FileName::Printable(input);
    std::vector<Finding> findings = Refusals(translation, entries);
    for (const size_t gone : translation.GetGone()) {
        const TranslationEntry &entry = entries[gone];
        findings.push_back({entry.poLine, "warning: " + Quoted(entry.source) + " (" + entry.context + ") no longer stands in " + name});
    }
    for (const Translation::Overlong &overlong : translation.GetOverlong()) {
        char times[32];
        std::snprintf(times, sizeof times, "%.1f", overlong.times);
        findings.push_back({entries[overlong.entry].poLine, "warning: the translation of " + Quoted(entries[overlong.entry].source) + " is " + times
                                                                + " times as long: the game's window may cut it"});
    }
    std::stable_sort(findings.begin(), findings.end(), [](const Finding &a, const Finding &b) { return a.line < b.line; });
    Print(out, po, findings);
    std::fprintf(out, "%s: %s: %zu translated, %zu untranslated, %zu fuzzy; %zu no longer in %s; %s of %s without an entry\n",
                 FileName::Printable(po).c_str(), Count(translation.GetEntryCount(), " entr", "y", "ies").c_str(), translation.GetTranslatedCount(),
                 translation.GetUntranslatedCount(), translation.GetFuzzyCount(), translation.GetGone().size(), name.c_str(),
                 Count(translation.GetUnlistedCount(), " text", "", "s").c_str(), name.c_str());
    return FinishOutput(out, err, translation.GetRefusals().empty() ? Success : Failure);
}
