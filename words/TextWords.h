#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The words of a text of a dialog file (Windows-1252 bytes) as spelling
// reads them. A word is a run of letters, the accented ones of Windows-1252
// included ("café", "Straße", "Œuvre"), with apostrophes (' or ’) between
// letters ("don't", "o’clock"); everything else parts words ("well-known"
// is two). A run of letters and digits ("3rd", "Page12") is no word: such
// names and numbers are not spelt.
class TextWords {
public:
    struct Range {
        size_t begin = 0;
        size_t end = 0; // one past the word's last byte
        bool operator==(const Range &) const = default;
    };

    // Calls found(begin, end) for each word of text, in order.
    template <typename Found>
    static void ForEach(std::string_view text, Found found);
    static std::vector<Range> Split(std::string_view text);

    static bool IsLetter(unsigned char byte);
    static bool IsUpper(unsigned char byte);
    static unsigned char Lower(unsigned char byte);
    static std::string Lower(std::string_view word);
    // Every letter is a capital: "INN".
    static bool IsAllUpper(std::string_view word);
    // The first letter is a capital and no other is: "Inn".
    static bool IsCapitalised(std::string_view word);

private:
    static bool IsDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }
    static bool IsApostrophe(unsigned char byte) { return byte == '\'' || byte == 0x92; }
};

template <typename Found>
void TextWords::ForEach(std::string_view text, Found found)
{
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t i = 0;
    while (i < text.size()) {
        if (!IsLetter(at(i)) && !IsDigit(at(i))) {
            ++i;
            continue;
        }
        const size_t begin = i;
        bool digits = false;
        while (i < text.size()) {
            if (IsLetter(at(i))) {
                ++i;
            } else if (IsDigit(at(i))) {
                digits = true;
                ++i;
            } else if (IsApostrophe(at(i)) && i + 1 < text.size() && (IsLetter(at(i + 1)) || IsDigit(at(i + 1)))) {
                ++i;
            } else {
                break;
            }
        }
        if (!digits)
            found(begin, i);
    }
}
