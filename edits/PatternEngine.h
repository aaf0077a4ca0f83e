#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Regular expressions as the search of the core uses them, made by the
// engine a program gives it (the one adapter to PCRE2, in regex/): the core
// holds no engine of its own. Patterns and texts are UTF-8; offsets are in
// its bytes.
class PatternEngine {
public:
    // A match: where the whole match and then each group start and end; a
    // group that took no part in it is (npos, npos).
    using Groups = std::vector<std::pair<size_t, size_t>>;

    // Searches texts one after another; one per thread.
    class Scanner {
    public:
        virtual ~Scanner() = default;
        // Calls found with each match in text from left to right, as
        // Perl's global match finds them: an empty match may follow a
        // match, but no empty match stands where the one before ended empty.
        virtual void ForEach(std::string_view text, const std::function<void(const Groups &)> &found) = 0;
    };

    class Pattern {
    public:
        virtual ~Pattern() = default;
        // False when the pattern does not compile; GetError then says why.
        virtual bool IsValid() const = 0;
        virtual const std::string &GetError() const = 0;
        virtual int GroupCount() const = 0;
        virtual std::unique_ptr<Scanner> NewScanner() const = 0;
    };

    virtual ~PatternEngine() = default;
    // With Unicode properties, and without case when asked.
    virtual std::unique_ptr<Pattern> Compile(std::string_view pattern, bool caseInsensitive) const = 0;
};
