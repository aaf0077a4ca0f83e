#pragma once

#include "rules/GenderCheck.h"
#include "rules/IntelligenceCheck.h"

#include <array>
#include <string>
#include <string_view>

class DialogLine;

// Which PC options the game offers one PC: the one rule that the play
// window, dlgtool play and the reachability of dlgtool check share. An
// option is offered when its gender check and its intelligence check let
// the PC through and its extra conditions (field 4) pass. Only the game can
// evaluate those, so the caller says whether they do.
class OfferedSet {
public:
    struct Pc {
        bool female = false;
        long long intelligence = 10;
    };
    // What keeps an option from a PC; nothing, when all are false.
    struct Refusal {
        bool gender = false;
        bool intelligence = false;
        bool conditions = false;
        bool Any() const { return gender || intelligence || conditions; }
    };

    // Reads the checks of option once, to ask about many PCs.
    explicit OfferedSet(const DialogLine &option);
    Refusal Refuses(const Pc &pc, bool conditionsPass = true) const;
    bool Offers(const Pc &pc) const { return !Refuses(pc).Any(); }

    static Refusal Check(const DialogLine &option, const Pc &pc, bool conditionsPass = true)
    {
        return OfferedSet(option).Refuses(pc, conditionsPass);
    }
    // Why: "only for male PCs", "needs intelligence at least 8", "its
    // conditions do not pass", joined by ", "; empty when nothing refuses.
    static std::string Reason(const DialogLine &option, const Refusal &refusal);

private:
    // From the seven fields of the option.
    explicit OfferedSet(const std::array<std::string_view, 7> &fields);

    GenderCheck m_gender;
    IntelligenceCheck m_intelligence;
    bool m_hasConditions;
};
