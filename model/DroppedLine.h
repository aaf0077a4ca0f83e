#pragma once

#include <string>
#include <vector>

// A line, or part of one, that reading a dialog file could not take into
// the document, so that saving the document would not write it back.
struct DroppedLine {
    enum Kind {
        NotDialogLine,     // text that is neither a dialog line nor a comment
        TooFewFields,      // braces, but fewer than seven fields
        TextOutside,       // text before the first field or between fields
        TextAfterSeventh,  // text after the seventh field
        FieldsPastSeventh, // an eighth field and more
        LoneCr,            // lines that end in a lone CR, read as one line
        AfterNul,          // a NUL byte, after which nothing is read
        TrailingComment,   // a comment after the last dialog line
        ReplacedComment,   // a name or description that a later one replaces
        OptionLabel,       // a "[LABEL]" comment above a PC option
    };

    int line = 0; // 1-based
    Kind kind = NotDialogLine;

    // What was dropped, as a phrase: "not a dialog line or a comment".
    static const char *What(Kind kind);
    // Whether the whole line goes, rather than a part of it.
    static bool IsWholeLine(Kind kind);
    // "line 4: not a dialog line or a comment"
    std::string ToText() const;
    // One ToText a line for the first few, then "and N more".
    static std::string List(const std::vector<DroppedLine> &dropped, size_t most);

    bool operator==(const DroppedLine &) const = default;
};
