#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Strict UTF-8: no overlong forms, no UTF-16 surrogates (U+D800 to U+DFFF),
// nothing above U+10FFFF.
class Utf8 {
public:
    // Decodes the character that starts at text[i] into c and moves i past
    // it; false (i unchanged) when no valid character starts there.
    static bool Next(std::string_view text, size_t &i, char32_t &c);
    static bool IsValid(std::string_view text);
    // Appends the UTF-8 form of c, a code point below U+110000.
    static void Append(std::string &out, char32_t c);
    // How many characters valid text holds.
    static size_t Length(std::string_view text);
};
