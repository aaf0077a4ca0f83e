#include "cli/StatsCommand.h"

#include "storage/DialogFiles.h"
#include "storage/FileName.h"
#include "speech/SpeechCount.h"

#include <algorithm>
#include <map>

namespace {

void Print(const SpeechCount &count, std::FILE *out, const std::string &title)
{
    std::fprintf(out, "%s\n  pages %lld, options %lld\n  words of speech: NPC %lld, PC %lld\n  generated speech:", title.c_str(), count.pages,
                 count.options, count.npcWords, count.pcWords);
    if (count.generated.empty())
        std::fputs(" none", out);
    const char *separator = " ";
    for (const auto &[kind, n] : count.generated) {
        std::fprintf(out, "%s%s %lld", separator, kind.c_str(), n);
        separator = ", ";
    }
    std::fputc('\n', out);
}

} // namespace

int StatsCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    if (args.empty() || std::any_of(args.begin(), args.end(), [](const std::string &a) { return a.size() > 1 && a.front() == '-'; }))
        return ReportUsage(err);
    std::map<std::string, std::string> unreadable;
    const std::vector<std::string> files = DialogFiles::Collect(args, unreadable);
    std::vector<SpeechCount> perFile(files.size());
    const std::vector<std::string> errors = DialogFiles::ReadEach(
        files, [&](size_t i, const DialogFile &file, std::string_view) { perFile[i] = SpeechCount::Of(file); });

    SpeechCount total;
    int status = Success;
    for (const auto &[folder, reason] : unreadable)
        status = ReportFailure(err, "read", folder, reason);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!errors[i].empty()) {
            ReportFailure(err, "read", files[i], errors[i]);
            status = Failure;
            continue;
        }
        Print(perFile[i], out, FileName::Printable(files[i]));
        total.Add(perFile[i]);
    }
    Print(total, out, "total (" + std::to_string(files.size()) + (files.size() == 1 ? " file)" : " files)"));
    return FinishOutput(out, err, status);
}
