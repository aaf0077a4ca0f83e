#include "rules/IntelligenceCheck.h"

#include "speech/DecimalText.h"

#include <algorithm>

IntelligenceCheck::IntelligenceCheck(std::string_view text)
    : m_none(text.empty() || text == "1")
{
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        m_comparison = text.front() == '+' ? Above : Below;
        text.remove_prefix(1);
    }
    m_value = text;
    m_known = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    // Every digit counts, as in every other number of the file; a value
    // beyond the 32-bit range clamps to it.
    m_number = DecimalText::ToInt(text);
}

bool IntelligenceCheck::Passes(long long intelligence) const
{
    if (m_none)
        return true;
    switch (m_comparison) {
    case Above:
        return intelligence > m_number;
    case Below:
        return intelligence < m_number;
    case AtLeast:
        break;
    }
    return intelligence >= m_number;
}

std::optional<long long> IntelligenceCheck::GetBoundary() const
{
    if (m_none)
        return std::nullopt;
    return m_comparison == Above ? m_number + 1 : m_number;
}

std::optional<std::string> IntelligenceCheck::Compose(Comparison comparison, std::string_view typed)
{
    const int value = DecimalText::ToInt(typed);
    if (comparison == Below && value <= 1)
        return std::nullopt;
    if (comparison == Below)
        return "-" + std::string(typed);
    if (comparison == Above && value > 0)
        return "+" + std::string(typed);
    if (comparison == AtLeast && value > 1)
        return std::string(typed);
    return "1";
}
