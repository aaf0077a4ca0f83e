#pragma once

#include <QString>
#include <string>
#include <string_view>

// The editor's one conversion between the bytes of a dialog file
// (Windows-1252) and the text that widgets show. It is lossless: every byte
// has its own character, so an untouched text comes back byte for byte.
class AnsiText {
public:
    static QString ToDisplay(std::string_view bytes);
    // False when text holds a character that Windows-1252 cannot carry;
    // bytes is then left as it was.
    static bool FromDisplay(const QString &text, std::string &bytes);
    // File names are the system's, not the file format's.
    static QString FileNameToDisplay(const std::string &name);
};
