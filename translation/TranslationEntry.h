#pragma once

#include <string>
#include <string_view>
#include <vector>

// One entry of a PO file, its texts in UTF-8: a text to translate (msgid)
// in its context (msgctxt), its translation (msgstr, empty while it is
// untranslated), and what the translator reads beside it.
struct TranslationEntry {
    // A place where the text stands: a line of a file ("#: FILE:LINE").
    struct Place {
        std::string file;
        int line = 0;

        bool operator==(const Place &) const = default;
    };

    std::string context; // empty: none
    std::string source;  // empty: the file's header, whose fields are its translation
    std::string translation;
    bool fuzzy = false;
    std::vector<std::string> comments; // for the translator ("#."), one line each
    std::vector<Place> places;
    // The line of the PO file that holds the translation; 0 when not known.
    int poLine = 0;

    // What tells entries apart: the context and the text, as gettext
    // joins them.
    static std::string Key(std::string_view context, std::string_view source)
    {
        std::string key(context);
        key += '\x04';
        key += source;
        return key;
    }
};
