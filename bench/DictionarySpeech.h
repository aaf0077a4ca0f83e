#pragma once

#include <fstream>
#include <string>

// A speech of words different words of the en_US dictionary's own list
// (every seventh, without its affix flags), one in ten misspelt by swapping
// two letters, so that none is answered from memory the first time; empty
// without the dictionary.
inline std::string DictionarySpeech(int words)
{
    std::ifstream dic("/usr/share/hunspell/en_US.dic");
    std::string line, text;
    std::getline(dic, line); // the count
    for (int i = 0, n = 0; n < words && std::getline(dic, line); ++i) {
        const std::string word = line.substr(0, line.find('/'));
        if (i % 7 != 0 || word.size() < 3)
            continue;
        std::string put = word;
        if (n % 10 == 9)
            std::swap(put[1], put[2]);
        text += put + (n % 12 == 11 ? ". " : " ");
        ++n;
    }
    return text;
}
