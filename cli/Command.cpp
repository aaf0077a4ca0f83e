#include "cli/Command.h"

#include "storage/FileName.h"

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
