#include "rules/GenderCheck.h"

#include "speech/DecimalText.h"

GenderCheck::GenderCheck(std::string_view text)
    : m_who(Unknown)
    , m_known(text.empty() || text == "0" || text == "1")
{
    if (text.empty())
        m_who = Anyone;
    else if (const int value = DecimalText::ToInt(text); value == 0)
        m_who = FemaleOnly;
    else if (value == 1)
        m_who = MaleOnly;
}

bool GenderCheck::Passes(bool female) const
{
    return m_who == Anyone || m_who == Unknown || (m_who == FemaleOnly) == female;
}

std::string GenderCheck::Text(Who who)
{
    return who == MaleOnly ? "1" : who == FemaleOnly ? "0" : "";
}
