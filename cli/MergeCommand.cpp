#include "cli/MergeCommand.h"

#include "compare/ConversationMerge.h"
#include "model/DialogFile.h"
#include "storage/DialogFiles.h"
#include "storage/FileName.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

int MergeCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    std::vector<std::string> files;
    std::string output = "-";
    bool haveOutput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && !haveOutput) {
            output = args[++i];
            haveOutput = true;
        } else if (args[i] == "-" || args[i].empty() || args[i].front() != '-') {
            files.push_back(args[i]);
        } else {
            return ReportUsage(err);
        }
    }
    if (files.size() != 3 || std::count(files.begin(), files.end(), "-") > 1)
        return ReportUsage(err);

    auto base = std::make_unique<DialogFile>();
    DialogFile ours;
    auto theirs = std::make_unique<DialogFile>();
    DialogFile *const versions[] = {base.get(), &ours, theirs.get()};
    std::string errors[3];
    bool read[3] = {};
    for (const size_t i : DialogFiles::AtOnce(files.size(), [&](size_t i) { read[i] = DialogFiles::Read(files[i], *versions[i], errors[i]); }))
        errors[i] = "not enough memory";
    for (size_t i = 0; i < files.size(); ++i) {
        if (!read[i])
            return ReportFailure(err, "read", files[i], errors[i]);
    }
    // What a save drops of ours, and of theirs' changes, is named, as format does.
    for (size_t i = 1; i < files.size(); ++i) {
        for (const DroppedLine &dropped : versions[i]->GetDroppedLines())
            std::fprintf(err, "dlgtool: %s:%d: drops %s\n", FileName::Printable(files[i]).c_str(), dropped.line, DroppedLine::What(dropped.kind));
    }

    const int conflicts = ConversationMerge::Merge(*base, ours, *theirs);
    // Base and theirs go while ours is written (and are gone when this returns).
    const std::jthread discard([gone = std::move(base), alsoGone = std::move(theirs)]() mutable {
        gone.reset();
        alsoGone.reset();
    });
    if (output != "-") {
        ours.SetFileName(output);
        if (!ours.Write())
            return ReportFailure(err, "write", output, ours.GetErrorText());
    } else {
        const bool written = ours.WriteBytes([out](std::string_view bytes) {
            return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        });
        if (!written)
            return ReportFailure(err, "write", "standard output", std::strerror(errno));
        if (FinishOutput(out, err, Success) != Success)
            return Failure;
    }
    if (conflicts == 0)
        return Success;
    std::fprintf(err, "dlgtool: %s: %d conflict%s, each kept as ours with theirs in a \"// CONFLICT: theirs:\" remark above it\n",
                 FileName::Printable(output == "-" ? "standard output" : output).c_str(), conflicts, conflicts == 1 ? "" : "s");
    return Failure;
}
