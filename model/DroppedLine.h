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
        SharedBrace,       // a "{" inside a field that a save writes, where one "}" closes several fields
        JumpToNoPage,      // an option's jump to a page number that no page has
        MoneyToNoPage,     // a Request money speech that names a page number no page has
    };

    int line = 0; // 1-based
    Kind kind = NotDialogLine;
    int lines = 1; // a run of lines dropped alike: this many, from line on

    // What was dropped, as a phrase: "not a dialog line or a comment".
    static const char *What(Kind kind);
    // Whether the whole line goes, rather than a part of it.
    static bool IsWholeLine(Kind kind);
    // "line 4: not a dialog line or a comment", "lines 4 to 9: ..."
    std::string ToText() const;
    // "4", "4 to 9": the line or lines dropped.
    std::string Lines() const;
    // One ToText a run for the first few, then "and N more".
    static std::string List(const std::vector<DroppedLine> &dropped, size_t most);
    // How many lines, or parts of lines, the runs hold.
    static long long CountLines(const std::vector<DroppedLine> &dropped);
    // Adds a drop to a list in line order, joining it to the run it continues.
    static void Add(std::vector<DroppedLine> &dropped, int line, Kind kind);
    // Sorts a list by line and joins the runs that then touch.
    static void Sort(std::vector<DroppedLine> &dropped);

    bool operator==(const DroppedLine &) const = default;
};
