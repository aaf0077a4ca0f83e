// Times spelling in the core as the editor uses it after a keystroke: one
// speech checked with the en_US dictionary, the first time (every word
// goes to the dictionary) and again with one word changed (the dictionary's
// answers remembered), each beside its aim.
// Usage: bench_spell [WORDS]
#include "spelling/HunspellDictionary.h"
#include "words/KnownWords.h"
#include "words/SpellChecker.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// A speech of words different words of the dictionary's own list (every
// seventh, without its affix flags), one in ten misspelt by swapping two
// letters, so that none is answered from memory the first time.
std::string Speech(int words)
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

} // namespace

int main(int argc, char **argv)
{
    const int words = argc > 1 ? std::atoi(argv[1]) : 2000;
    const std::string name = "spell a speech of " + std::to_string(words) + " words";
    std::string error;
    auto dictionary = HunspellDictionary::Load("en_US", {"/usr/share/hunspell"}, error);
    if (!dictionary) {
        std::printf("%-46s not measured: %s\n", name.c_str(), error.c_str());
        return 0;
    }
    const std::string speech = Speech(words);
    SpellChecker checker(std::move(dictionary));
    const KnownWords known;
    auto start = Clock::now();
    const size_t misspelt = checker.Misspelt(speech, known).size();
    const double first = Milliseconds(start);
    // A keystroke: one more letter at the end of the speech, then the best of a few.
    double again = 1e9;
    for (int run = 0; run < 5; ++run) {
        const std::string typed = speech + std::string(static_cast<size_t>(run + 1), 'x');
        start = Clock::now();
        checker.Misspelt(typed, known);
        again = std::min(again, Milliseconds(start));
    }
    std::printf("%-46s %8.2f ms  (aim: under 5; %zu misspelt)\n", (name + ", the first time").c_str(), first, misspelt);
    std::printf("%-46s %8.2f ms  (aim: under 5)\n", (name + ", after a keystroke").c_str(), again);
    return 0;
}
