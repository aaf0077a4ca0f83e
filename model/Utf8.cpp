#include "model/Utf8.h"

bool Utf8::Next(std::string_view text, size_t &i, char32_t &c)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        c = lead;
        ++i;
        return true;
    }
    size_t length = 0;
    unsigned char low = 0x80; // the range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
        c = lead & 0x07;
    } else {
        return false;
    }
    if (i + length > text.size())
        return false;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
            return false;
        c = (c << 6) | (next & 0x3F);
    }
    i += length;
    return true;
}

bool Utf8::IsValid(std::string_view text)
{
    char32_t c;
    for (size_t i = 0; i < text.size();) {
        if (!Next(text, i, c))
            return false;
    }
    return true;
}

void Utf8::Append(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

size_t Utf8::Length(std::string_view text)
{
    size_t length = 0;
    for (const char b : text)
        length += (static_cast<unsigned char>(b) & 0xC0) != 0x80;
    return length;
}
