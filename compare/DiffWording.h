#pragma once

#include "compare/ConversationDiff.h"

#include <string>

// What changed, in the words a writer uses: the line that heads the changes
// of a page or of an option, as dlgtool diff prints it and the window lists it.
class DiffWording {
public:
    // page "Inn": renamed from "Tavern", moved from page 4 to page 9, changed
    static std::string Page(const ConversationDiff::Page &page);
    // option 2 "Go on.": moved from option 1, changed
    static std::string Option(const ConversationDiff::Option &option);
    // A field of a page or option: its name and what it now holds, for one
    // added, or how it changed, which a text shows by marked(before, after).
    template <typename Marked>
    static std::string Field(const ConversationDiff::Field &field, bool added, Marked marked)
    {
        std::string text = std::string(LineFields::Name(field.field)) + ": ";
        if (added)
            return text + field.after;
        if (field.IsText())
            return text + marked(field.before, field.after);
        return text + field.before + " -> " + field.after;
    }
};
