#include "cli/DiffCommand.h"

#include "cli/JsonWriter.h"
#include "compare/ConversationDiff.h"
#include "compare/DiffWording.h"
#include "model/DialogFile.h"
#include "storage/DialogFiles.h"
#include "storage/FileName.h"
#include "textdiff/WordDiff.h"

#include <utility>

namespace {

using Diff = ConversationDiff;

// Reads a version to compare; git names a file that does not exist on one
// side /dev/null, which is no conversation at all.
bool ReadVersion(const std::string &path, DialogFile &file, std::string &error)
{
    return path == "/dev/null" || DialogFiles::Read(path, file, error);
}

std::string Marked(const std::string &before, const std::string &after)
{
    return WordDiff::Marked(WordDiff::Compare(before, after));
}

void AppendFields(std::string &text, const std::vector<Diff::Field> &fields, std::string_view indent, bool added)
{
    for (const Diff::Field &field : fields)
        text.append(indent).append(DiffWording::Field(field, added, Marked)).append("\n");
}

void WriteFields(JsonWriter &json, const std::vector<Diff::Field> &fields, bool added)
{
    json.Key("fields");
    json.BeginArray();
    for (const Diff::Field &field : fields) {
        json.BeginObject();
        json.Key("field");
        json.String(LineFields::Name(field.field));
        json.Key("before");
        if (added)
            json.Null();
        else
            json.String(field.before);
        json.Key("after");
        json.String(field.after);
        if (field.IsText() && !added) {
            json.Key("words");
            json.BeginArray();
            for (const WordDiff::Piece &piece : WordDiff::Compare(field.before, field.after)) {
                json.BeginObject();
                json.Key(piece.kind == WordDiff::Piece::Same ? "same" : piece.kind == WordDiff::Piece::Removed ? "removed" : "added");
                json.String(piece.text);
                json.EndObject();
            }
            json.EndArray();
        }
        json.EndObject();
    }
    json.EndArray();
}

const char *ChangeName(Diff::Change change)
{
    return change == Diff::Change::Added ? "added" : change == Diff::Change::Removed ? "removed" : "changed";
}

// What became of a page or an option, and where it stands in each version.
void WriteChange(JsonWriter &json, Diff::Change change, int before, int after, bool moved)
{
    json.Key("change");
    json.String(ChangeName(change));
    for (const auto &[key, index] : {std::pair{"before", before}, std::pair{"after", after}}) {
        json.Key(key);
        if (index < 0)
            json.Null();
        else
            json.Int(index);
    }
    json.Key("moved");
    json.Bool(moved);
}

} // namespace

std::string DiffCommand::Text(const ConversationDiff &diff)
{
    std::string text;
    for (const Diff::Page &page : diff.GetPages()) {
        text += DiffWording::Page(page) + "\n";
        AppendFields(text, page.fields, "  ", page.change == Diff::Change::Added);
        for (const Diff::Option &option : page.options) {
            text += "  " + DiffWording::Option(option) + "\n";
            AppendFields(text, option.fields, "    ", option.change == Diff::Change::Added);
        }
    }
    return text;
}

std::string DiffCommand::Json(const ConversationDiff &diff, const std::string &before, const std::string &after)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("before");
    json.NativeString(before);
    json.Key("after");
    json.NativeString(after);
    json.Key("same");
    json.Bool(diff.IsSame());
    json.Key("pages");
    json.BeginArray();
    for (const Diff::Page &page : diff.GetPages()) {
        json.BeginObject();
        WriteChange(json, page.change, page.before, page.after, page.moved);
        json.Key("name");
        json.String(page.name);
        json.Key("oldName");
        json.String(page.renamed ? page.oldName : page.name);
        json.Key("renamed");
        json.Bool(page.renamed);
        WriteFields(json, page.fields, page.change == Diff::Change::Added);
        json.Key("options");
        json.BeginArray();
        for (const Diff::Option &option : page.options) {
            json.BeginObject();
            WriteChange(json, option.change, option.before, option.after, option.moved);
            json.Key("speech");
            json.String(option.speech);
            WriteFields(json, option.fields, option.change == Diff::Change::Added);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

int DiffCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    std::string before;
    std::string after;
    std::string beforeName;
    std::string afterName;
    bool json = false;
    // git runs an external diff with PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE
    // NEW-HEX NEW-MODE, and the new path and a note for a renamed file.
    const bool git = (args.size() == 7 || args.size() == 9) && args[1] != "--format";
    if (git) {
        before = args[1];
        after = args[4];
        beforeName = "a/" + args[0];
        afterName = "b/" + (args.size() == 9 ? args[7] : args[0]);
    } else {
        std::vector<std::string> files;
        bool haveFormat = false;
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--format" && i + 1 < args.size() && !haveFormat && (args[i + 1] == "text" || args[i + 1] == "json")) {
                json = args[++i] == "json";
                haveFormat = true;
            } else if (args[i] == "-" || args[i].empty() || args[i].front() != '-') {
                files.push_back(args[i]);
            } else {
                return ReportUsage(err);
            }
        }
        if (files.size() != 2 || (files[0] == "-" && files[1] == "-"))
            return ReportUsage(err);
        before = beforeName = files[0];
        after = afterName = files[1];
    }

    DialogFile was;
    DialogFile now;
    const std::string *const paths[] = {&before, &after};
    DialogFile *const versions[] = {&was, &now};
    std::string errors[2];
    bool read[2] = {};
    for (const size_t i : DialogFiles::AtOnce(2, [&](size_t i) { read[i] = ReadVersion(*paths[i], *versions[i], errors[i]); }))
        errors[i] = "not enough memory";
    // As diff does, trouble of any kind is 2: 1 says the files differ.
    for (size_t i = 0; i < 2; ++i) {
        if (!read[i]) {
            ReportFailure(err, "read", *paths[i], errors[i]);
            return UsageError;
        }
    }
    const ConversationDiff diff = ConversationDiff::Compare(was, now);
    if (json) {
        std::fputs(Json(diff, beforeName, afterName).c_str(), out);
    } else if (!diff.IsSame()) {
        std::fprintf(out, "--- %s\n+++ %s\n", FileName::Printable(beforeName).c_str(), FileName::Printable(afterName).c_str());
        const std::string text = Text(diff);
        std::fwrite(text.data(), 1, text.size(), out);
    }
    if (FinishOutput(out, err, Success) != Success)
        return UsageError;
    // git takes any status but 0 from its diff command for a failure.
    return git || diff.IsSame() ? Success : Failure;
}
