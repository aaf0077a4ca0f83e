#include "rules/OptionDescription.h"

#include "model/DialogLine.h"
#include "rules/GenderCheck.h"
#include "rules/IntelligenceCheck.h"

std::string OptionDescription::Build(const DialogLine &option)
{
    // Read in place: a line read from a file copies none of its texts for it.
    const DialogLine::Fields fields = option.ViewFields();
    const std::string_view intelligence = fields[3];
    const std::string_view conditions = fields[4];
    const std::string_view results = fields[6];
    const std::string_view description = option.ViewDescription();
    std::string text(fields[1]);
    text += "\n     {Displayed ";
    switch (GenderCheck(fields[2]).GetWho()) {
    case GenderCheck::Anyone:
        text += "for either gender";
        break;
    case GenderCheck::FemaleOnly:
        text += "only if female";
        break;
    case GenderCheck::MaleOnly:
        text += "only if male";
        break;
    case GenderCheck::Unknown:
        break;
    }
    text += ", ";
    // An empty check reads as "at least" with no number here, as it always has.
    if (const IntelligenceCheck check(intelligence); intelligence == "1") {
        text += "regardless of intelligence";
    } else {
        text += "if intelligence ";
        switch (check.GetComparison()) {
        case IntelligenceCheck::Below:
            text += "is below " + check.GetValue();
            break;
        case IntelligenceCheck::Above:
            text += "is above " + check.GetValue();
            break;
        case IntelligenceCheck::AtLeast:
            text += "is at least " + check.GetValue();
            break;
        }
    }
    if (!conditions.empty())
        ((text += " and \"") += conditions) += "\"";
    text += "}\n     {If selected, ";
    if (const DialogLine *target = option.GetTarget())
        (text += "go to page ") += target->ViewLabel();
    else
        text += "dialog is finished";
    if (!results.empty())
        ((text += ", and set \"") += results) += "\"";
    text += "}";
    if (!description.empty())
        ((text += "\n     (") += description) += ")";
    return text;
}
