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
    static void AppendUtf8(std::string_view bytes, std::string &utf8);
    // The bytes of UTF-8 text; false when it is not valid UTF-8 or holds a
    // character that Windows-1252 lacks (bytes is then left as it was);
    // valid, when given, says which.
    static bool FromUtf8(std::string_view utf8, std::string &bytes, bool *valid = nullptr);

    // What the character of a byte is, by Unicode: a letter (of any case,
    // modifier letters too), a number (digits, but also superscripts and
    // fractions); and the byte of its lower case, itself when it has none.
    static bool IsLetter(unsigned char byte);
    static bool IsNumber(unsigned char byte);
    static unsigned char Lower(unsigned char byte);
};
