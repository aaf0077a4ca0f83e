#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class DialogFile;
class DialogLine;
class KnownWords;
class SpellChecker;

// What spelling reads in a document, and its findings there. It reads every
// speech the game shows in words: the NPC's unique speech to male PCs, to
// female PCs where it differs, and the PCs' options. Generated speech is a
// code, conditions and results are the game's script, and a page's name and
// description are the writer's own labels: none is read. An option that
// only PCs below some intelligence are offered speaks as such a PC speaks,
// misspelt on purpose, and is read only when the options ask for it.
class SpellingCheck {
public:
    struct Options {
        bool lowIntelligenceOptions = false; // read options that only PCs below an intelligence are offered
    };

    // Which text of a line a finding is in.
    enum class Text { NpcSpeech, FemaleNpcSpeech, OptionSpeech };

    // One misspelt word.
    struct Finding {
        int page = -1;   // the page's index
        int option = -1; // its option's, or -1 for the NPC's speech
        Text text = Text::NpcSpeech;
        int line = 0;    // the file line of the page or option (0: made since reading)
        size_t begin = 0, end = 0; // the word's bytes in that text
        std::string word;
        bool operator==(const Finding &) const = default;
    };

    // Calls read(page, option, text, bytes) for each text that spelling
    // reads, in file order.
    using Reader = std::function<void(int page, int option, Text text, std::string_view bytes)>;
    static void ForEachText(const DialogFile &file, const Options &options, const Reader &read);
    // Whether spelling reads the NPC's speech of page (to male PCs, and to
    // all when it is the same for both), and that to female PCs.
    static bool ReadsSpeech(const DialogLine &page);
    static bool ReadsFemaleSpeech(const DialogLine &page);
    // Whether spelling reads the option's speech: unique speech, of an
    // option whose intelligence check (as an option dialog holds it while
    // it is typed, say) lets it read.
    static bool ReadsOption(const DialogLine &option, const Options &options);
    static bool ReadsOptionChecking(std::string_view intelligenceCheck, const Options &options);
    // Every misspelt word of the document, in file order. Reads the document
    // only, so it may run on a copy of it on another thread.
    static std::vector<Finding> CheckDocument(const DialogFile &file, const SpellChecker &checker, const KnownWords &known,
                                              const Options &options);
};
