// Times spelling in the core as the editor uses it after a keystroke: one
// speech checked with the en_US dictionary, the first time (every word
// goes to the dictionary) and again with one word changed (the dictionary's
// answers remembered), each beside its aim.
// Usage: bench_spell [WORDS]
#include "DictionarySpeech.h"
#include "spelling/HunspellDictionary.h"
#include "words/KnownWords.h"
#include "words/SpellChecker.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
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
    const std::string speech = DictionarySpeech(words);
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
