#include "compare/LineFields.h"

#include "model/DialogLine.h"
#include "rules/GenderCheck.h"
#include "rules/IntelligenceCheck.h"
#include "speech/GeneratedSpeechKind.h"
#include "speech/SpeechText.h"

#include <array>

namespace {

// In the order of the file: the comments above a line, then its fields.
constexpr std::array kPageFields{LineField::Description, LineField::Remarks,    LineField::Speech,
                                 LineField::FemaleSpeech, LineField::PageField3, LineField::PageField6};
constexpr std::array kOptionFields{LineField::Description, LineField::Remarks,    LineField::Speech,
                                   LineField::GenderCheck, LineField::IntelligenceCheck, LineField::Conditions,
                                   LineField::Results,     LineField::Target};

bool IsSpeech(LineField field)
{
    return field == LineField::Speech || field == LineField::FemaleSpeech;
}

// The decoded speech of field 1, or of a page's field 2.
SpeechText Code(const DialogLine &line, LineField field)
{
    return field == LineField::Speech ? line.CopySpeechCode() : line.CopyFemaleSpeechCode();
}

std::string PageShown(const DialogLine *page)
{
    return page ? "page \"" + std::string(page->ViewLabel()) + "\"" : "the dialog ends";
}

// The raw text of the field, for those that are one field of the line.
std::string_view Raw(const DialogLine::Fields &fields, LineField field)
{
    switch (field) {
    case LineField::Name:
        return fields[0];
    case LineField::Speech:
        return fields[1];
    case LineField::FemaleSpeech:
    case LineField::GenderCheck:
        return fields[2];
    case LineField::PageField3:
    case LineField::IntelligenceCheck:
        return fields[3];
    case LineField::Conditions:
        return fields[4];
    case LineField::Target:
        return fields[5];
    case LineField::PageField6:
    case LineField::Results:
        return fields[6];
    case LineField::Description:
    case LineField::Remarks:
        break;
    }
    return {};
}

} // namespace

std::span<const LineField> LineFields::OfPage()
{
    return kPageFields;
}

std::span<const LineField> LineFields::OfOption()
{
    return kOptionFields;
}

std::string_view LineFields::Name(LineField field)
{
    switch (field) {
    case LineField::Name:
        return "name";
    case LineField::Speech:
        return "speech";
    case LineField::FemaleSpeech:
        return "speech to female PCs";
    case LineField::Description:
        return "description";
    case LineField::Remarks:
        return "remarks";
    case LineField::PageField3:
        return "field 3";
    case LineField::PageField6:
        return "field 6";
    case LineField::GenderCheck:
        return "gender check";
    case LineField::IntelligenceCheck:
        return "intelligence check";
    case LineField::Conditions:
        return "conditions";
    case LineField::Results:
        return "results";
    case LineField::Target:
        return "leads to";
    }
    return {};
}

std::string LineFields::Text(const DialogLine &line, LineField field)
{
    if (field == LineField::Description)
        return std::string(line.ViewDescription());
    if (field == LineField::Remarks)
        return std::string(line.ViewComment());
    const DialogLine::Fields fields = line.ViewFields();
    if (field == LineField::Target)
        return line.GetTarget() ? std::string() : std::to_string(DialogField::ToInt(fields[5]));
    if (IsSpeech(field) && (field == LineField::Speech || line.IsNpcLine())) {
        SpeechText code = Code(line, field);
        if (code.kind == 0)
            return std::string(Raw(fields, field));
        // The page it leads to is compared as a page, not by its number.
        if (code.kind == GeneratedSpeechKind::RequestMoney && code.g)
            code.n = 0;
        return EncodeSpeech(code);
    }
    return std::string(Raw(fields, field));
}

const DialogLine *LineFields::Page(const DialogLine &line, LineField field)
{
    if (field == LineField::Target)
        return line.GetTarget();
    if (!IsSpeech(field) || (field == LineField::FemaleSpeech && !line.IsNpcLine()))
        return nullptr;
    // Only Request money ("M:") leads to a page; most speech is no code.
    if (!Raw(line.ViewFields(), field).starts_with("M:"))
        return nullptr;
    const SpeechText code = Code(line, field);
    return code.kind == GeneratedSpeechKind::RequestMoney ? code.g : nullptr;
}

std::string LineFields::Shown(const DialogLine &line, LineField field)
{
    switch (field) {
    case LineField::Target:
        if (!line.GetTarget() && line.GetTargetNumber() != 0)
            return "page number " + std::to_string(line.GetTargetNumber()) + ", which no page has";
        return PageShown(line.GetTarget());
    case LineField::GenderCheck: {
        const std::string text = Text(line, field);
        const GenderCheck check(text);
        if (!check.IsKnownForm())
            return "\"" + text + "\"";
        return check.GetWho() == GenderCheck::Anyone ? "anyone" : check.GetWho() == GenderCheck::MaleOnly ? "male PCs only" : "female PCs only";
    }
    case LineField::IntelligenceCheck: {
        const std::string text = Text(line, field);
        const IntelligenceCheck check(text);
        if (text == "1" || text.empty())
            return text.empty() ? "none (empty)" : "none";
        if (!check.IsKnownForm())
            return "\"" + text + "\"";
        const char *comparison = check.GetComparison() == IntelligenceCheck::Above   ? "above "
                                 : check.GetComparison() == IntelligenceCheck::Below ? "below "
                                                                                       : "at least ";
        return comparison + check.GetValue();
    }
    case LineField::Remarks: {
        // One line each; shown on one line.
        std::string shown;
        std::string_view remarks = line.ViewComment();
        while (!remarks.empty()) {
            const size_t lf = remarks.find('\n');
            if (lf != 0)
                shown.append(shown.empty() ? "" : " / ").append(remarks.substr(0, lf));
            remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
        }
        return shown;
    }
    case LineField::Speech:
    case LineField::FemaleSpeech:
        if (const DialogLine *page = Page(line, field)) {
            const SpeechText code = Code(line, field);
            return "M:" + std::to_string(code.m) + " -> " + PageShown(page);
        }
        break;
    default:
        break;
    }
    return Text(line, field);
}

bool LineFields::IsDefault(const DialogLine &line, LineField field)
{
    switch (field) {
    case LineField::IntelligenceCheck:
        return Text(line, field) == "1" || Text(line, field).empty();
    case LineField::Target:
        return !line.GetTarget() && Text(line, field) == "0";
    default:
        return Text(line, field).empty();
    }
}
