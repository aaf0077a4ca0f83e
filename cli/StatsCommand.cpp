#include "cli/StatsCommand.h"

#include "storage/DialogFiles.h"
#include "storage/FileName.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/Windows1252.h"
#include "speech/GeneratedSpeechKind.h"
#include "speech/SpeechWords.h"

#include <algorithm>
#include <map>

namespace {

struct Stats {
    long long pages = 0;
    long long options = 0;
    long long npcWords = 0;
    long long pcWords = 0;
    std::map<std::string, long long> generated; // by kind label

    void Add(const Stats &other)
    {
        pages += other.pages;
        options += other.options;
        npcWords += other.npcWords;
        pcWords += other.pcWords;
        for (const auto &[kind, count] : other.generated)
            generated[kind] += count;
    }

    void Print(std::FILE *out, const std::string &title) const
    {
        std::fprintf(out, "%s\n  pages %lld, options %lld\n  words of speech: NPC %lld, PC %lld\n  generated speech:", title.c_str(),
                     pages, options, npcWords, pcWords);
        if (generated.empty())
            std::fputs(" none", out);
        const char *separator = " ";
        for (const auto &[kind, count] : generated) {
            std::fprintf(out, "%s%s %lld", separator, kind.c_str(), count);
            separator = ", ";
        }
        std::fputc('\n', out);
    }
};

// Unique speech counts its words; generated speech counts by kind.
void Count(Stats &stats, const SpeechText &code, std::string_view text, long long Stats::*words)
{
    if (code.kind == 0)
        stats.*words += SpeechWords::Count(text);
    else
        ++stats.generated[std::string(GetSpeechKindLabel(code.kind))];
}

} // namespace

int StatsCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    if (args.empty() || std::any_of(args.begin(), args.end(), [](const std::string &a) { return a.size() > 1 && a.front() == '-'; }))
        return ReportUsage(err);
    std::map<std::string, std::string> unreadable;
    const std::vector<std::string> files = DialogFiles::Collect(args, unreadable);
    std::vector<Stats> perFile(files.size());
    const std::vector<std::string> errors = DialogFiles::ReadEach(files, [&](size_t i, const DialogFile &file, std::string_view) {
        Stats &stats = perFile[i];
        for (int p = 0; p < file.GetPageCount(); ++p) {
            const DialogLine &page = *file.GetPage(p);
            ++stats.pages;
            const DialogLine::Fields fields = page.ViewFields();
            Count(stats, page.CopySpeechCode(), fields[1], &Stats::npcWords);
            if (!page.IsSameSpeechForBoth())
                Count(stats, page.CopyFemaleSpeechCode(), fields[2], &Stats::npcWords);
            for (int o = 0; o < page.GetOptionCount(); ++o) {
                ++stats.options;
                const DialogLine &option = *page.GetOption(o);
                Count(stats, option.CopySpeechCode(), option.ViewFields()[1], &Stats::pcWords);
            }
        }
    });

    Stats total;
    int status = Success;
    for (const auto &[folder, reason] : unreadable)
        status = ReportFailure(err, "read", folder, reason);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!errors[i].empty()) {
            ReportFailure(err, "read", files[i], errors[i]);
            status = Failure;
            continue;
        }
        perFile[i].Print(out, FileName::Printable(files[i]));
        total.Add(perFile[i]);
    }
    total.Print(out, "total (" + std::to_string(files.size()) + (files.size() == 1 ? " file)" : " files)"));
    return FinishOutput(out, err, status);
}
