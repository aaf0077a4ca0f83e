#include "cli/PlayCommand.h"

#include "storage/DialogFiles.h"
#include "cli/JsonWriter.h"
#include "rules/ConversationPlay.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/Windows1252.h"
#include "storage/PrintableText.h"
#include "speech/ShownSpeech.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>
#include <unordered_map>

namespace {

using Choice = ConversationPlay::Choice;
using Step = ConversationPlay::Step;

std::optional<long long> Number(std::string_view text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "1,3,2": numbers of 0 or more; none for anything else.
std::optional<std::vector<long long>> NumberList(std::string_view text)
{
    std::vector<long long> numbers;
    for (size_t from = 0; from <= text.size();) {
        const size_t comma = std::min(text.find(',', from), text.size());
        const std::optional<long long> number = Number(text.substr(from, comma - from));
        if (!number || *number < 0)
            return std::nullopt;
        numbers.push_back(*number);
        from = comma + 1;
    }
    return numbers;
}

const char *EndName(ConversationPlay::End end)
{
    switch (end) {
    case ConversationPlay::End::DialogFinished:
        return "dialog finished";
    case ConversationPlay::End::NoSuchPage:
        return "no such page";
    case ConversationPlay::End::NoOptions:
        return "no options";
    case ConversationPlay::End::None:
        break;
    }
    return "choices used";
}

std::string PageName(const DialogLine &page)
{
    return "page \"" + PrintableText::FromWindows1252(page.GetLabel()) + "\" (line " + std::to_string(page.GetFileLine()) + ")";
}

std::string Plural(size_t n, const char *what)
{
    return (n == 0 ? std::string("no") : std::to_string(n)) + " " + what + (n == 1 ? "" : "s");
}

void WriteChoice(JsonWriter &json, const Choice &choice, bool hidden)
{
    json.BeginObject();
    json.Key("line");
    json.Int(choice.line->GetFileLine());
    json.Key("speech");
    json.String(ConversationPlay::Shown(choice));
    json.Key("target");
    if (choice.target)
        json.String(choice.target->GetLabel());
    else
        json.Null();
    if (hidden) {
        json.Key("reason");
        json.String(choice.reason);
    }
    json.EndObject();
}

std::string Where(const Choice &choice)
{
    if (choice.target)
        return "page \"" + PrintableText::FromWindows1252(choice.target->GetLabel()) + "\"";
    return choice.noSuchPage ? "page number " + std::to_string(choice.targetNumber) + ", which no page has" : "the dialog ends";
}

} // namespace

int PlayCommand::Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    std::optional<std::string> path;
    std::optional<bool> female;
    std::optional<long long> intelligence;
    std::optional<std::string> start;
    std::vector<long long> choices;
    std::vector<long long> failing;
    bool json = false;
    std::set<std::string> given; // each option may be given once
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const bool valued = i + 1 < args.size();
        if (arg.size() > 1 && arg.front() == '-' && !given.insert(arg).second)
            return ReportUsage(err);
        if (arg == "--gender" && valued && (args[i + 1] == "male" || args[i + 1] == "female")) {
            female = args[++i] == "female";
        } else if (arg == "--intelligence" && valued && Number(args[i + 1])) {
            intelligence = Number(args[++i]);
        } else if (arg == "--start" && valued) {
            start = args[++i];
        } else if ((arg == "--choose" || arg == "--fail-conditions") && valued) {
            const std::optional<std::vector<long long>> list = NumberList(args[++i]);
            if (!list)
                return ReportUsage(err);
            (arg == "--choose" ? choices : failing) = *list;
        } else if (arg == "--format" && valued && (args[i + 1] == "json" || args[i + 1] == "text")) {
            json = args[++i] == "json";
        } else if (!path && (arg == "-" || arg.empty() || arg.front() != '-')) {
            path = arg;
        } else {
            return ReportUsage(err);
        }
    }
    if (!path || !female || !intelligence)
        return ReportUsage(err);

    WorkOn(*path);
    DialogFile file;
    std::string error;
    if (!DialogFiles::Read(*path, file, error))
        return ReportFailure(err, "read", *path, error);
    const DialogLine *first = nullptr;
    for (int i = 0; i < file.GetPageCount() && !first; ++i) {
        const DialogLine *page = file.GetPage(i);
        // A name is given as the terminal spells it, or as the file's bytes.
        const std::string_view label = page->ViewFields()[0];
        if (!start || label == *start || Windows1252::ToUtf8(label) == *start)
            first = page;
    }
    if (!first)
        return ReportFailure(err, "play", *path, start ? "no page is named \"" + PrintableText::Escape(*start) + "\"" : std::string("it holds no page"));

    ConversationPlay play(file, {*female, *intelligence}, first);
    // The options with conditions by their lines, found in one pass.
    std::unordered_map<long long, const DialogLine *> conditional;
    for (int i = 0; i < file.GetPageCount() && !failing.empty(); ++i) {
        for (int o = 0; o < file.GetPage(i)->GetOptionCount(); ++o) {
            const DialogLine *option = file.GetPage(i)->GetOption(o);
            if (!option->ViewFields()[4].empty())
                conditional.emplace(option->GetFileLine(), option);
        }
    }
    std::vector<const DialogLine *> failingOptions;
    for (const long long line : failing) {
        const auto it = conditional.find(line);
        if (it == conditional.end())
            return ReportFailure(err, "play", *path, "line " + std::to_string(line) + " holds no PC option with extra conditions");
        failingOptions.push_back(it->second);
    }
    if (!failingOptions.empty())
        play.SetConditionsPass(failingOptions, false);
    for (const long long choice : choices) {
        const size_t at = play.GetSteps().size();
        const Step &step = play.GetSteps().back();
        const std::string where = "at step " + std::to_string(at) + ", " + PageName(*step.page) + ", ";
        if (play.GetEnd() == ConversationPlay::End::DialogFinished || play.GetEnd() == ConversationPlay::End::NoSuchPage)
            return ReportFailure(err, "play", *path, where + "choice " + std::to_string(choice) + " comes after the end of the conversation");
        if (!play.Choose(static_cast<int>(std::min<long long>(choice, 1LL << 30)) - 1))
            return ReportFailure(err, "play", *path, where + "choice " + std::to_string(choice) + " is not offered: " + Plural(step.offered.size(), "option") + (step.offered.size() == 1 ? " is" : " are") + " offered");
    }
    const std::string report = json ? ToJson(play) : ToText(play);
    std::fprintf(out, "%s\n", report.c_str());
    return FinishOutput(out, err, Success);
}

std::string PlayCommand::ToJson(const ConversationPlay &play)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("gender");
    json.String(play.GetPc().female ? "female" : "male");
    json.Key("intelligence");
    json.Int(play.GetPc().intelligence);
    json.Key("steps");
    json.BeginArray();
    for (const Step &step : play.GetSteps()) {
        json.BeginObject();
        json.Key("page");
        json.BeginObject();
        json.Key("name");
        json.String(step.page->GetLabel());
        json.Key("number");
        json.Int(step.page->GetNumber());
        json.Key("line");
        json.Int(step.page->GetFileLine());
        json.EndObject();
        json.Key("npc");
        json.BeginObject();
        json.Key("stored");
        json.String(play.NpcSpeech(*step.page));
        json.Key("shown");
        json.String(ShownSpeech::Of(play.NpcSpeech(*step.page)));
        json.EndObject();
        for (const bool hidden : {false, true}) {
            json.Key(hidden ? "hidden" : "offered");
            json.BeginArray();
            for (const Choice &choice : hidden ? step.hidden : step.offered)
                WriteChoice(json, choice, hidden);
            json.EndArray();
        }
        json.Key("chosen");
        if (step.chosen >= 0)
            json.Int(step.chosen + 1);
        else
            json.Null();
        json.EndObject();
    }
    json.EndArray();
    json.Key("end");
    json.String(EndName(play.GetEnd()));
    json.EndObject();
    return json.Text();
}

std::string PlayCommand::ToText(const ConversationPlay &play)
{
    std::string text = std::string(play.GetPc().female ? "female" : "male") + " PC, intelligence " + std::to_string(play.GetPc().intelligence) + "\n";
    for (size_t s = 0; s < play.GetSteps().size(); ++s) {
        const Step &step = play.GetSteps()[s];
        text += std::to_string(s + 1) + ". " + PageName(*step.page) + "\n";
        text += "   NPC: " + PrintableText::FromWindows1252(ShownSpeech::Of(play.NpcSpeech(*step.page))) + "\n";
        for (size_t i = 0; i < step.offered.size(); ++i)
            text += "   " + std::to_string(i + 1) + ") " + PrintableText::FromWindows1252(ConversationPlay::Shown(step.offered[i])) + " -> " + Where(step.offered[i]) + "\n";
        for (const Choice &choice : step.hidden)
            text += "   not offered: " + PrintableText::FromWindows1252(ConversationPlay::Shown(choice)) + " (" + choice.reason + ")\n";
        if (step.chosen >= 0)
            text += "   chosen: " + std::to_string(step.chosen + 1) + "\n";
    }
    return text + "end: " + EndName(play.GetEnd());
}
