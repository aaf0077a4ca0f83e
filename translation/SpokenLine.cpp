#include "translation/SpokenLine.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/GenderCheck.h"
#include "speech/GeneratedSpeechKind.h"
#include "speech/SpeechText.h"

namespace {

bool IsGenerated(std::string_view text)
{
    // Every code has a colon second; only those are decoded.
    if (text.size() < 2 || text[1] != ':')
        return false;
    SpeechText code;
    DecodeSpeech(code, text);
    return code.kind != 0;
}

void Add(std::vector<SpokenLine> &lines, SpokenLine::Voice voice, DialogLine *line, DialogLine *page, std::string_view text)
{
    if (!text.empty())
        lines.push_back({voice, line, page, text, IsGenerated(text)});
}

// The page's speeches, as Collect lists them.
void AddPage(std::vector<SpokenLine> &lines, DialogLine *page)
{
    const DialogLine::Fields fields = page->ViewFields();
    if (fields[1] == fields[2]) {
        Add(lines, SpokenLine::NpcToAnyPc, page, page, fields[1]);
    } else {
        Add(lines, SpokenLine::NpcToMalePc, page, page, fields[1]);
        Add(lines, SpokenLine::NpcToFemalePc, page, page, fields[2]);
    }
}

} // namespace

std::string_view SpokenLine::Context(Voice voice)
{
    switch (voice) {
    case NpcToAnyPc:
        return "NPC to any PC";
    case NpcToMalePc:
        return "NPC to a male PC";
    case NpcToFemalePc:
        return "NPC to a female PC";
    case AnyPc:
        return "PC of either gender";
    case MalePc:
        return "male PC";
    case FemalePc:
        return "female PC";
    }
    return {};
}

std::vector<SpokenLine> SpokenLine::Collect(const DialogFile &file)
{
    std::vector<SpokenLine> lines;
    for (int p = 0; p < file.GetPageCount(); ++p) {
        DialogLine *page = file.GetPage(p);
        AddPage(lines, page);
        for (int o = 0; o < page->GetOptionCount(); ++o) {
            DialogLine *option = page->GetOption(o);
            const DialogLine::Fields fields = option->ViewFields();
            // A gender check that names no one lets every PC through.
            const GenderCheck::Who who = GenderCheck(fields[2]).GetWho();
            const Voice voice = who == GenderCheck::MaleOnly ? MalePc : who == GenderCheck::FemaleOnly ? FemalePc : AnyPc;
            Add(lines, voice, option, page, fields[1]);
        }
    }
    return lines;
}

std::vector<SpokenLine> SpokenLine::Answered(const SpokenLine &option)
{
    std::vector<SpokenLine> said;
    AddPage(said, option.page);
    if (option.voice == AnyPc)
        return said;
    // A male PC is never told what the NPC says to female PCs, nor the other way round.
    const Voice untold = option.voice == MalePc ? NpcToFemalePc : NpcToMalePc;
    std::erase_if(said, [untold](const SpokenLine &line) { return line.voice == untold; });
    return said;
}
