#include "cli/Command.h"

#include "model/DialogFile.h"
#include "storage/AtomicFile.h"
#include "storage/FileName.h"
#include "storage/FileOps.h"

#include <cerrno>
#include <cstring>

int Command::ReportUsage(std::FILE *err) const
{
    std::fprintf(err, "usage: dlgtool %.*s\n", static_cast<int>(Usage().size()), Usage().data());
    return UsageError;
}

std::string Command::Counted(size_t n, const char *what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

int Command::ReportFailure(std::FILE *err, std::string_view verb, std::string_view file, std::string_view reason)
{
    const std::string name = FileName::Printable(file);
    std::fprintf(err, "dlgtool: cannot %.*s %s: %.*s\n", static_cast<int>(verb.size()), verb.data(), name.c_str(),
                 static_cast<int>(reason.size()), reason.data());
    return Failure;
}

int Command::FinishOutput(std::FILE *out, std::FILE *err, int status)
{
    errno = 0;
    if (std::fflush(out) == 0 && !std::ferror(out))
        return status;
    // A failed flush says why; an earlier failed write left its reason in errno
    // unless the flush had nothing left to write.
    return ReportFailure(err, "write", "standard output", std::strerror(errno != 0 ? errno : EIO));
}

int Command::WriteOutput(std::string_view text, const std::string &output, std::FILE *out, std::FILE *err)
{
    if (output != "-") {
        AtomicFile target(FileOps::Default());
        if (!target.Open(output) || !target.Append(text) || !target.Commit())
            return ReportFailure(err, "write", output, target.GetErrorText());
        return Success;
    }
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size())
        return ReportFailure(err, "write", "standard output", std::strerror(errno));
    return FinishOutput(out, err, Success);
}

int Command::SaveDocument(DialogFile &file, std::string_view input, const std::string &output, std::FILE *out, std::FILE *err)
{
    // It still writes, as the editor does once told: the drops are named,
    // a run of lines alike at once.
    for (const DroppedLine &dropped : file.GetDroppedLines())
        std::fprintf(err, "dlgtool: %s:%d: drops %s%s\n", FileName::Printable(input).c_str(), dropped.line, DroppedLine::What(dropped.kind),
                     dropped.lines > 1 ? (" (lines " + dropped.Lines() + ")").c_str() : "");

    if (output != "-") {
        file.SetFileName(output);
        if (!file.Write())
            return ReportFailure(err, "write", output, file.GetErrorText());
        return Success;
    }
    const bool written = file.WriteBytes([out](std::string_view bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    });
    return written ? FinishOutput(out, err, Success) : ReportFailure(err, "write", "standard output", std::strerror(errno));
}

int Command::ReportOutOfMemory(std::FILE *err) const
{
    if (m_file.empty()) {
        std::fputs("dlgtool: not enough memory\n", err);
        return Failure;
    }
    return ReportFailure(err, "read", m_file, "not enough memory");
}
