#pragma once

#include "translation/TranslationEntry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class DialogFile;

// A PO template of the texts the game shows from conversations and does
// not write itself: every unique speech of a page or an option, in file
// order, each in the context of who says it to whom. A text said in one
// context in several places is one entry, which lists its places and what
// the translator should know of each: the page, the option's checks, the
// NPC speech it answers.
class TranslationTemplate {
public:
    // The places listed with each entry; the count of the rest follows them.
    static constexpr size_t kListedPlaces = 100;

    TranslationTemplate();

    // Adds the texts of file, whose places are named by name.
    void Add(const DialogFile &file, std::string_view name);
    // The header (charset UTF-8), then an entry for each text and context,
    // in the order they were first found.
    std::vector<TranslationEntry> GetEntries() const;

private:
    struct Found {
        size_t places = 0; // listed or not
        std::unordered_set<std::string> comments;
    };

    std::vector<TranslationEntry> m_entries;
    std::vector<Found> m_found; // by entry
    std::unordered_map<std::string, size_t> m_index; // by TranslationEntry::Key
};
