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

bool Windows1252::FromUtf8(std::string_view utf8, std::string &bytes, bool *valid)
{
    const auto invalid = [valid] {
        if (valid)
            *valid = false;
        return false;
    };
    bool lacking = false; // a character Windows-1252 has no byte for
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        // The length of the sequence and the smallest code point it may carry.
        const size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (length == 0 || i + length > utf8.size())
            return invalid();
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return invalid();
            c = (c << 6) | (next & 0x3F);
        }
        if (c < smallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            return invalid();
        unsigned char byte = 0;
        if (FromUnicode(c, byte))
            out += static_cast<char>(byte);
        else
            lacking = true;
        i += length;
    }
    if (valid)
        *valid = true;
    if (lacking)
        return false;
    bytes = std::move(out);
    return true;
}

namespace {

enum : unsigned char { kLetter = 1, kNumber = 2 };

// Per byte: whether its character is a letter or a number, and its lower case.
struct CharacterTable {
    unsigned char kind[256] = {};
    unsigned char lower[256] = {};

    constexpr CharacterTable()
    {
        for (int b = 0; b < 256; ++b)
            lower[b] = static_cast<unsigned char>(b);
        const auto letters = [this](int from, int to) {
            for (int b = from; b <= to; ++b)
                kind[b] = kLetter;
        };
        letters('A', 'Z');
        letters('a', 'z');
        letters(0xC0, 0xFF);
        kind[0xD7] = kind[0xF7] = 0; // the multiplication and division signs
        // f with hook, modifier circumflex, the carons, OE, Y diaeresis,
        // the ordinal indicators and micro.
        for (const int b : {0x83, 0x88, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA})
            kind[b] = kLetter;
        for (int b = '0'; b <= '9'; ++b)
            kind[b] = kNumber;
        for (const int b : {0xB2, 0xB3, 0xB9, 0xBC, 0xBD, 0xBE})
            kind[b] = kNumber; // superscripts and fractions
        for (int b = 'A'; b <= 'Z'; ++b)
            lower[b] = static_cast<unsigned char>(b + 0x20);
        for (int b = 0xC0; b <= 0xDE; ++b)
            lower[b] = b == 0xD7 ? 0xD7 : static_cast<unsigned char>(b + 0x20);
        lower[0x8A] = 0x9A;
        lower[0x8C] = 0x9C;
        lower[0x8E] = 0x9E;
        lower[0x9F] = 0xFF;
    }
};

constexpr CharacterTable kCharacters;

} // namespace

bool Windows1252::IsLetter(unsigned char byte)
{
    return kCharacters.kind[byte] == kLetter;
}

bool Windows1252::IsNumber(unsigned char byte)
{
    return kCharacters.kind[byte] == kNumber;
}

unsigned char Windows1252::Lower(unsigned char byte)
{
    return kCharacters.lower[byte];
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
