#include "words/SpellingCheck.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/IntelligenceCheck.h"
#include "words/SpellChecker.h"

bool SpellingCheck::ReadsOption(const DialogLine &option, const Options &options)
{
    return option.CopySpeechCode().kind == 0 && ReadsOptionChecking(option.ViewFields()[3], options);
}

bool SpellingCheck::ReadsOptionChecking(std::string_view intelligenceCheck, const Options &options)
{
    if (options.lowIntelligenceOptions)
        return true;
    const IntelligenceCheck check(intelligenceCheck);
    return check.ChecksNothing() || check.GetComparison() != IntelligenceCheck::Below;
}

bool SpellingCheck::ReadsSpeech(const DialogLine &page)
{
    return page.CopySpeechCode().kind == 0;
}

bool SpellingCheck::ReadsFemaleSpeech(const DialogLine &page)
{
    const DialogLine::Fields fields = page.ViewFields();
    return !page.IsSameSpeechForBoth() && fields[2] != fields[1] && page.CopyFemaleSpeechCode().kind == 0;
}

void SpellingCheck::ForEachText(const DialogFile &file, const Options &options, const Reader &read)
{
    for (int p = 0; p < file.GetPageCount(); ++p) {
        const DialogLine &page = *file.GetPage(p);
        const DialogLine::Fields fields = page.ViewFields();
        if (ReadsSpeech(page))
            read(p, -1, Text::NpcSpeech, fields[1]);
        if (ReadsFemaleSpeech(page))
            read(p, -1, Text::FemaleNpcSpeech, fields[2]);
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            const DialogLine &option = *page.GetOption(o);
            if (ReadsOption(option, options))
                read(p, o, Text::OptionSpeech, option.ViewFields()[1]);
        }
    }
}

std::vector<SpellingCheck::Finding> SpellingCheck::CheckDocument(const DialogFile &file, const SpellChecker &checker,
                                                                 const KnownWords &known, const Options &options)
{
    std::vector<Finding> findings;
    ForEachText(file, options, [&](int p, int o, Text text, std::string_view bytes) {
        const DialogLine &line = o < 0 ? *file.GetPage(p) : *file.GetPage(p)->GetOption(o);
        for (const TextWords::Range &word : checker.Misspelt(bytes, known))
            findings.push_back({p, o, text, line.GetFileLine(), word.begin, word.end, std::string(bytes.substr(word.begin, word.end - word.begin))});
    });
    return findings;
}
