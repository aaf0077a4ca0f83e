#include "Command.h"

int Command::ReportUsage(std::FILE *err) const
{
    std::fprintf(err, "usage: dlgtool %.*s\n", static_cast<int>(Usage().size()), Usage().data());
    return UsageError;
}

int Command::ReportFailure(std::FILE *err, std::string_view verb, std::string_view file, std::string_view reason)
{
    std::fprintf(err, "dlgtool: cannot %.*s %.*s: %.*s\n", static_cast<int>(verb.size()), verb.data(),
                 static_cast<int>(file.size()), file.data(), static_cast<int>(reason.size()), reason.data());
    return Failure;
}
