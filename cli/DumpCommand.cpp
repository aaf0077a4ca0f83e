#include "cli/DumpCommand.h"

#include "storage/DialogFiles.h"
#include "cli/JsonWriter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <unordered_map>

namespace {

void WriteCode(JsonWriter &json, const SpeechText &code)
{
    json.BeginObject();
    json.Key("kind");
    json.Int(code.kind);
    json.Key("n");
    json.Int(code.n);
    json.Key("m");
    json.Int(code.m);
    json.Key("l");
    json.String(code.l);
    json.Key("s");
    json.String(code.s);
    json.EndObject();
}

void WriteCommonMembers(JsonWriter &json, const DialogLine &line)
{
    const DialogLine::Fields fields = line.ViewFields();
    json.Key("label");
    json.String(fields[0]);
    json.Key("description");
    json.String(line.ViewDescription());
    json.Key("comment");
    json.String(line.ViewComment());
    json.Key("number");
    json.Int(line.GetNumber());
    json.Key("fields");
    json.BeginArray();
    for (const std::string_view field : fields)
        json.String(field);
    json.EndArray();
}

} // namespace

int DumpCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    if (args.size() != 1 || (args[0].size() > 1 && args[0].front() == '-'))
        return ReportUsage(err);
    WorkOn(args[0]);
    DialogFile file;
    std::string error;
    if (!DialogFiles::Read(args[0], file, error))
        return ReportFailure(err, "read", args[0], error);
    WriteJson(file, args[0], [out](std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); });
    std::fputc('\n', out);
    return FinishOutput(out, err, Success);
}

std::string DumpCommand::ToJson(const DialogFile &file, const std::string &name)
{
    std::string text;
    WriteJson(file, name, [&text](std::string_view piece) { text += piece; });
    return text;
}

void DumpCommand::WriteJson(const DialogFile &file, const std::string &name, const std::function<void(std::string_view)> &sink)
{
    // The text goes out a page at a time once it has grown this long: a
    // document's JSON is a few times the size of its file.
    constexpr size_t kPiece = 64 * 1024;
    std::unordered_map<const DialogLine *, int> pageIndex;
    for (int i = 0; i < file.GetPageCount(); ++i)
        pageIndex.emplace(file.GetPage(i), i);

    JsonWriter json;
    json.BeginObject();
    json.Key("file");
    json.NativeString(name);
    json.Key("pages");
    json.BeginArray();
    for (int i = 0; i < file.GetPageCount(); ++i) {
        const DialogLine &page = *file.GetPage(i);
        json.BeginObject();
        WriteCommonMembers(json, page);
        json.Key("sameSpeechForBoth");
        json.Bool(page.IsSameSpeechForBoth());
        json.Key("speech");
        WriteCode(json, page.CopySpeechCode());
        json.Key("femaleSpeech");
        WriteCode(json, page.CopyFemaleSpeechCode());
        json.Key("options");
        json.BeginArray();
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            const DialogLine &option = *page.GetOption(o);
            json.BeginObject();
            WriteCommonMembers(json, option);
            json.Key("speech");
            WriteCode(json, option.CopySpeechCode());
            json.Key("target");
            if (option.GetTarget())
                json.Int(pageIndex.at(option.GetTarget()));
            else
                json.Null();
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
        if (json.Text().size() >= kPiece)
            json.Flush(sink);
    }
    json.EndArray();
    json.EndObject();
    json.Flush(sink);
}
