#pragma once

#include <optional>
#include <string>
#include <string_view>

// What an option's intelligence check (field 3 of a PC option) asks of the
// PC: "1" or empty nothing, "N" at least N, "+N" above N, "-N" below N.
// Other forms read as the option dialog shows them: the comparison by the
// first character, the number as atoi reads the rest ("x5" is at least 0,
// "5a" at least 5, "+" above 0).
class IntelligenceCheck {
public:
    // In the order the option dialog lists them.
    enum Comparison { AtLeast, Above, Below };

    explicit IntelligenceCheck(std::string_view text);

    // "1" or empty: every PC is offered the option.
    bool ChecksNothing() const { return m_none; }
    // By the first character: '+' above, '-' below, anything else at least.
    Comparison GetComparison() const { return m_comparison; }
    // The text after the sign; all of it for at least.
    const std::string &GetValue() const { return m_value; }
    // An optional sign, then digits: the forms dlgtool check does not warn of.
    bool IsKnownForm() const { return m_known; }
    // The number the PC's intelligence is compared with.
    long long GetNumber() const { return m_number; }
    // Whether a PC of this intelligence passes the check.
    bool Passes(long long intelligence) const;
    // Where the check splits PCs: the lowest intelligence above the line it
    // draws. None for a check that checks nothing.
    std::optional<long long> GetBoundary() const;

    // The check the editor writes for a comparison and a typed value, read
    // as atoi reads it: below needs a value above 1 (none otherwise, as
    // such a check makes no sense); above a value above 0 and at least a
    // value above 1, or the check is "1", which checks nothing.
    static std::optional<std::string> Compose(Comparison comparison, std::string_view typed);

private:
    bool m_none;
    Comparison m_comparison = AtLeast;
    std::string m_value;
    bool m_known = false;
    long long m_number = 0;
};
