#pragma once

#include <string>
#include <string_view>
#include <vector>

class DialogFile;

// What the file format can carry back. The format has no escapes: a text
// that breaks these rules would be read back as something else.
class TextRules {
public:
    enum class Place {
        Field,       // any of a dialog line's seven fields, speeches included
        Label,       // a page's name, written as "// [LABEL] ..."
        Description, // written as "// [DESCRIPTION] ..."
        Remark,      // one line of free comment, written as "// ..."
    };

    // Empty when text can be stored in place and read back unchanged;
    // otherwise a sentence that tells the user why not.
    static std::string Check(std::string_view text, Place place);

    // Whether a page's field 2 lets the reader take it for a page: it must
    // be non-empty and must not start with a digit.
    static bool ReadsBackAsPage(std::string_view femaleSpeech);
    // The indexes of the pages that would not read back as pages.
    static std::vector<int> FindUnreadablePages(const DialogFile &file);
    // The page whose option such a page would be read back as: the nearest
    // readable page before it; -1 when there is none, so that the saved
    // file could not be read at all.
    static int FindReadBackOwner(const DialogFile &file, int index);
};
