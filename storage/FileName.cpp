#include "storage/FileName.h"

#include <cstdio>

std::string FileName::Printable(std::string_view name)
{
    std::string text;
    text.reserve(name.size());
    for (const char c : name) {
        switch (c) {
        case '\\':
            text += "\\\\";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                text += escaped;
            } else {
                text += c;
            }
        }
    }
    return text;
}
