#include "rules/OfferedSet.h"

#include "model/DialogLine.h"

// The checks are read where the line keeps them, without copying them.
OfferedSet::OfferedSet(const DialogLine &option)
    : OfferedSet(option.ViewFields())
{
}

OfferedSet::OfferedSet(const std::array<std::string_view, 7> &fields)
    : m_gender(fields[2])
    , m_intelligence(fields[3])
    , m_hasConditions(!fields[4].empty())
{
}

OfferedSet::Refusal OfferedSet::Refuses(const Pc &pc, bool conditionsPass) const
{
    Refusal refusal;
    refusal.gender = !m_gender.Passes(pc.female);
    refusal.intelligence = !m_intelligence.Passes(pc.intelligence);
    refusal.conditions = !conditionsPass && m_hasConditions;
    return refusal;
}

std::string OfferedSet::Reason(const DialogLine &option, const Refusal &refusal)
{
    std::string reason;
    const auto add = [&reason](const std::string &part) { reason += (reason.empty() ? "" : ", ") + part; };
    if (refusal.gender)
        add(GenderCheck(option.GetFemaleSpeech()).GetWho() == GenderCheck::FemaleOnly ? "only for female PCs" : "only for male PCs");
    if (refusal.intelligence) {
        const IntelligenceCheck check(option.GetIntelligenceCheck());
        const char *comparison = check.GetComparison() == IntelligenceCheck::Above   ? "above "
                                 : check.GetComparison() == IntelligenceCheck::Below ? "below "
                                                                                     : "at least ";
        add("needs intelligence " + (comparison + std::to_string(check.GetNumber())));
    }
    if (refusal.conditions)
        add("its conditions do not pass");
    return reason;
}
