#include "FormatCommand.h"

#include "model/DialogFile.h"

#include <cerrno>
#include <cstring>

int FormatCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    std::string input;
    std::string output = "-";
    bool haveInput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (!haveInput && (args[i] == "-" || args[i].empty() || args[i].front() != '-'))
            input = args[i], haveInput = true;
        else
            return ReportUsage(err);
    }
    if (!haveInput)
        return ReportUsage(err);

    DialogFile file;
    if (!file.Read(input))
        return ReportFailure(err, "read", input, file.GetErrorText());

    if (output != "-") {
        file.SetFileName(output);
        if (!file.Write())
            return ReportFailure(err, "write", output, file.GetErrorText());
        return Success;
    }
    const bool written = file.WriteBytes([out](std::string_view bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    });
    if (!written || std::fflush(out) != 0)
        return ReportFailure(err, "write", "standard output", std::strerror(errno));
    return Success;
}
