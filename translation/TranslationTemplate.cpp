#include "translation/TranslationTemplate.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/Utf8.h"
#include "model/Windows1252.h"
#include "rules/GenderCheck.h"
#include "rules/IntelligenceCheck.h"
#include "speech/ShownSpeech.h"
#include "translation/SpokenLine.h"

namespace {

// The fields a template starts with, to be filled in for a language, as
// msginit and PO editors expect them.
constexpr const char *kHeader = "Project-Id-Version: PACKAGE VERSION\n"
                                "Report-Msgid-Bugs-To: \n"
                                "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
                                "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
                                "Language-Team: LANGUAGE <LL@li.org>\n"
                                "Language: \n"
                                "MIME-Version: 1.0\n"
                                "Content-Type: text/plain; charset=UTF-8\n"
                                "Content-Transfer-Encoding: 8bit\n";

std::string Quoted(std::string_view bytes)
{
    return "\"" + Windows1252::ToUtf8(bytes) + "\"";
}

// "shown only to female PCs of intelligence at least 8 if "has_key"";
// empty for an option that every PC is shown.
std::string ChecksInWords(const DialogLine::Fields &fields)
{
    std::string who;
    switch (GenderCheck(fields[2]).GetWho()) {
    case GenderCheck::MaleOnly:
        who = "male PCs";
        break;
    case GenderCheck::FemaleOnly:
        who = "female PCs";
        break;
    default:
        break;
    }
    if (const IntelligenceCheck check(fields[3]); !check.ChecksNothing()) {
        const char *comparison = check.GetComparison() == IntelligenceCheck::Above   ? " above "
                                 : check.GetComparison() == IntelligenceCheck::Below ? " below "
                                                                                     : " at least ";
        who = (who.empty() ? "PCs" : who) + " of intelligence" + comparison + std::to_string(check.GetNumber());
    }
    std::string shown = who.empty() ? "" : "to " + who;
    if (!fields[4].empty())
        shown += (shown.empty() ? "if " : " if ") + Quoted(fields[4]);
    return shown.empty() ? "" : "shown only " + shown;
}

// What the translator reads beside one place of a text.
std::vector<std::string> CommentsOn(const SpokenLine &spoken)
{
    std::vector<std::string> comments;
    std::string page = "page " + Quoted(spoken.page->ViewLabel());
    if (const std::string_view description = spoken.page->ViewDescription(); !description.empty())
        page += ": " + Windows1252::ToUtf8(description);
    comments.push_back(std::move(page));
    if (spoken.IsNpc())
        return comments;
    if (const std::string_view description = spoken.line->ViewDescription(); !description.empty())
        comments.push_back("option: " + Windows1252::ToUtf8(description));
    if (std::string checks = ChecksInWords(spoken.line->ViewFields()); !checks.empty())
        comments.push_back(std::move(checks));
    const std::vector<SpokenLine> answered = SpokenLine::Answered(spoken);
    for (const SpokenLine &npc : answered) {
        const std::string to = npc.voice == SpokenLine::NpcToAnyPc || answered.size() == 1 ? "" : " (" + std::string(SpokenLine::Context(npc.voice)) + ")";
        comments.push_back("answers" + to + ": " + Quoted(ShownSpeech::Of(npc.text)));
    }
    return comments;
}

} // namespace

TranslationTemplate::TranslationTemplate()
{
    TranslationEntry header;
    header.translation = kHeader;
    header.fuzzy = true;
    m_entries.push_back(std::move(header));
    m_found.emplace_back();
}

void TranslationTemplate::Add(const DialogFile &file, std::string_view name)
{
    // A name that is no UTF-8 is shown through Windows-1252, as dump shows it.
    const std::string fileName = Utf8::IsValid(name) ? std::string(name) : Windows1252::ToUtf8(name);
    for (const SpokenLine &spoken : SpokenLine::Collect(file)) {
        if (spoken.generated)
            continue;
        std::string source = Windows1252::ToUtf8(spoken.text);
        const std::string_view context = SpokenLine::Context(spoken.voice);
        const auto [at, added] = m_index.try_emplace(TranslationEntry::Key(context, source), m_entries.size());
        if (added) {
            TranslationEntry entry;
            entry.context = context;
            entry.source = std::move(source);
            m_entries.push_back(std::move(entry));
            m_found.emplace_back();
        }
        TranslationEntry &entry = m_entries[at->second];
        Found &found = m_found[at->second];
        if (found.places++ >= kListedPlaces)
            continue;
        entry.places.push_back({fileName, spoken.line->GetFileLine()});
        for (std::string &comment : CommentsOn(spoken)) {
            if (found.comments.insert(comment).second)
                entry.comments.push_back(std::move(comment));
        }
    }
}

std::vector<TranslationEntry> TranslationTemplate::GetEntries() const
{
    std::vector<TranslationEntry> entries = m_entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (m_found[i].places > kListedPlaces)
            entries[i].comments.push_back("and in " + std::to_string(m_found[i].places - kListedPlaces) + " more places");
    }
    return entries;
}
