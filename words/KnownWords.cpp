#include "words/KnownWords.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "words/TextWords.h"
#include "words/WordList.h"

void KnownWords::Add(std::string_view word)
{
    if (word.empty())
        return;
    m_words.emplace(word);
    m_lowered.insert(TextWords::Lower(word));
}

void KnownWords::AddWordsOf(std::string_view text)
{
    TextWords::ForEach(text, [&](size_t begin, size_t end) { Add(text.substr(begin, end - begin)); });
}

void KnownWords::AddPageNames(const DialogFile &file)
{
    for (int p = 0; p < file.GetPageCount(); ++p)
        AddWordsOf(file.GetPage(p)->ViewLabel());
}

bool KnownWords::AddList(const std::string &path, std::string &error)
{
    std::vector<std::string> words;
    if (!WordList::Read(path, words, error))
        return false;
    for (const std::string &word : words)
        Add(word);
    return true;
}

bool KnownWords::Has(std::string_view word) const
{
    if (m_words.empty())
        return false;
    if (m_words.find(word) != m_words.end())
        return true;
    // "INN" for "Inn" or "inn"; "Inn" for "inn".
    if (TextWords::IsAllUpper(word))
        return m_lowered.find(TextWords::Lower(word)) != m_lowered.end();
    return TextWords::IsCapitalised(word) && m_words.find(TextWords::Lower(word)) != m_words.end();
}

void KnownWords::ForEach(const std::function<void(const std::string &)> &visit) const
{
    for (const std::string &word : m_words)
        visit(word);
}
