#include "CheckCommand.h"

#include "DialogFiles.h"
#include "JsonWriter.h"
#include "Linter.h"

#include <algorithm>

namespace {

std::string Count(size_t n, const char *what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

} // namespace

int CheckCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    bool json = false;
    std::vector<std::string> paths;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--format" && i + 1 < args.size() && (args[i + 1] == "json" || args[i + 1] == "text"))
            json = args[++i] == "json";
        else if (args[i].size() > 1 && args[i].front() == '-')
            return ReportUsage(err);
        else
            paths.push_back(args[i]);
    }
    if (paths.empty())
        return ReportUsage(err);

    const std::vector<std::string> files = DialogFiles::Collect(paths);
    std::vector<std::vector<Finding>> perFile(files.size());
    DialogFiles::ForEach(files.size(), [&](size_t i) {
        perFile[i] = Linter::CheckFile(files[i]);
        std::sort(perFile[i].begin(), perFile[i].end());
    });

    size_t counts[3] = {};
    for (const auto &findings : perFile) {
        for (const Finding &finding : findings)
            ++counts[finding.severity];
    }
    const std::string summary = Count(files.size(), "file") + " checked: " + Count(counts[Finding::Error], "error") + ", "
        + Count(counts[Finding::Warning], "warning") + ", " + Count(counts[Finding::Note], "note");

    if (json) {
        JsonWriter writer;
        writer.BeginObject();
        writer.Key("files");
        writer.Int(static_cast<long long>(files.size()));
        writer.Key("errors");
        writer.Int(static_cast<long long>(counts[Finding::Error]));
        writer.Key("warnings");
        writer.Int(static_cast<long long>(counts[Finding::Warning]));
        writer.Key("notes");
        writer.Int(static_cast<long long>(counts[Finding::Note]));
        writer.Key("findings");
        writer.BeginArray();
        for (const auto &findings : perFile) {
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
        }
        writer.EndArray();
        writer.EndObject();
        std::fprintf(out, "%s\n", writer.Text().c_str());
    } else {
        for (const auto &findings : perFile) {
            for (const Finding &finding : findings)
                std::fprintf(out, "%s\n", finding.ToText().c_str());
        }
        std::fprintf(out, "%s\n", summary.c_str());
    }
    std::fflush(out);
    return counts[Finding::Error] ? Failure : Success;
}
