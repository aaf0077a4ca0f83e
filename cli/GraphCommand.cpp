#include "GraphCommand.h"

#include "DialogFiles.h"
#include "graph/GraphvizLayout.h"
#include "model/AtomicFile.h"
#include "model/ConversationGraph.h"
#include "model/DialogFile.h"
#include "model/FileOps.h"

#include <cerrno>
#include <cstring>

int GraphCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    std::string input;
    std::string output = "-";
    std::string format = "dot";
    bool haveInput = false;
    bool haveOutput = false;
    bool haveFormat = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && !haveOutput)
            output = args[++i], haveOutput = true;
        else if (args[i] == "--format" && i + 1 < args.size() && !haveFormat && (args[i + 1] == "dot" || args[i + 1] == "svg"))
            format = args[++i], haveFormat = true;
        else if (!haveInput && (args[i] == "-" || args[i].empty() || args[i].front() != '-'))
            input = args[i], haveInput = true;
        else
            return ReportUsage(err);
    }
    if (!haveInput)
        return ReportUsage(err);

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
