#pragma once

#include "model/DialogLine.h"

#include <functional>
#include <string>
#include <string_view>

class DialogFile;

// The texts of a document that a writer reads and a search looks through:
// names, descriptions, remarks, speeches (generated speech by its code,
// which holds its values), conditions and results.
class DocumentText {
public:
    enum Kind { Name, Description, Remarks, Speech, FemaleSpeech, Conditions, Results };

    // Where a text stands: its page, its line (the page itself or one of
    // its options, -1 for the page) and which text of the line it is.
    struct Place {
        DialogLine *page;
        DialogLine *line;
        int option;
        Kind kind;
    };

    // Calls visit with each non-empty text of the document in file order.
    static void ForEach(const DialogFile &file, const std::function<void(const Place &, std::string_view)> &visit);
    // The text of kind in line.
    static std::string_view Get(const DialogLine &line, Kind kind);
    // "name", "speech", ...: which text it is, for lists.
    static std::string_view KindName(Kind kind);
    // Which text of its page a place is: "page name", "option 2 speech", ...
    static std::string WhichText(const Place &place);

    // Empty when text can replace the text of kind and read back as it is;
    // otherwise why not.
    static std::string CheckStorable(std::string_view text, Kind kind);
    // content with its text of kind set to text; generated speech is
    // decoded, and a page with one speech for both genders keeps it so.
    static void Set(DialogLine::Content &content, const Place &place, std::string_view text);
};
