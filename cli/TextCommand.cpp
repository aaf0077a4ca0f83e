#include "cli/TextCommand.h"

#include <utility>

TextCommand::TextCommand(std::string name, std::string text)
    : m_name(std::move(name))
    , m_text(std::move(text))
{
}

int TextCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    if (!args.empty())
        return ReportUsage(err);
    std::fputs(m_text.c_str(), out);
    return FinishOutput(out, err, Success);
}
