#include "cli/CheckCommand.h"

#include "storage/DialogFiles.h"
#include "cli/JsonWriter.h"
#include "cli/PathArguments.h"
#include "rules/Linter.h"

#include <algorithm>
#include <iterator>
#include <map>

int CheckCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    PathArguments arguments;
    if (!PathArguments::Parse(args, arguments))
        return ReportUsage(err);
    const bool json = arguments.json;

    std::map<std::string, std::string> unreadable;
    const std::vector<std::string> files = DialogFiles::Collect(arguments.paths, unreadable);
    std::vector<std::vector<Finding>> perFile(files.size());
    const std::vector<size_t> outOfMemory = DialogFiles::ForEach(files.size(), [&](size_t i) { perFile[i] = Linter::CheckFile(files[i]); });
    std::vector<Finding> findings;
    for (auto &found : perFile)
        findings.insert(findings.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    for (const auto &[folder, reason] : unreadable)
        findings.push_back({folder, 0, Finding::Error, "cannot read the folder: " + reason});
    std::sort(findings.begin(), findings.end());

    size_t counts[3] = {};
    for (const Finding &finding : findings)
        ++counts[finding.severity];

    if (json) {
        std::fprintf(out, "%s\n", JsonReport(findings, files.size()).c_str());
    } else {
        for (const Finding &finding : findings)
            std::fprintf(out, "%s\n", finding.ToText().c_str());
        std::fprintf(out, "%s checked: %s, %s, %s\n", Counted(files.size(), "file").c_str(),
                     Counted(counts[Finding::Error], "error").c_str(), Counted(counts[Finding::Warning], "warning").c_str(),
                     Counted(counts[Finding::Note], "note").c_str());
    }
    for (const size_t i : outOfMemory)
        ReportFailure(err, "read", files[i], "not enough memory");
    return FinishOutput(out, err, counts[Finding::Error] || !outOfMemory.empty() ? Failure : Success);
}

std::string CheckCommand::JsonReport(const std::vector<Finding> &findings, size_t files)
{
    size_t counts[3] = {};
    for (const Finding &finding : findings)
        ++counts[finding.severity];
    JsonWriter writer;
    writer.BeginObject();
    writer.Key("files");
    writer.Int(static_cast<long long>(files));
    writer.Key("errors");
    writer.Int(static_cast<long long>(counts[Finding::Error]));
    writer.Key("warnings");
    writer.Int(static_cast<long long>(counts[Finding::Warning]));
    writer.Key("notes");
    writer.Int(static_cast<long long>(counts[Finding::Note]));
    writer.Key("findings");
    writer.BeginArray();
    for (const Finding &finding : findings) {
        writer.BeginObject();
        writer.Key("file");
        writer.NativeString(finding.file);
        writer.Key("line");
        writer.Int(finding.line);
        writer.Key("severity");
        writer.NativeString(Finding::SeverityName(finding.severity));
        writer.Key("message");
        writer.String(finding.message);
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return writer.Text();
}
