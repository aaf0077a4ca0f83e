#pragma once

#include <string_view>
#include <vector>

class DialogFile;
class DialogLine;

// One speech that a voice says in a conversation: what the NPC says on a
// page, to PCs of one gender or to both, or what the PC says in an option.
// A speech without text says nothing and is never one.
struct SpokenLine {
    // In this order: the NPC's voices, then the PC's.
    enum Voice { NpcToAnyPc, NpcToMalePc, NpcToFemalePc, AnyPc, MalePc, FemalePc };

    Voice voice;
    DialogLine *line; // the page, or the option
    DialogLine *page; // the page that the line stands on
    // As stored (Windows-1252): unique speech, or a generated-speech code.
    // It points into the line, and holds until the line changes.
    std::string_view text;
    bool generated;

    bool IsNpc() const { return voice <= NpcToFemalePc; }
    // Field 1 of the line holds the text; an NPC's speech to female PCs, and
    // to any PC, is field 2 too.
    bool InFemaleSpeech() const { return voice == NpcToAnyPc || voice == NpcToFemalePc; }
    bool InSpeech() const { return voice != NpcToFemalePc; }

    // Who speaks to whom, as translators and voice directors read it:
    // "NPC to any PC", "NPC to a male PC", "NPC to a female PC", "PC of
    // either gender", "male PC", "female PC".
    static std::string_view Context(Voice voice);
    // Every speech of file in file order: each page's (one when the page
    // speaks alike to both genders, else to male PCs, then to female PCs),
    // then its options' in order.
    static std::vector<SpokenLine> Collect(const DialogFile &file);
    // What the NPC said that an option answers: its page's speech to PCs of
    // the option's gender; to both genders, one after the other, when the
    // option is for either and the page speaks to them differently.
    static std::vector<SpokenLine> Answered(const SpokenLine &option);
};
