#include "OptionDescription.h"

#include "DialogLine.h"
#include "GenderCheck.h"
#include "IntelligenceCheck.h"

std::string OptionDescription::Build(const DialogLine &option)
{
    std::string text = option.GetSpeech();
    text += "\n     {Displayed ";
    switch (GenderCheck(option.GetFemaleSpeech()).GetWho()) {
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
    if (const IntelligenceCheck check(option.GetIntelligenceCheck()); option.GetIntelligenceCheck() == "1") {
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
    if (!option.GetConditions().empty())
        text += " and \"" + option.GetConditions() + "\"";
    text += "}\n     {If selected, ";
    if (const DialogLine *target = option.GetTarget())
        text += "go to page " + target->GetLabel();
    else
        text += "dialog is finished";
    if (!option.GetResults().empty())
        text += ", and set \"" + option.GetResults() + "\"";
    text += "}";
    if (!option.GetDescription().empty())
        text += "\n     (" + option.GetDescription() + ")";
    return text;
}
