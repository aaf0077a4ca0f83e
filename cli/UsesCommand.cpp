#include "cli/UsesCommand.h"

#include "cli/JsonWriter.h"
#include "cli/PathArguments.h"
#include "folder/FolderIndex.h"
#include "folder/UsesTable.h"
#include "model/Windows1252.h"
#include "storage/FileName.h"

namespace {

// page "Start", option 2
std::string Where(const UsesTable::Use &use)
{
    std::string where = "page \"" + Windows1252::ToUtf8(use.pageName) + "\"";
    if (use.option >= 0)
        where += ", option " + std::to_string(use.option + 1);
    return where;
}

std::string Summary(const UsesTable::Name &name)
{
    if (name.NeverSet())
        return "tested " + std::to_string(name.tested.size()) + ", never set";
    if (name.NeverTested())
        return "set " + std::to_string(name.set.size()) + ", never tested";
    return "tested " + std::to_string(name.tested.size()) + ", set " + std::to_string(name.set.size());
}

void WriteUses(JsonWriter &json, const std::vector<UsesTable::Use> &uses)
{
    json.BeginArray();
    for (const UsesTable::Use &use : uses) {
        json.BeginObject();
        json.Key("file");
        json.NativeString(use.file);
        json.Key("line");
        json.Int(use.line);
        json.Key("page");
        json.String(use.pageName);
        json.Key("option");
        if (use.option >= 0)
            json.Int(use.option + 1);
        else
            json.Null();
        json.Key("text");
        json.String(use.text);
        json.EndObject();
    }
    json.EndArray();
}

} // namespace

int UsesCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    PathArguments arguments;
    if (!PathArguments::Parse(args, arguments))
        return ReportUsage(err);
    const bool json = arguments.json;

    FolderIndex index(arguments.paths, false);
    const bool read = ReadAll(index, err);
    const std::vector<UsesTable::Name> names = UsesTable::Build(index.Files());
    if (json) {
        JsonWriter writer;
        writer.BeginObject();
        writer.Key("files");
        writer.Int(static_cast<long long>(index.Files().size()));
        writer.Key("names");
        writer.BeginArray();
        for (const UsesTable::Name &name : names) {
            writer.BeginObject();
            writer.Key("name");
            writer.String(name.name);
            writer.Key("tested");
            WriteUses(writer, name.tested);
            writer.Key("set");
            WriteUses(writer, name.set);
            writer.Key("neverTested");
            writer.Bool(name.NeverTested());
            writer.Key("neverSet");
            writer.Bool(name.NeverSet());
            writer.EndObject();
            writer.Flush([out](std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); });
        }
        writer.EndArray();
        writer.EndObject();
        std::fprintf(out, "%s\n", writer.Text().c_str());
        return FinishOutput(out, err, read ? Success : Failure);
    }
    size_t neverTested = 0;
    size_t neverSet = 0;
    for (const UsesTable::Name &name : names) {
        std::fprintf(out, "%s: %s\n", Windows1252::ToUtf8(name.name).c_str(), Summary(name).c_str());
        for (const auto &[verb, uses] : {std::pair("tested", &name.tested), std::pair("set", &name.set)}) {
            for (const UsesTable::Use &use : *uses)
                std::fprintf(out, "  %s at %s:%d: %s: %s\n", verb, FileName::Printable(use.file).c_str(), use.line, Where(use).c_str(),
                             OneLine(use.text).c_str());
        }
        neverTested += name.NeverTested();
        neverSet += name.NeverSet();
    }
    std::fprintf(out, "%s in %s: %zu set but never tested, %zu tested but never set\n", Counted(names.size(), "name").c_str(),
                 Counted(index.Files().size(), "file").c_str(), neverTested, neverSet);
    return FinishOutput(out, err, read ? Success : Failure);
}
