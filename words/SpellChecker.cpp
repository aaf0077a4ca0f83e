#include "words/SpellChecker.h"

#include "words/KnownWords.h"
#include "words/SpellingDictionary.h"

#include <mutex>

SpellChecker::SpellChecker(std::unique_ptr<SpellingDictionary> dictionary)
    : m_dictionary(std::move(dictionary))
{
}

SpellChecker::~SpellChecker() = default;

std::vector<TextWords::Range> SpellChecker::Misspelt(std::string_view text, const KnownWords &known) const
{
    std::vector<TextWords::Range> misspelt;
    TextWords::ForEach(text, [&](size_t begin, size_t end) {
        if (!Knows(text.substr(begin, end - begin), known))
            misspelt.push_back({begin, end});
    });
    return misspelt;
}

bool SpellChecker::Knows(std::string_view word, const KnownWords &known) const
{
    return DictionaryKnows(word) || known.Has(word);
}

bool SpellChecker::DictionaryKnows(std::string_view word) const
{
    return Remembered(m_known, word, [&] { return m_dictionary->Knows(word); });
}

std::vector<std::string> SpellChecker::Suggest(std::string_view word) const
{
    if (word.size() > kLongestSuggested)
        return {};
    return Remembered(m_suggestions, word, [&] { return m_dictionary->Suggest(word); });
}

template <typename Value, typename Ask>
Value SpellChecker::Remembered(Map<Value> &answers, std::string_view word, Ask ask) const
{
    unsigned long long learning = 0;
    {
        const std::shared_lock lock(m_mutex);
        const auto found = answers.find(word);
        if (found != answers.end())
            return found->second;
        learning = m_learning;
    }
    Value answer = ask();
    const std::unique_lock lock(m_mutex);
    if (learning == m_learning)
        answers.emplace(word, answer);
    return answer;
}

void SpellChecker::Learn(std::string_view word)
{
    {
        const std::unique_lock lock(m_mutex);
        if (word.empty() || !m_learnt.emplace(word).second)
            return;
    }
    m_dictionary->Add(word);
    const std::unique_lock lock(m_mutex);
    // The dictionary now takes the word in more forms ("Inn" for "inn"),
    // and offers it: what it said before no longer holds.
    m_known.clear();
    m_suggestions.clear();
    ++m_learning;
}

void SpellChecker::LearnAll(const KnownWords &known)
{
    known.ForEach([&](const std::string &word) { Learn(word); });
}
