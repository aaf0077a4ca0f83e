#pragma once

#include <string>

// One problem that dlgtool check reports, in the form compilers use:
// FILE:LINE: error|warning|note: message (no LINE for the file as a whole).
struct Finding {
    enum Severity { Error, Warning, Note };

    std::string file;
    int line = 0;
    Severity severity = Error;
    std::string message;
    // Where in the document, for an editor to show: the page's index and
    // its option's, -1 where none applies.
    int page = -1;
    int option = -1;
    // The line is not in the file yet: line is where a save will write it.
    bool unsaved = false;

    static const char *SeverityName(Severity severity);
    std::string ToText() const;
    bool operator<(const Finding &other) const;
};
