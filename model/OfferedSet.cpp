#include "OfferedSet.h"

#include "DialogLine.h"
#include "GenderCheck.h"
#include "IntelligenceCheck.h"

OfferedSet::Refusal OfferedSet::Check(const DialogLine &option, const Pc &pc, bool conditionsPass)
{
    Refusal refusal;
    refusal.gender = !GenderCheck(option.GetFemaleSpeech()).Passes(pc.female);
    refusal.intelligence = !IntelligenceCheck(option.GetIntelligenceCheck()).Passes(pc.intelligence);
    refusal.conditions = !conditionsPass && !option.GetConditions().empty();
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
