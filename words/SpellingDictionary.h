#pragma once

#include <string>
#include <string_view>
#include <vector>

// A dictionary of one language, as spelling asks it: words go in and come
// out as the bytes of a dialog file (Windows-1252). The spelling adapter
// (spelling/) provides one over a library's dictionaries; the core knows
// only this.
class SpellingDictionary {
public:
    virtual ~SpellingDictionary() = default;

    // Whether the word is spelt right, with the capitals the language allows
    // ("Tavern" at the start of a sentence as "tavern").
    virtual bool Knows(std::string_view word) = 0;
    // What the word may have been meant to be, best first; words that a
    // dialog file could not hold are left out.
    virtual std::vector<std::string> Suggest(std::string_view word) = 0;
    // Makes the word known, and a suggestion, for as long as the dictionary lives.
    virtual void Add(std::string_view word) = 0;
};
