#include "translation/RecordingScript.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/Utf8.h"
#include "model/Windows1252.h"
#include "rules/GenderCheck.h"
#include "speech/ShownSpeech.h"
#include "speech/SpeechWords.h"
#include "translation/SpokenLine.h"

#include <unordered_map>

namespace {

using Leads = std::unordered_map<const DialogLine *, std::vector<const DialogLine *>>;

std::string Shown(std::string_view stored)
{
    return Windows1252::ToUtf8(ShownSpeech::Of(stored));
}

// The first PC speech that leads to the NPC's line, among the options that
// PCs it speaks to are offered, and how many more there are.
std::string LeadIn(const SpokenLine &npc, const Leads &leads)
{
    const auto at = leads.find(npc.page);
    if (at == leads.end())
        return {};
    std::string first;
    size_t more = 0;
    for (const DialogLine *option : at->second) {
        const DialogLine::Fields fields = option->ViewFields();
        const GenderCheck gender(fields[2]);
        const bool heard = npc.voice == SpokenLine::NpcToAnyPc || gender.Passes(npc.voice == SpokenLine::NpcToFemalePc);
        if (!heard || fields[1].empty())
            continue;
        if (first.empty())
            first = Shown(fields[1]);
        else
            ++more;
    }
    return more == 0 ? first : first + " (and " + std::to_string(more) + " more)";
}

// The NPC's speech that the PC's line answers; both, each with whom it is
// said to, when the page speaks to the genders differently.
std::string Answered(const SpokenLine &pc)
{
    const std::vector<SpokenLine> said = SpokenLine::Answered(pc);
    if (said.size() == 1)
        return Shown(said.front().text);
    std::string both;
    for (const SpokenLine &npc : said)
        both.append(both.empty() ? "" : " / ").append(SpokenLine::Context(npc.voice)).append(": ").append(Shown(npc.text));
    return both;
}

void AppendField(std::string &csv, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        csv += field;
        return;
    }
    csv += '"';
    for (const char c : field) {
        if (c == '"')
            csv += '"';
        csv += c;
    }
    csv += '"';
}

} // namespace

std::string RecordingScript::NameOf(std::string_view path)
{
    if (path == "-")
        return "stdin";
    std::string_view name = path.substr(path.find_last_of('/') + 1);
    if (const size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return Utf8::IsValid(name) ? std::string(name) : Windows1252::ToUtf8(name);
}

bool RecordingScript::Add(const DialogFile &file, std::string_view path, std::string &error)
{
    const std::string name = NameOf(path);
    if (m_names.contains(name)) {
        error = "the rows of another file named " + name + " take its ids";
        return false;
    }
    Leads leads;
    for (int p = 0; p < file.GetPageCount(); ++p) {
        const DialogLine &page = *file.GetPage(p);
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            if (const DialogLine *target = page.GetOption(o)->GetTarget())
                leads[target].push_back(page.GetOption(o));
        }
    }

    std::vector<Row> rows;
    std::unordered_set<std::string> ids;
    for (const SpokenLine &spoken : SpokenLine::Collect(file)) {
        Row row;
        const char *suffix = spoken.voice == SpokenLine::NpcToMalePc ? "m" : spoken.voice == SpokenLine::NpcToFemalePc ? "f" : "";
        row.id = name + "-" + std::to_string(spoken.line->GetFileLine()) + suffix;
        // Lines made since the file was read have no file line of their own.
        if (!ids.insert(row.id).second) {
            error = "two of its lines would take the id " + row.id;
            return false;
        }
        // "NPC to a male PC": the NPC speaks to "a male PC".
        const std::string_view context = SpokenLine::Context(spoken.voice);
        row.speaker = spoken.IsNpc() ? name : spoken.voice == SpokenLine::AnyPc ? "PC" : std::string(context);
        row.spokenTo = spoken.IsNpc() ? std::string(context.substr(context.find(" to ") + 4)) : name;
        row.text = spoken.generated ? ShownSpeech::Kind(spoken.text) : Windows1252::ToUtf8(spoken.text);
        row.words = spoken.generated ? 0 : SpeechWords::Count(spoken.text);
        row.before = spoken.IsNpc() ? LeadIn(spoken, leads) : Answered(spoken);
        row.page = Windows1252::ToUtf8(spoken.page->ViewLabel());
        row.description = Windows1252::ToUtf8(spoken.line->ViewDescription());
        row.audio = row.id + ".wav";
        rows.push_back(std::move(row));
    }
    m_names.insert(name);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    return true;
}

std::string RecordingScript::ToCsv() const
{
    std::string csv = "\xEF\xBB\xBFid,speaker,spoken to,text,words,line before,page,description,audio file\r\n";
    for (const Row &row : m_rows) {
        for (const std::string_view field : {std::string_view(row.id), std::string_view(row.speaker), std::string_view(row.spokenTo),
                                             std::string_view(row.text)}) {
            AppendField(csv, field);
            csv += ',';
        }
        csv += std::to_string(row.words);
        for (const std::string_view field : {std::string_view(row.before), std::string_view(row.page), std::string_view(row.description),
                                             std::string_view(row.audio)}) {
            csv += ',';
            AppendField(csv, field);
        }
        csv += "\r\n";
    }
    return csv;
}
