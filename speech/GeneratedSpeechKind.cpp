#include "speech/GeneratedSpeechKind.h"

#include "speech/DecimalText.h"
#include "speech/SpeechText.h"

#include <algorithm>
#include <array>

namespace {

// "U:%n" carries the skill that the NPC is asked to use. A skill of 0 is
// written as the bare "U:", so files that never had a number keep their form.
constexpr std::array<GeneratedSpeechKind, 23> kKinds{{
    {"G:%s", "Greeting", 20},
    {"M:%m,%n", "Request money", 21},
    {"A:", "Express gratitude/appreciation", 17},
    {"B:", "Barter/Gamble", 5},
    {"C:", "Check story state", 6},
    {"D:%m,%l", "Request directions to..", 3},
    {"E:", "Exit", 8},
    {"F:", "Forget it", 9},
    {"H:", "Request healing", 14},
    {"K:", "Ask more questions", 4},
    {"L:", "Display the World Map", 7},
    {"N:", "No", 10},
    {"P:", "Purchase newspaper", 11},
    {"Q:", "Quest", 12},
    {"S:", "Apologise", 1},
    {"T:%l", "Request training in skill..", 15},
    {"U:%n", "Request NPC to use skill..", 16},
    {"W:", "Request NPC identity", 18},
    {"X:%m,%l", "Request exact location of..", 2},
    {"Y:", "Yes", 19},
    {"Z:%n", "Request NPC to cast spell..", 13},
    {"I:", "Insult", 22},
    {"R:%m,%l", "Rumour", 23},
}};

static_assert(std::all_of(kKinds.begin(), kKinds.end(), [](const GeneratedSpeechKind &kind) {
    return kind.codeTemplate.size() >= 2 && kind.codeTemplate[1] == ':';
}), "decoding looks for the colon of a prefix first");

const GeneratedSpeechKind *FindById(int id)
{
    for (const GeneratedSpeechKind &kind : kKinds) {
        if (kind.id == id)
            return &kind;
    }
    return nullptr;
}

// Cuts the next comma-separated piece off the front of text.
std::string_view TakePiece(std::string_view &text)
{
    const size_t comma = text.find(',');
    std::string_view piece = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    return piece;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::span<const GeneratedSpeechKind> GeneratedSpeechKind::Table()
{
    return kKinds;
}

void DecodeSpeech(SpeechText &record, std::string_view text)
{
    const GeneratedSpeechKind *match = nullptr;
    // Every prefix is a letter and a colon; most speech is not a code.
    if (text.size() >= 2 && text[1] == ':') {
        for (const GeneratedSpeechKind &kind : kKinds) {
            if (text[0] == kind.codeTemplate[0]) {
                match = &kind;
                break;
            }
        }
    }
    if (!match) {
        record.kind = 0;
        return;
    }
    record.kind = match->id;
    std::string_view rest = text.substr(2);
    std::string_view tpl = match->codeTemplate.substr(2);
    while (!tpl.empty() && tpl.front() == '%') {
        const std::string_view placeholder = TakePiece(tpl);
        const std::string_view value = TakePiece(rest);
        switch (placeholder.size() > 1 ? Lower(placeholder[1]) : '\0') {
        case 'n':
            record.n = DecimalText::ToInt(value);
            break;
        case 'm':
            record.m = DecimalText::ToInt(value);
            break;
        case 's':
            record.s = value;
            break;
        case 'l':
            // The list takes everything to the end of the code.
            record.l = value;
            if (!rest.empty()) {
                record.l += ',';
                record.l += rest;
                rest = {};
            }
            break;
        default:
            break;
        }
    }
}

std::string EncodeSpeech(const SpeechText &record)
{
    const GeneratedSpeechKind *kind = FindById(record.kind);
    if (!kind)
        return {};
    std::string code(kind->codeTemplate.substr(0, 2));
    if (kind->id == GeneratedSpeechKind::RequestNpcToUseSkill && record.n == 0)
        return code;
    std::string_view tpl = kind->codeTemplate.substr(2);
    while (!tpl.empty() && tpl.front() == '%') {
        const bool moreFollow = tpl.find(',') != std::string_view::npos;
        const std::string_view placeholder = TakePiece(tpl);
        switch (placeholder.size() > 1 ? Lower(placeholder[1]) : '\0') {
        case 'n':
            code += std::to_string(record.n);
            break;
        case 'm':
            code += std::to_string(record.m);
            break;
        case 'l':
            code += record.l;
            break;
        case 's':
            code += record.s;
            break;
        default:
            break;
        }
        if (moreFollow)
            code += ',';
    }
    return code;
}

std::string_view GetSpeechKindLabel(int id)
{
    const GeneratedSpeechKind *kind = FindById(id);
    return kind ? kind->label : std::string_view();
}
