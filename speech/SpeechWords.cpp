#include "speech/SpeechWords.h"

long long SpeechWords::Count(std::string_view text)
{
    long long words = 0;
    bool inWord = false;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        words += !blank && !inWord;
        inWord = !blank;
    }
    return words;
}
