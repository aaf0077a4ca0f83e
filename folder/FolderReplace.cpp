#include "folder/FolderReplace.h"

#include "edits/TextSearch.h"
#include "folder/GuardedSave.h"
#include "folder/ReplaceUndo.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"
#include "storage/DialogFiles.h"
#include "storage/RecoveryFolder.h"

#include <algorithm>
#include <new>
#include <optional>

namespace {

constexpr size_t kDroppedNamed = 3;

bool Writes(const FolderReplace::FilePlan &file)
{
    return file.leftOut.empty() && file.changes > 0;
}

FolderReplace::Refused Refusal(const DocumentText::Place &place, std::string reason)
{
    return {place.line->GetFileLine(), std::string(place.page->ViewLabel()), DocumentText::WhichText(place), std::move(reason)};
}

// Makes the changes in the document, a line at a time, but for those that
// would leave a page that does not read back as a page, which go to
// refused; returns how many were made.
size_t MakeChanges(const std::vector<TextSearch::Change> &changes, std::vector<FolderReplace::Refused> &refused)
{
    size_t made = 0;
    for (size_t i = 0; i < changes.size();) {
        DialogLine *line = changes[i].place.line;
        DialogLine::Content content = line->GetContent();
        for (; i < changes.size() && changes[i].place.line == line; ++i) {
            const TextSearch::Change &change = changes[i];
            DialogLine::Content trial = content;
            DocumentText::Set(trial, change.place, change.bytes);
            if (change.place.option < 0 && !TextRules::ReadsBackAsPage(trial.fields[2].GetText())) {
                refused.push_back(Refusal(change.place, "The page would not read back as a page: its speech to female PCs would be "
                                                        "empty or start with a digit."));
                continue;
            }
            content = std::move(trial);
            ++made;
        }
        line->SetContent(content);
    }
    return made;
}

// The plan for one file; nothing when it holds no match.
std::optional<FolderReplace::FilePlan> PlanFile(const std::string &path, const TextSearch &search, std::string_view replacement,
                                                const std::set<std::string> &open)
{
    FolderReplace::FilePlan plan;
    plan.path = path;
    DialogFile file;
    std::string error;
    try {
        if (DialogFile::ReadFileBytes(path, plan.before, error) && !file.ReadText(plan.before))
            error = file.GetErrorText();
    } catch (const std::bad_alloc &) {
        error = "not enough memory";
    }
    if (!error.empty()) {
        plan.leftOut = "cannot read it: " + error;
        return plan;
    }
    const TextSearch::Replacement replaced = search.ReplaceAll(file, replacement);
    if (replaced.changes.empty() && replaced.refused.empty())
        return std::nullopt;
    if (open.contains(RecoveryFolder::Absolute(path))) {
        plan.leftOut = "it is open with unsaved changes in a Talkwright window";
        return plan;
    }
    if (!replaced.changes.empty() && !file.GetDroppedLines().empty()) {
        std::string dropped = DroppedLine::List(file.GetDroppedLines(), kDroppedNamed);
        dropped.pop_back(); // one line, the entries joined by "; "
        for (size_t at = 0; (at = dropped.find('\n', at)) != std::string::npos;)
            dropped.replace(at, 1, "; ");
        plan.leftOut = "saving it would drop what the editor could not read in it: " + dropped;
        return plan;
    }
    for (const TextSearch::Refusal &refusal : replaced.refused)
        plan.refused.push_back(Refusal(refusal.place, refusal.reason));
    plan.changes = MakeChanges(replaced.changes, plan.refused);
    if (plan.changes > 0)
        plan.after = file.WriteText();
    return plan;
}

} // namespace

size_t FolderReplace::Plan::Changes() const
{
    size_t changes = 0;
    for (const FilePlan &file : files)
        changes += Writes(file) ? file.changes : 0;
    return changes;
}

size_t FolderReplace::Plan::FilesToWrite() const
{
    return static_cast<size_t>(std::count_if(files.begin(), files.end(), Writes));
}

FolderReplace::Plan FolderReplace::Prepare(const std::vector<std::string> &files, const TextSearch &search, std::string_view replacement,
                                           const std::set<std::string> &open)
{
    std::vector<std::optional<FilePlan>> planned(files.size());
    DialogFiles::ForEach(files.size(), [&](size_t i) { planned[i] = PlanFile(files[i], search, replacement, open); });
    Plan plan;
    for (std::optional<FilePlan> &file : planned) {
        if (!file)
            continue;
        if (!Writes(*file))
            file->before.clear(); // kept only to be compared and put back
        plan.files.push_back(std::move(*file));
    }
    return plan;
}

std::set<std::string> FolderReplace::OpenElsewhere(const RecoveryFolder &recovery)
{
    std::set<std::string> open;
    for (const RecoveryFolder::Entry &entry : recovery.KeptElsewhere()) {
        if (!entry.record.untitled)
            open.insert(entry.record.path);
    }
    return open;
}

FilesWritten FolderReplace::Apply(const Plan &plan, const ReplaceUndo &undo, FileOps &ops)
{
    FilesWritten done;
    std::vector<const FilePlan *> files;
    for (const FilePlan &file : plan.files) {
        if (Writes(file))
            files.push_back(&file);
    }
    if (files.empty())
        return done; // the replace before can still be undone
    std::vector<std::string> errors(files.size());
    DialogFiles::ForEach(files.size(), [&](size_t i) { undo.Keep(files[i]->path, files[i]->before, files[i]->after, ops, errors[i]); });
    if (const auto failed = std::find_if(errors.begin(), errors.end(), [](const std::string &error) { return !error.empty(); });
        failed != errors.end()) {
        undo.Abandon();
        done.error = "the old files could not be kept for the undo: " + *failed;
        return done;
    }
    undo.Begin();
    std::vector<GuardedSave::Result> results(files.size());
    DialogFiles::ForEach(files.size(), [&](size_t i) {
        errors[i].clear();
        results[i] = GuardedSave::Save(files[i]->path, files[i]->before, files[i]->after, ops, errors[i]);
        if (results[i] != GuardedSave::Saved)
            undo.Forget(files[i]->path);
    });
    for (size_t i = 0; i < files.size(); ++i) {
        if (results[i] == GuardedSave::Saved)
            done.written.push_back(files[i]->path);
        else
            done.notWritten.emplace_back(files[i]->path, results[i] == GuardedSave::Changed ? errors[i] + ", so it is left as it is"
                                                                                            : "cannot write it: " + errors[i]);
    }
    return done;
}
