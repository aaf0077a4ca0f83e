#pragma once

#include "compare/LineFields.h"

#include <string>
#include <vector>

class DialogFile;

// What changed between two versions of a conversation, as a writer would say
// it: pages added, removed, renamed and moved, and for a page that stayed,
// its texts and its options. dlgtool diff prints it; a window may list it.
class ConversationDiff {
public:
    enum class Change { Added, Removed, Changed };

    // One field, as a writer reads it before and after. Of an added page or
    // option: each field that holds something, with before empty.
    struct Field {
        LineField field;
        std::string before;
        std::string after;
        // A text, whose words may be marked; otherwise a check or a jump.
        bool IsText() const;
    };

    struct Option {
        Change change = Change::Changed;
        int before = -1; // its index among the page's options in either version; -1 where it has none
        int after = -1;
        bool moved = false;
        std::string speech; // after, or before for a removed option
        std::vector<Field> fields;
    };

    struct Page {
        Change change = Change::Changed;
        int before = -1; // its index in either version; -1 where it has none
        int after = -1;
        std::string name;    // after, or before for a removed page
        std::string oldName; // before, when the page was renamed
        bool renamed = false;
        bool moved = false;
        std::vector<Field> fields;
        std::vector<Option> options;
    };

    static ConversationDiff Compare(const DialogFile &before, const DialogFile &after);

    // In the order of after; a removed page where it stood before.
    const std::vector<Page> &GetPages() const { return m_pages; }
    // Whether the two are the same conversation.
    bool IsSame() const { return m_pages.empty(); }

private:
    std::vector<Page> m_pages;
};
