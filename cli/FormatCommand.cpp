#include "cli/FormatCommand.h"

#include "storage/DialogFiles.h"
#include "cli/FileArguments.h"
#include "storage/FileName.h"
#include "model/DialogFile.h"
#include "storage/UnifiedDiff.h"

#include <algorithm>
#include <map>

int FormatCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    if (!args.empty() && args.front() == "--check") {
        const bool diff = args.size() > 1 && args[1] == "--diff";
        const std::vector<std::string> paths(args.begin() + (diff ? 2 : 1), args.end());
        if (paths.empty() || std::any_of(paths.begin(), paths.end(), [](const std::string &p) { return p.size() > 1 && p.front() == '-'; }))
            return ReportUsage(err);
        return Check(paths, diff, out, err);
    }
    FileArguments parsed;
    if (!FileArguments::Parse(args, {}, parsed))
        return ReportUsage(err);
    const std::string &input = parsed.input;
    const std::string &output = parsed.output;

    WorkOn(input);
    DialogFile file;
    std::string error;
    if (!DialogFiles::Read(input, file, error))
        return ReportFailure(err, "read", input, error);
    return SaveDocument(file, input, output, out, err);
}

int FormatCommand::Check(const std::vector<std::string> &paths, bool diff, std::FILE *out, std::FILE *err) const
{
    std::map<std::string, std::string> unreadable;
    const std::vector<std::string> files = DialogFiles::Collect(paths, unreadable);
    std::vector<std::string> reports(files.size());
    const std::vector<std::string> errors = DialogFiles::ReadEach(files, [&](size_t i, DialogFile &file, std::string_view before) {
        const std::string after = file.WriteText();
        if (after == before)
            return;
        const std::string name = FileName::Printable(files[i]);
        reports[i] = diff ? UnifiedDiff::Make(before, after, name, name + " (formatted)") : name + "\n";
    });
    int status = Success;
    for (const auto &[folder, reason] : unreadable)
        status = ReportFailure(err, "read", folder, reason);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!errors[i].empty()) {
            ReportFailure(err, "read", files[i], errors[i]);
            status = Failure;
        } else if (!reports[i].empty()) {
            std::fputs(reports[i].c_str(), out);
            status = Failure;
        }
    }
    return FinishOutput(out, err, status);
}
