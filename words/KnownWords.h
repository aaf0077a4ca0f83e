#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class DialogFile;

// The words a document's spelling takes as right beyond its dictionary: the
// words of its word lists and of its pages' names. Capitals count as a
// dictionary counts them: "inn" allows "Inn" and "INN", "Quorvel" allows
// "QUORVEL" but not "quorvel". Words are dialog-file bytes (Windows-1252).
// Reading it from several threads at once is safe; changing it is not.
class KnownWords {
public:
    void Add(std::string_view word);
    // Every word of text (see TextWords): a page's name "Old Mill" gives
    // "Old" and "Mill".
    void AddWordsOf(std::string_view text);
    // The words of every page's name.
    void AddPageNames(const DialogFile &file);
    // The words of the word list at path (see WordList::Read); false with
    // the reason when it cannot be read.
    bool AddList(const std::string &path, std::string &error);

    bool Has(std::string_view word) const;
    size_t Size() const { return m_words.size(); }
    // Each word, in no order.
    void ForEach(const std::function<void(const std::string &)> &visit) const;

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    using Set = std::unordered_set<std::string, Hash, std::equal_to<>>;

    Set m_words;
    Set m_lowered; // each word in small letters
};
