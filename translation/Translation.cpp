#include "translation/Translation.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"
#include "model/Utf8.h"
#include "model/Windows1252.h"
#include "speech/GeneratedSpeechKind.h"
#include "speech/SpeechText.h"
#include "translation/SpokenLine.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace {

// A sentence of TextRules as the rest of a sentence: "it holds ...".
std::string AsClause(std::string sentence)
{
    if (!sentence.empty() && sentence.front() >= 'A' && sentence.front() <= 'Z')
        sentence.front() = static_cast<char>(sentence.front() - 'A' + 'a');
    if (sentence.ends_with('.'))
        sentence.pop_back();
    return sentence;
}

std::string_view BaseName(std::string_view path)
{
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

Translation::Translation(DialogFile &file, std::string_view path, const std::vector<TranslationEntry> &entries)
    : m_bytes(entries.size())
{
    std::unordered_map<std::string, size_t> index;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].source.empty())
            index.try_emplace(TranslationEntry::Key(entries[i].context, entries[i].source), i);
    }
    const auto translates = [&entries](size_t i) { return !entries[i].translation.empty() && !entries[i].fuzzy; };

    std::vector<bool> used(entries.size());
    std::vector<std::string> refused(entries.size());
    std::string key;
    for (const SpokenLine &spoken : SpokenLine::Collect(file)) {
        if (spoken.generated)
            continue;
        // TranslationEntry::Key, in room that each text uses again.
        key.assign(SpokenLine::Context(spoken.voice)) += '\x04';
        Windows1252::AppendUtf8(key, spoken.text);
        const auto at = index.find(key);
        if (at == index.end()) {
            ++m_unlisted;
            continue;
        }
        const size_t i = at->second;
        const bool first = !used[i];
        used[i] = true;
        if (!translates(i))
            continue;
        const Use use{spoken.line, spoken.InSpeech(), spoken.InFemaleSpeech(), i};
        // Its context puts an entry into the same field each time.
        if (first) {
            char32_t missing = 0;
            const bool valid = Windows1252::FromUtf8(entries[i].translation, m_bytes[i], missing);
            refused[i] = Refuse(missing, m_bytes[i], use, valid);
        }
        // A text that its translation leaves as it is stays as read.
        if (m_bytes[i] != spoken.text)
            m_uses.push_back(use);
    }

    const std::string_view name = BaseName(path);
    const auto names = [name](const TranslationEntry::Place &place) { return BaseName(place.file) == name; };
    for (size_t i = 0; i < entries.size(); ++i) {
        const TranslationEntry &entry = entries[i];
        const bool named = entry.places.empty() || std::any_of(entry.places.begin(), entry.places.end(), names);
        if (entry.source.empty() || !(used[i] || named))
            continue;
        ++m_entryCount;
        m_untranslated += entry.translation.empty();
        m_fuzzy += !entry.translation.empty() && entry.fuzzy;
        if (!refused[i].empty())
            m_refusals.push_back({i, std::move(refused[i])});
        if (!used[i])
            m_gone.push_back(i);
        const size_t source = Utf8::Length(entry.source);
        const size_t translation = Utf8::Length(entry.translation);
        if (translates(i) && used[i] && translation > 2 * source)
            m_overlong.push_back({i, static_cast<double>(translation) / static_cast<double>(source)});
    }
}

std::string Translation::Refuse(char32_t missing, const std::string &bytes, const Use &use, bool valid)
{
    if (!valid && missing == 0xFFFD)
        return "it is not valid UTF-8";
    if (!valid) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(missing));
        std::string character;
        Utf8::Append(character, missing);
        return "it holds \"" + character + "\" (" + code + "), which Windows-1252 lacks";
    }
    if (std::string problem = TextRules::Check(bytes, TextRules::Place::Field); !problem.empty())
        return AsClause(std::move(problem));
    SpeechText code;
    DecodeSpeech(code, bytes);
    if (code.kind != 0)
        return "it starts with \"" + bytes.substr(0, 2) + "\", which the game reads as generated speech (" + std::string(GetSpeechKindLabel(code.kind)) + ")";
    if (use.femaleSpeech && !TextRules::ReadsBackAsPage(bytes))
        return "it starts with a digit, and a page whose speech to female PCs starts with one is read back as a PC option";
    return {};
}

bool Translation::Apply()
{
    if (!m_refusals.empty())
        return false;
    for (const Use &use : m_uses) {
        if (use.speech)
            use.line->SetSpeech(m_bytes[use.entry]);
        if (use.femaleSpeech)
            use.line->SetFemaleSpeech(m_bytes[use.entry]);
    }
    return true;
}
