#pragma once

#include "words/TextWords.h"

#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class KnownWords;
class SpellingDictionary;

// Spelling over one dictionary: which words of a text are misspelt, what
// they may have been meant to be, and words to take as right for the rest
// of the session. It remembers the dictionary's answers, so that a word met
// again costs a look-up: a text is checked as fast as it is typed. Every
// member may be called from several threads at once (the user interface's
// and a background check's).
class SpellChecker {
public:
    explicit SpellChecker(std::unique_ptr<SpellingDictionary> dictionary);
    ~SpellChecker();
    SpellChecker(const SpellChecker &) = delete;
    SpellChecker &operator=(const SpellChecker &) = delete;

    // The words of text (dialog-file bytes) that neither the dictionary nor
    // known knows, as byte ranges of text, in order.
    std::vector<TextWords::Range> Misspelt(std::string_view text, const KnownWords &known) const;
    bool Knows(std::string_view word, const KnownWords &known) const;
    // What the dictionary says, remembered.
    bool DictionaryKnows(std::string_view word) const;
    // The dictionary's suggestions for word, best first. A word of more
    // than kLongestSuggested bytes has none: no word is that long, and the
    // dictionary's search grows slow with the length (a tenth of a second
    // at 60 letters).
    static constexpr size_t kLongestSuggested = 40;
    std::vector<std::string> Suggest(std::string_view word) const;
    // Takes word as right, and offers it as a suggestion, from now on for
    // every text of every document: "Ignore", and the words of lists that
    // hold for every file (the personal list, lists named on the command
    // line). A project's list and page names hold for its own files only,
    // and so go into their KnownWords instead.
    void Learn(std::string_view word);
    // Learns every word that known holds.
    void LearnAll(const KnownWords &known);

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    template <typename Value>
    using Map = std::unordered_map<std::string, Value, Hash, std::equal_to<>>;

    // The answer to word that answers remembers, or what ask() answers,
    // then remembered unless a word was learnt meanwhile.
    template <typename Value, typename Ask>
    Value Remembered(Map<Value> &answers, std::string_view word, Ask ask) const;

    // The dictionary is asked with no lock of ours held: the adapter takes
    // turns on its own.
    std::unique_ptr<SpellingDictionary> m_dictionary;
    mutable std::shared_mutex m_mutex; // guards what follows
    mutable Map<bool> m_known;
    mutable Map<std::vector<std::string>> m_suggestions;
    // Counts what Learn forgot, so that an answer the dictionary gave
    // before it learnt a word is not remembered after.
    unsigned long long m_learning = 0;
    std::unordered_set<std::string, Hash, std::equal_to<>> m_learnt;
};
