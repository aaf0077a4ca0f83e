#include "words/TextWords.h"

namespace {

// The capitals outside A to Z and 0xC0 to 0xDE, each with its small letter:
// Š, Œ, Ž and Ÿ.
constexpr unsigned char kUpper[] = {0x8A, 0x8C, 0x8E, 0x9F};
constexpr unsigned char kLower[] = {0x9A, 0x9C, 0x9E, 0xFF};

} // namespace

std::vector<TextWords::Range> TextWords::Split(std::string_view text)
{
    std::vector<Range> words;
    ForEach(text, [&](size_t begin, size_t end) { words.push_back({begin, end}); });
    return words;
}

bool TextWords::IsLetter(unsigned char byte)
{
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'))
        return true;
    if (byte >= 0xC0)
        return byte != 0xD7 && byte != 0xF7; // × and ÷
    for (size_t i = 0; i < sizeof kUpper; ++i) {
        if (byte == kUpper[i] || byte == kLower[i])
            return true;
    }
    return false;
}

bool TextWords::IsUpper(unsigned char byte)
{
    return Lower(byte) != byte;
}

unsigned char TextWords::Lower(unsigned char byte)
{
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
        return static_cast<unsigned char>(byte + 0x20);
    for (size_t i = 0; i < sizeof kUpper; ++i) {
        if (byte == kUpper[i])
            return kLower[i];
    }
    return byte;
}

std::string TextWords::Lower(std::string_view word)
{
    std::string lower(word);
    for (char &c : lower)
        c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
    return lower;
}

bool TextWords::IsAllUpper(std::string_view word)
{
    bool letters = false;
    for (const char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsLetter(byte) && !IsUpper(byte))
            return false;
        letters = letters || IsLetter(byte);
    }
    return letters;
}

bool TextWords::IsCapitalised(std::string_view word)
{
    if (word.empty() || !IsUpper(static_cast<unsigned char>(word.front())))
        return false;
    for (size_t i = 1; i < word.size(); ++i) {
        if (IsUpper(static_cast<unsigned char>(word[i])))
            return false;
    }
    return true;
}
