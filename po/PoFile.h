#pragma once

#include "translation/TranslationEntry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The one adapter to gettext's library of PO files (libgettextpo): PO text
// is read and written by gettext itself, so that msgmerge, msgfmt and every
// PO editor read what is written, and a file they would refuse is refused
// with gettext's own words. The library keeps its state in globals: one
// call at a time runs in it.
class PoFile {
public:
    // What gettext found wrong, and where; line 0 when it names no place.
    struct Problem {
        size_t line = 0;
        size_t column = 0; // 0: none
        std::string message;
    };

    // The PO text of entries, the header first (an entry without source).
    static bool Write(const std::vector<TranslationEntry> &entries, std::string &text, std::string &error);
    // The entries of PO text, in its order, their texts in UTF-8 whatever
    // the file's charset, each with its places and the line of its
    // translation; obsolete entries are left out, and so are comments. False with the first problem gettext found when
    // the text is no PO file.
    static bool Read(std::string_view text, std::vector<TranslationEntry> &entries, Problem &problem);
};
