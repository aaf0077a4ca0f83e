#pragma once

#include <span>
#include <string>
#include <string_view>

class DialogLine;

// What a comparison of two versions of a conversation looks at in a page or
// an option, each by the name a writer knows it by. Numbers are no part of
// it: a jump, and the page a Request money speech leads to, are the page
// they lead to.
enum class LineField {
    Name,
    Speech,
    FemaleSpeech,
    Description,
    Remarks,
    PageField3,
    PageField6,
    GenderCheck,
    IntelligenceCheck,
    Conditions,
    Results,
    Target,
};

class LineFields {
public:
    // The fields of a page, and of an option, in the order they are shown.
    static std::span<const LineField> OfPage();
    static std::span<const LineField> OfOption();

    // "speech", "gender check", "leads to", ...
    static std::string_view Name(LineField field);
    // The text of the field as it is compared: generated speech in its
    // canonical code, a Request money speech without its page number when
    // it leads to a page, a jump's number only when it leads to no page.
    static std::string Text(const DialogLine &line, LineField field);
    // The page the field leads to: an option's target, the page of a
    // Request money speech; null for any other field and for none.
    static const DialogLine *Page(const DialogLine &line, LineField field);
    // The field as a writer reads it: checks in words, jumps by page name.
    static std::string Shown(const DialogLine &line, LineField field);
    // Whether the field holds what a new line holds: no text, anyone, no
    // intelligence check, the dialog ends.
    static bool IsDefault(const DialogLine &line, LineField field);
};
