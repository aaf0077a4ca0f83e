#include "cli/ShowCommand.h"

#include "compare/LineFields.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "storage/DialogFiles.h"

#include <cerrno>
#include <cstring>

namespace {

void AppendLine(std::string &text, std::string_view indent, std::string_view name, std::string_view value)
{
    text.append(indent).append(name).append(": ").append(value) += '\n';
}

// Each field that says something; remarks one to a line.
void AppendFields(std::string &text, const DialogLine &line, std::string_view indent, bool page)
{
    for (const LineField field : page ? LineFields::OfPage() : LineFields::OfOption()) {
        if (field == LineField::Remarks) {
            std::string_view remarks = line.ViewComment();
            while (!remarks.empty()) {
                const size_t lf = remarks.find('\n');
                if (lf != 0)
                    AppendLine(text, indent, "remark", remarks.substr(0, lf));
                remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
            }
            continue;
        }
        const bool alike = field == LineField::FemaleSpeech
            && LineFields::Text(line, field) == LineFields::Text(line, LineField::Speech);
        // An option's speech heads it; a jump is always said.
        if ((!page && field == LineField::Speech) || alike || (field != LineField::Target && LineFields::IsDefault(line, field)))
            continue;
        AppendLine(text, indent, LineFields::Name(field), LineFields::Shown(line, field));
    }
}

} // namespace

std::string ShowCommand::PageText(const DialogFile &file, int index)
{
    const DialogLine &page = *file.GetPage(index);
    std::string text = "page \"" + std::string(page.ViewLabel()) + "\"\n";
    AppendFields(text, page, "  ", true);
    for (int o = 0; o < page.GetOptionCount(); ++o) {
        const DialogLine &option = *page.GetOption(o);
        AppendLine(text, "  ", "option", LineFields::Shown(option, LineField::Speech));
        AppendFields(text, option, "    ", false);
    }
    return text + "\n";
}

int ShowCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    if (args.size() != 1 || (args[0].size() > 1 && args[0].front() == '-'))
        return ReportUsage(err);
    DialogFile file;
    std::string error;
    if (!DialogFiles::Read(args[0], file, error))
        return ReportFailure(err, "read", args[0], error);
    std::string text;
    for (int p = 0; p < file.GetPageCount(); ++p) {
        text += PageText(file, p);
        if (text.size() >= 64 * 1024 || p + 1 == file.GetPageCount()) {
            if (std::fwrite(text.data(), 1, text.size(), out) != text.size())
                return ReportFailure(err, "write", "standard output", std::strerror(errno));
            text.clear();
        }
    }
    return FinishOutput(out, err, Success);
}
