#include "speech/ShownSpeech.h"

#include "speech/GeneratedSpeechKind.h"
#include "speech/SpeechText.h"

#include <algorithm>

namespace {

const GeneratedSpeechKind &RowOf(int id)
{
    const auto table = GeneratedSpeechKind::Table();
    return *std::find_if(table.begin(), table.end(), [id](const GeneratedSpeechKind &row) { return row.id == id; });
}

// The kind's label without the full stops some labels end in.
std::string_view NameOf(const GeneratedSpeechKind &kind)
{
    std::string_view name = kind.label;
    while (name.ends_with('.'))
        name.remove_suffix(1);
    return name;
}

} // namespace

std::string ShownSpeech::Kind(std::string_view stored)
{
    SpeechText code;
    DecodeSpeech(code, stored);
    if (code.kind == 0)
        return std::string(stored);
    return "[" + std::string(NameOf(RowOf(code.kind))) + "]";
}

std::string ShownSpeech::Of(std::string_view stored)
{
    SpeechText code;
    DecodeSpeech(code, stored);
    if (code.kind == 0)
        return std::string(stored);
    const GeneratedSpeechKind *kind = &RowOf(code.kind);
    const std::string_view name = NameOf(*kind);

    // What the kind names first, the money it costs last.
    std::string parameters;
    const auto add = [&parameters](std::string_view part) {
        if (!part.empty())
            parameters.append(parameters.empty() ? "" : "; ").append(part);
    };
    const std::string_view tpl = kind->codeTemplate;
    if (tpl.find("%s") != std::string_view::npos)
        add(code.s);
    if (tpl.find("%l") != std::string_view::npos) {
        std::string items;
        for (const char c : code.l)
            items += c == ',' ? std::string(", ") : std::string(1, c);
        add(items);
    }
    if (code.kind == GeneratedSpeechKind::RequestNpcToUseSkill && code.n != 0)
        add("skill " + std::to_string(code.n));
    else if (code.kind == GeneratedSpeechKind::RequestNpcToCastSpell)
        add("spell " + std::to_string(code.n));
    if (tpl.find("%m") != std::string_view::npos)
        add(std::to_string(code.m) + " gold");
    std::string shown = "[";
    shown.append(name);
    if (!parameters.empty())
        shown.append(": ").append(parameters);
    return shown.append("]");
}
