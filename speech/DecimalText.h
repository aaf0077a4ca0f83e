#pragma once

#include <string_view>

// Numbers as the game writes them in text.
class DecimalText {
public:
    // Reads text the way atoi does: leading blanks, an optional sign, then
    // digits up to the first non-digit; 0 without digits. Values beyond the
    // 32-bit range clamp to the nearest 32-bit value.
    static int ToInt(std::string_view text);
};
