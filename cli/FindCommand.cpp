#include "cli/FindCommand.h"

#include "regex/RegularExpression.h"
#include "edits/TextSearch.h"
#include "folder/FolderIndex.h"
#include "folder/FolderSearch.h"
#include "model/DialogLine.h"
#include "model/Windows1252.h"
#include "storage/FileName.h"

int FindCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    TextSearch::Options options;
    std::vector<std::string> operands; // TEXT, then the paths
    bool optionsEnded = false;
    for (const std::string &arg : args) {
        if (optionsEnded || arg == "-" || !arg.starts_with('-'))
            operands.push_back(arg);
        else if (arg == "--")
            optionsEnded = true;
        else if (arg == "--case")
            options.matchCase = true;
        else if (arg == "--words")
            options.wholeWords = true;
        else if (arg == "--regex")
            options.regularExpression = true;
        else
            return ReportUsage(err);
    }
    if (operands.size() < 2 || operands.front().empty())
        return ReportUsage(err);
    const TextSearch search(operands.front(), options, &RegularExpression::Engine());
    if (!search.IsValid()) {
        std::fprintf(err, "dlgtool: %s: %s\n", options.regularExpression ? "invalid regular expression" : "invalid text",
                     search.GetError().c_str());
        return UsageError;
    }

    FolderIndex index(std::vector<std::string>(operands.begin() + 1, operands.end()), false);
    const bool read = ReadAll(index, err);
    const std::vector<FolderSearch::FileHits> found = FolderSearch::Find(index.Files(), search);
    for (const FolderSearch::FileHits &file : found) {
        const std::string name = FileName::Printable(file.path);
        for (const TextSearch::Hit &hit : file.hits) {
            std::fprintf(out, "%s:%d: page \"%s\", %s: %s\n", name.c_str(), hit.place.line->GetFileLine(),
                         Windows1252::ToUtf8(hit.place.page->ViewLabel()).c_str(), DocumentText::WhichText(hit.place).c_str(),
                         OneLine(hit.text).c_str());
        }
    }
    return FinishOutput(out, err, read && !found.empty() ? Success : Failure);
}
