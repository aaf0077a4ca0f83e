#include "cli/ScriptCommand.h"

#include "cli/FileArguments.h"
#include "model/DialogFile.h"
#include "storage/DialogFiles.h"
#include "translation/RecordingScript.h"

#include <cstdint>

int ScriptCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    FileArguments parsed;
    if (!FileArguments::Parse(args, {"csv"}, 1, SIZE_MAX, parsed))
        return ReportUsage(err);
    RecordingScript script;
    for (const std::string &input : parsed.inputs) {
        DialogFile file;
        std::string error;
        if (!DialogFiles::Read(input, file, error))
            return ReportFailure(err, "read", input, error);
        if (!script.Add(file, input, error))
            return ReportFailure(err, "script", input, error);
    }
    return WriteOutput(script.GetCsv(), parsed.output, out, err);
}
