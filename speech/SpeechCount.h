#pragma once

#include <map>
#include <string>

class DialogFile;
class DialogLine;

// What dlgtool stats counts of a conversation: its pages and options, the
// words of the NPC's and the PCs' unique speech (the speech to female PCs
// too where it differs), and the generated speech by kind, whose words are
// the game's and not counted.
struct SpeechCount {
    long long pages = 0;
    long long options = 0;
    long long npcWords = 0;
    long long pcWords = 0;
    std::map<std::string, long long> generated; // by the kind's label

    // A page with its options.
    void AddPage(const DialogLine &page);
    void Add(const SpeechCount &other);
    static SpeechCount Of(const DialogFile &file);
    static SpeechCount OfPage(const DialogLine &page);
};
