#include "speech/SpeechCount.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "speech/GeneratedSpeechKind.h"
#include "speech/SpeechWords.h"

namespace {

// Unique speech counts its words; generated speech counts by kind. A field
// is decoded as every setter and the reader decode it.
void Count(SpeechCount &count, std::string_view text, long long SpeechCount::*words)
{
    SpeechText code;
    DecodeSpeech(code, text);
    if (code.kind == 0)
        count.*words += SpeechWords::Count(text);
    else
        ++count.generated[std::string(GetSpeechKindLabel(code.kind))];
}

} // namespace

// Each line's fields are found once: the speeches are read from them.
void SpeechCount::AddPage(const DialogLine &page)
{
    ++pages;
    const DialogLine::Fields fields = page.ViewFields();
    Count(*this, fields[1], &SpeechCount::npcWords);
    if (!page.IsSameSpeechForBoth())
        Count(*this, fields[2], &SpeechCount::npcWords);
    for (int o = 0; o < page.GetOptionCount(); ++o) {
        ++options;
        Count(*this, page.GetOption(o)->ViewFields()[1], &SpeechCount::pcWords);
    }
}

void SpeechCount::Add(const SpeechCount &other)
{
    pages += other.pages;
    options += other.options;
    npcWords += other.npcWords;
    pcWords += other.pcWords;
    for (const auto &[kind, count] : other.generated)
        generated[kind] += count;
}

SpeechCount SpeechCount::Of(const DialogFile &file)
{
    SpeechCount count;
    for (int p = 0; p < file.GetPageCount(); ++p)
        count.AddPage(*file.GetPage(p));
    return count;
}

SpeechCount SpeechCount::OfPage(const DialogLine &page)
{
    SpeechCount count;
    count.AddPage(page);
    return count;
}
