#pragma once

#include "compare/LineFields.h"
#include "compare/SequenceMatch.h"

#include <string>
#include <unordered_map>

class DialogFile;
class DialogLine;

// Which page of one version of a conversation is which page of another:
// pages are matched by name (pages of one name in their order), then a page
// renamed but otherwise alike, then one whose NPC speech is the same; options
// of two matched pages by their content, then their speech, then their place
// between the options matched. Numbers never count.
class DocumentMatch {
public:
    DocumentMatch(const DialogFile &before, const DialogFile &after);

    const DialogFile &Before() const { return m_before; }
    const DialogFile &After() const { return m_after; }
    const SequenceMatch &Pages() const { return m_pages; }
    // The options of a matched page and of its match.
    SequenceMatch MatchOptions(int beforePage) const;

    // The index of a page of either version; -1 for null or any other line.
    int BeforeIndex(const DialogLine *page) const;
    int AfterIndex(const DialogLine *page) const;
    // Whether a page of before (or null) is a page of after (or null).
    bool SamePage(const DialogLine *before, const DialogLine *after) const;
    // Whether a line of before and one of after hold the same field, and
    // every field of a page or an option.
    bool SameField(const DialogLine &before, const DialogLine &after, LineField field) const;
    bool SameOption(const DialogLine &before, const DialogLine &after) const;
    // Whether a matched page is as it was: its fields, name included, and its
    // options, in their order.
    bool IsUnchanged(int beforePage) const;

private:
    void MatchPages();
    // Whether every field of a page (or an option) is as it was.
    bool SameFields(const DialogLine &before, const DialogLine &after, bool page) const;
    // A key that equal options share: every field, pages by their place in after.
    std::string OptionKey(const DialogLine &option, bool before) const;

    const DialogFile &m_before;
    const DialogFile &m_after;
    SequenceMatch m_pages;
    std::unordered_map<const DialogLine *, int> m_beforeIndex;
    std::unordered_map<const DialogLine *, int> m_afterIndex;
};
