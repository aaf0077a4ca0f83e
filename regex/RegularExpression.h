#pragma once

#include "edits/PatternEngine.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The one adapter to PCRE2, the engine behind Qt's QRegularExpression: a
// pattern and the texts it searches are UTF-8, matched with Unicode
// properties (\w, \d, [[:alpha:]] know every script) and, when asked,
// without case. Offsets are in bytes of the UTF-8 text.
class RegularExpression : public PatternEngine::Pattern {
public:
    RegularExpression(std::string_view pattern, bool caseInsensitive);
    ~RegularExpression() override;
    RegularExpression(const RegularExpression &) = delete;
    RegularExpression &operator=(const RegularExpression &) = delete;

    // False when the pattern does not compile (it is not valid UTF-8, say);
    // GetError then says why, with where.
    bool IsValid() const override { return m_code != nullptr; }
    const std::string &GetError() const override { return m_error; }
    // How many capturing groups the pattern has.
    int GroupCount() const override { return m_groups; }
    std::unique_ptr<PatternEngine::Scanner> NewScanner() const override;

    using Groups = PatternEngine::Groups;

    // The engine that makes these, for the core's search.
    static const PatternEngine &Engine();

    // Searches texts one after another; one per thread, since it keeps its
    // scratch space between searches.
    class Matcher : public PatternEngine::Scanner {
    public:
        explicit Matcher(const RegularExpression &expression);
        ~Matcher() override;
        Matcher(const Matcher &) = delete;
        Matcher &operator=(const Matcher &) = delete;

        // Calls found with each match in text from left to right, as Perl's
        // global match finds them: an empty match may follow a match, but
        // no empty match stands where the one before it ended empty.
        // A search that exhausts the engine's limits ends there.
        void ForEach(std::string_view text, const std::function<void(const Groups &)> &found) override;

    private:
        const RegularExpression &m_expression;
        struct Data;
        std::unique_ptr<Data> m_data;
    };

private:
    struct Code;
    Code *m_code = nullptr;
    std::string m_error;
    int m_groups = 0;
};
