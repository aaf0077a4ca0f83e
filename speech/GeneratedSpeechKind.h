#pragma once

#include <span>
#include <string>
#include <string_view>

struct SpeechText;

// One row of the fixed table of generated-speech kinds. The row order
// matters: decoding takes the first row whose prefix matches.
struct GeneratedSpeechKind {
    std::string_view codeTemplate; // "R:%m,%l": a two-character prefix, then placeholders
    std::string_view label;        // shown in the kind lists of the speech dialogs
    int id;                        // 1 to 23; 0 stands for unique speech

    // Ids of kinds that have a meaning of their own in the editor.
    static constexpr int RequestNpcToCastSpell = 13;
    static constexpr int RequestNpcToUseSkill = 16;
    static constexpr int Greeting = 20;
    static constexpr int RequestMoney = 21;

    static std::span<const GeneratedSpeechKind> Table();
};

// Decodes text into record in place. A text whose first two characters match
// no prefix is unique speech: the kind becomes 0 and nothing else changes.
void DecodeSpeech(SpeechText &record, std::string_view text);

// The canonical code of record; empty when its kind is 0 or unknown.
std::string EncodeSpeech(const SpeechText &record);

// The label of the first row with this id, or the empty text.
std::string_view GetSpeechKindLabel(int id);
