#pragma once

#include "edits/DocumentText.h"
#include "edits/PatternEngine.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class DialogFile;

// A search through every text of a document (see DocumentText), as the
// find bar and dlgtool find run it: plain text or a regular expression,
// with or without case, whole words only or anywhere. Texts are matched as
// the editor shows them: each byte is the character Windows-1252 maps it
// to. The pattern and a replacement are UTF-8. One search may run on many
// threads at once. Regular expressions need an engine: the program's (the
// PCRE2 adapter's, RegularExpression::Engine()).
class TextSearch {
public:
    struct Options {
        bool matchCase = false;
        bool wholeWords = false;
        bool regularExpression = false;
    };

    TextSearch(std::string_view pattern, Options options, const PatternEngine *engine = nullptr);
    ~TextSearch();
    TextSearch(const TextSearch &) = delete;
    TextSearch &operator=(const TextSearch &) = delete;

    // False for an empty pattern, a pattern that is not UTF-8 or a regular
    // expression that does not compile; GetError then says why (empty for
    // an empty pattern).
    bool IsValid() const;
    const std::string &GetError() const { return m_error; }

    // Where each match stands in a text: start, length, in characters of
    // the text, which are its bytes.
    using Matches = std::vector<std::pair<size_t, size_t>>;
    // A text that holds at least one match, its bytes, and where each match
    // stands in it.
    struct Hit {
        DocumentText::Place place;
        std::string text;
        Matches matches;
    };
    std::vector<Hit> FindAll(const DialogFile &file) const;

    // What "Replace all" would do: the texts that change, as the bytes to
    // store, and the texts that cannot take their replacement, with why.
    struct Change {
        DocumentText::Place place;
        std::string bytes;
    };
    struct Refusal {
        DocumentText::Place place;
        std::string reason;
    };
    struct Replacement {
        std::vector<Change> changes;
        std::vector<Refusal> refused;
    };
    // A regular expression's replacement may name its groups as \1, \2, ...
    // up to its number of groups; any other backslash stands for itself.
    Replacement ReplaceAll(const DialogFile &file, std::string_view replacement) const;

private:
    class Scan;
    // Calls visit with each text of file that holds a match.
    void ForEachHit(const DialogFile &file, const std::function<void(const DocumentText::Place &, std::string_view, const Matches &)> &visit) const;
    // Plain text is matched on the file's bytes, with no conversion.
    void FindBytes(std::string_view text, Matches &matches) const;

    Options m_options;
    bool m_empty;
    bool m_plain = false;   // the needle below is what to find
    std::string m_needle;   // in lower case unless the case must match
    std::unique_ptr<PatternEngine::Pattern> m_expression;
    std::string m_error;
};
