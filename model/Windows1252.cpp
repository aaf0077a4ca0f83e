#include "model/Windows1252.h"

#include "model/Utf8.h"

namespace {

// 0x80 to 0x9F; the rest of the bytes are their own code points.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char32_t Windows1252::ToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

bool Windows1252::FromUnicode(char32_t c, unsigned char &byte)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        byte = static_cast<unsigned char>(c);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kHigh[i] == c) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

std::string Windows1252::ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    AppendUtf8(out, bytes);
    return out;
}

void Windows1252::AppendUtf8(std::string &out, std::string_view bytes)
{
    for (const char b : bytes) {
        if (static_cast<unsigned char>(b) < 0x80)
            out += b;
        else
            Utf8::Append(out, ToUnicode(static_cast<unsigned char>(b)));
    }
}

bool Windows1252::FromUtf8(std::string_view utf8, std::string &bytes, char32_t &missing)
{
    bytes.clear();
    bytes.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        unsigned char byte;
        if (!Utf8::Next(utf8, i, c)) {
            missing = 0xFFFD;
            return false;
        }
        if (!FromUnicode(c, byte)) {
            missing = c;
            return false;
        }
        bytes += static_cast<char>(byte);
    }
    return true;
}

bool Windows1252::FromUtf8(std::string_view utf8, std::string &bytes)
{
    char32_t missing = 0;
    return FromUtf8(utf8, bytes, missing);
}
