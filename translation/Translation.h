#pragma once

#include "translation/TranslationEntry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class DialogFile;
class DialogLine;

// The entries of a PO file read against one document: which texts of the
// document they translate, which translations the file could not carry
// back, and what a translator should look at again. A text is translated by
// the entry of its words in its context; fuzzy and untranslated entries
// leave it as it is. One PO file may serve many documents: an entry
// concerns this one when it translates one of its texts, or names it (by
// its file's name) or no file among its places.
class Translation {
public:
    struct Refusal {
        size_t entry;
        std::string reason; // "it holds a brace ..."
    };
    struct Overlong {
        size_t entry;
        double times; // how many times as long as its source, in characters
    };

    // Reads entries (the header among them, which translates nothing)
    // against file, read from path, which must outlive this.
    Translation(DialogFile &file, std::string_view path, const std::vector<TranslationEntry> &entries);

    // By entry, in the entries' order.
    const std::vector<Refusal> &GetRefusals() const { return m_refusals; }
    // Entries of the document whose text no longer stands in it in their
    // context.
    const std::vector<size_t> &GetGone() const { return m_gone; }
    // Translations more than twice as long as their source: the game's
    // window may cut them.
    const std::vector<Overlong> &GetOverlong() const { return m_overlong; }
    // The entries that concern the document, and how they stand.
    size_t GetEntryCount() const { return m_entryCount; }
    size_t GetTranslatedCount() const { return m_entryCount - m_untranslated - m_fuzzy; }
    size_t GetUntranslatedCount() const { return m_untranslated; }
    size_t GetFuzzyCount() const { return m_fuzzy; }
    // Texts of the document that no entry names (new since the template).
    size_t GetUnlistedCount() const { return m_unlisted; }

    // Puts every translation into the document; false, changing nothing,
    // while one is refused.
    bool Apply();

private:
    // One text of the document that an entry's translation changes.
    struct Use {
        DialogLine *line;
        bool speech;       // field 1
        bool femaleSpeech; // field 2
        size_t entry;
    };

    // Why the file cannot carry a translation in this use: its bytes, or
    // (not valid) the character that kept it from having them; empty when
    // it can.
    static std::string Refuse(char32_t missing, const std::string &bytes, const Use &use, bool valid);

    std::vector<Use> m_uses;
    std::vector<std::string> m_bytes; // by entry: the translation in Windows-1252
    std::vector<Refusal> m_refusals;
    std::vector<size_t> m_gone;
    std::vector<Overlong> m_overlong;
    size_t m_entryCount = 0;
    size_t m_untranslated = 0;
    size_t m_fuzzy = 0;
    size_t m_unlisted = 0;
};
