#include "edits/DocumentText.h"

#include "model/DialogFile.h"
#include "model/TextRules.h"
#include "speech/GeneratedSpeechKind.h"

namespace {

// A speech keeps the page Request money leads to only while its code names it.
void SetSpeech(SpeechText &speech, DialogField &field, std::string_view text)
{
    const SpeechText before = speech;
    DecodeSpeech(speech, text);
    if (speech.kind != before.kind || speech.n != before.n)
        speech.g = nullptr;
    field.SetText(text);
}

// The text of kind in line, whose fields are fields: read where the line
// keeps it, so that looking through a document copies none of its texts.
std::string_view Text(const DialogLine &line, const DialogLine::Fields &fields, DocumentText::Kind kind)
{
    switch (kind) {
    case DocumentText::Name:
        return fields[0];
    case DocumentText::Description:
        return line.ViewDescription();
    case DocumentText::Remarks:
        return line.ViewComment();
    case DocumentText::Speech:
        return fields[1];
    case DocumentText::FemaleSpeech:
        return fields[2];
    case DocumentText::Conditions:
        return fields[4];
    case DocumentText::Results:
        return fields[6];
    }
    return {};
}

} // namespace

void DocumentText::ForEach(const DialogFile &file, const std::function<void(const Place &, std::string_view)> &visit)
{
    static constexpr Kind pageKinds[] = {Name, Description, Remarks, Speech, FemaleSpeech, Results};
    static constexpr Kind optionKinds[] = {Description, Remarks, Speech, Conditions, Results};
    for (int p = 0; p < file.GetPageCount(); ++p) {
        DialogLine *page = file.GetPage(p);
        const DialogLine::Fields pageFields = page->ViewFields();
        for (Kind kind : pageKinds) {
            if (kind == FemaleSpeech && page->IsSameSpeechForBoth())
                continue; // the same text as the speech
            if (const std::string_view text = Text(*page, pageFields, kind); !text.empty())
                visit({page, page, -1, kind}, text);
        }
        for (int o = 0; o < page->GetOptionCount(); ++o) {
            DialogLine *option = page->GetOption(o);
            const DialogLine::Fields fields = option->ViewFields();
            for (Kind kind : optionKinds) {
                if (const std::string_view text = Text(*option, fields, kind); !text.empty())
                    visit({page, option, o, kind}, text);
            }
        }
    }
}

std::string_view DocumentText::Get(const DialogLine &line, Kind kind)
{
    return Text(line, line.ViewFields(), kind);
}

std::string_view DocumentText::KindName(Kind kind)
{
    static constexpr std::string_view names[] = {"name", "description", "remarks", "speech", "speech to female PC", "conditions", "results"};
    return names[kind];
}

std::string DocumentText::WhichText(const Place &place)
{
    return (place.option < 0 ? std::string("page ") : "option " + std::to_string(place.option + 1) + " ") + std::string(KindName(place.kind));
}

std::string DocumentText::CheckStorable(std::string_view text, Kind kind)
{
    switch (kind) {
    case Name:
        return TextRules::Check(text, TextRules::Place::Label);
    case Description:
        return TextRules::Check(text, TextRules::Place::Description);
    case Remarks:
        // One remark a line, each ending in a line break.
        for (size_t at = 0; at < text.size();) {
            const size_t lf = text.find('\n', at);
            if (lf == std::string_view::npos)
                return "It holds a line break; every text must stay on one line.";
            if (std::string reason = TextRules::Check(text.substr(at, lf - at), TextRules::Place::Remark); !reason.empty())
                return reason;
            at = lf + 1;
        }
        return {};
    default:
        return TextRules::Check(text, TextRules::Place::Field);
    }
}

void DocumentText::Set(DialogLine::Content &content, const Place &place, std::string_view text)
{
    switch (place.kind) {
    case Name:
        content.fields[0].SetText(text);
        break;
    case Description:
        content.description = text;
        break;
    case Remarks:
        content.comment = text;
        break;
    case Speech:
        SetSpeech(content.speech, content.fields[1], text);
        if (place.option < 0 && content.sameSpeechForBoth)
            SetSpeech(content.femaleSpeech, content.fields[2], text);
        break;
    case FemaleSpeech:
        SetSpeech(content.femaleSpeech, content.fields[2], text);
        break;
    case Conditions:
        content.fields[4].SetText(text);
        break;
    case Results:
        content.fields[6].SetText(text);
        break;
    }
}
