#include "translation/RecordingScript.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/Utf8.h"
#include "model/Windows1252.h"
#include "speech/ShownSpeech.h"
#include "speech/SpeechWords.h"
#include "translation/SpokenLine.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace {

// The PC's speeches that lead to each page, in file order.
using Leads = std::unordered_map<const DialogLine *, std::vector<const SpokenLine *>>;

std::string Shown(std::string_view stored)
{
    return Windows1252::ToUtf8(ShownSpeech::Of(stored));
}

// The first PC speech that leads to the NPC's line, among those that PCs
// it speaks to say, and how many more there are.
std::string LeadIn(const SpokenLine &npc, const Leads &leads)
{
    const auto at = leads.find(npc.page);
    if (at == leads.end())
        return {};
    const SpokenLine::Voice unheard = npc.voice == SpokenLine::NpcToMalePc ? SpokenLine::FemalePc
                                      : npc.voice == SpokenLine::NpcToFemalePc ? SpokenLine::MalePc
                                                                               : SpokenLine::AnyPc;
    const SpokenLine *first = nullptr;
    size_t more = 0;
    for (const SpokenLine *pc : at->second) {
        if (pc->voice == unheard && unheard != SpokenLine::AnyPc)
            continue;
        more += first != nullptr;
        first = first ? first : pc;
    }
    if (!first)
        return {};
    return more == 0 ? Shown(first->text) : Shown(first->text) + " (and " + std::to_string(more) + " more)";
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
    // A loop of its own: find_first_of looks for each character in turn.
    const bool plain = std::none_of(field.begin(), field.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (plain) {
        csv += field;
        return;
    }
    csv += '"';
    for (size_t quote; (quote = field.find('"')) != std::string_view::npos; field.remove_prefix(quote + 1))
        csv.append(field.substr(0, quote + 1)) += '"';
    csv.append(field) += '"';
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

RecordingScript::RecordingScript()
    : m_csv("\xEF\xBB\xBFid,speaker,spoken to,text,words,line before,page,description,audio file\r\n")
{
}

bool RecordingScript::Add(const DialogFile &file, std::string_view path, std::string &error)
{
    const std::string name = NameOf(path);
    if (m_names.contains(name)) {
        error = "the rows of another file named " + name + " take its ids";
        return false;
    }
    const std::vector<SpokenLine> lines = SpokenLine::Collect(file);
    Leads leads;
    for (const SpokenLine &spoken : lines) {
        if (const DialogLine *target = spoken.IsNpc() ? nullptr : spoken.line->GetTarget())
            leads[target].push_back(&spoken);
    }

    const size_t before = m_csv.size();
    const DialogLine *page = nullptr;
    std::string pageName;
    // What the PC answers on the page, by the PC's voice: each once a page.
    std::string answers[3];
    bool answered[3] = {};
    std::string id;
    std::string text; // room for a text in UTF-8, used again and again
    for (const SpokenLine &spoken : lines) {
        if (spoken.line->GetFileLine() == 0) {
            m_csv.resize(before);
            error = "it has lines made since it was read, which no line of the file names";
            return false;
        }
        if (spoken.page != page) {
            page = spoken.page;
            pageName = Windows1252::ToUtf8(page->ViewLabel());
            std::fill(std::begin(answered), std::end(answered), false);
        }
        const char *suffix = spoken.voice == SpokenLine::NpcToMalePc ? "m" : spoken.voice == SpokenLine::NpcToFemalePc ? "f" : "";
        id = name + "-" + std::to_string(spoken.line->GetFileLine()) + suffix;
        AppendField(m_csv, id);
        m_csv += ',';
        // "NPC to a male PC": the NPC speaks to "a male PC".
        const std::string_view context = SpokenLine::Context(spoken.voice);
        AppendField(m_csv, spoken.IsNpc() ? std::string_view(name) : spoken.voice == SpokenLine::AnyPc ? "PC" : context);
        m_csv += ',';
        AppendField(m_csv, spoken.IsNpc() ? context.substr(context.find(" to ") + 4) : std::string_view(name));
        m_csv += ',';
        text.clear();
        if (spoken.generated)
            text = ShownSpeech::Kind(spoken.text);
        else
            Windows1252::AppendUtf8(text, spoken.text);
        AppendField(m_csv, text);
        m_csv += ',';
        m_csv += std::to_string(spoken.generated ? 0 : SpeechWords::Count(spoken.text));
        m_csv += ',';
        if (spoken.IsNpc()) {
            AppendField(m_csv, LeadIn(spoken, leads));
        } else {
            const size_t pc = static_cast<size_t>(spoken.voice - SpokenLine::AnyPc);
            if (!answered[pc])
                answers[pc] = Answered(spoken);
            answered[pc] = true;
            AppendField(m_csv, answers[pc]);
        }
        m_csv += ',';
        AppendField(m_csv, pageName);
        m_csv += ',';
        text.clear();
        Windows1252::AppendUtf8(text, spoken.line->ViewDescription());
        AppendField(m_csv, text);
        m_csv += ',';
        AppendField(m_csv, id + ".wav");
        m_csv += "\r\n";
    }
    m_rows += lines.size();
    m_names.insert(name);
    return true;
}
