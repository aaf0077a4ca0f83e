#include "speech/ShownSpeech.h"

#include "speech/GeneratedSpeechKind.h"
#include "speech/SpeechText.h"

std::string ShownSpeech::Of(std::string_view stored)
{
    SpeechText code;
    DecodeSpeech(code, stored);
    if (code.kind == 0)
        return std::string(stored);
    const GeneratedSpeechKind *kind = nullptr;
    for (const GeneratedSpeechKind &row : GeneratedSpeechKind::Table()) {
        if (row.id == code.kind) {
            kind = &row;
            break;
        }
    }
    std::string_view name = kind->label;
    while (name.ends_with('.'))
        name.remove_suffix(1);

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
