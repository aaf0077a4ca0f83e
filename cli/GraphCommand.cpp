#include "cli/GraphCommand.h"

#include "storage/DialogFiles.h"
#include "cli/FileArguments.h"
#include "graph/GraphvizLayout.h"
#include "storage/AtomicFile.h"
#include "rules/ConversationGraph.h"
#include "model/DialogFile.h"
#include "storage/FileOps.h"

#include <cerrno>
#include <cstring>

int GraphCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    FileArguments parsed;
    if (!FileArguments::Parse(args, {"dot", "svg"}, parsed))
        return ReportUsage(err);
    const std::string &input = parsed.input;
    const std::string &output = parsed.output;
    const std::string format = parsed.format.empty() ? "dot" : parsed.format;

    WorkOn(input);
    DialogFile file;
    std::string error;
    if (!DialogFiles::Read(input, file, error))
        return ReportFailure(err, "read", input, error);
    std::string text = GraphvizLayout::Dot(ConversationGraph(file));
    if (format == "svg") {
        std::string svg;
        if (!GraphvizLayout::Render(text, "svg", svg, error))
            return ReportFailure(err, "lay out", input, error);
        text = std::move(svg);
    }

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
