#include "cli/GraphCommand.h"

#include "storage/DialogFiles.h"
#include "cli/FileArguments.h"
#include "graph/GraphvizLayout.h"
#include "layout/MapLayout.h"
#include "layout/MapSvg.h"
#include "rules/ConversationGraph.h"
#include "model/DialogFile.h"

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
    const ConversationGraph graph(file);
    std::string text;
    if (format == "svg") {
        // Never asked to stop, the layout is always made.
        MapLayout layout;
        MapLayout::Lay(graph, nullptr, {}, {}, layout);
        text = MapSvg::Write(graph, layout);
    } else {
        text = GraphvizLayout::Dot(graph);
    }

    return WriteOutput(text, output, out, err);
}
