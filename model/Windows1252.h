#pragma once

#include <string>
#include <string_view>

// The lossless mapping between the bytes of a dialog file and Unicode.
// Windows-1252 leaves five bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) undefined;
// they map to the control characters of the same value, so every one of the
// 256 bytes has its own character and comes back as itself.
class Windows1252 {
public:
    static char32_t ToUnicode(unsigned char byte);
    // The byte for a character; false when Windows-1252 has none for it.
    static bool FromUnicode(char32_t c, unsigned char &byte);

    static std::string ToUtf8(std::string_view bytes);
    // The bytes of UTF-8 text; false when it is not strict UTF-8 or holds a
    // character that Windows-1252 lacks.
    static bool FromUtf8(std::string_view utf8, std::string &bytes);
    static void AppendUtf8(std::string &out, std::string_view bytes);
    // The bytes of UTF-8 text; false when it is not valid UTF-8 (missing is
    // then U+FFFD) or holds a character that Windows-1252 lacks (missing is
    // that character).
    static bool FromUtf8(std::string_view utf8, std::string &bytes, char32_t &missing);
    // The same, saying in valid whether the text was valid UTF-8; bytes is
    // left as it was when false is returned.
    static bool FromUtf8(std::string_view utf8, std::string &bytes, bool *valid);

    // What the character of a byte is, by Unicode: a letter (of any case,
    // modifier letters too), a number (digits, but also superscripts and
    // fractions); and the byte of its lower case, itself when it has none.
    static bool IsLetter(unsigned char byte);
    static bool IsNumber(unsigned char byte);
    static unsigned char Lower(unsigned char byte);
};
