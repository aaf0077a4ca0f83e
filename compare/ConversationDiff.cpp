#include "compare/ConversationDiff.h"

#include "compare/DocumentMatch.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

namespace {

using Diff = ConversationDiff;

// A page says the same to both genders in its field 2: shown once, as its speech.
bool SpeaksAlike(const DialogLine &page)
{
    return LineFields::Text(page, LineField::FemaleSpeech) == LineFields::Text(page, LineField::Speech);
}

// Every field of a new line that holds something, the speech of an option aside.
std::vector<Diff::Field> Contents(const DialogLine &line, bool page)
{
    std::vector<Diff::Field> fields;
    for (const LineField field : page ? LineFields::OfPage() : LineFields::OfOption()) {
        if ((!page && field == LineField::Speech) || (field == LineField::FemaleSpeech && SpeaksAlike(line)) || LineFields::IsDefault(line, field))
            continue;
        fields.push_back({field, "", LineFields::Shown(line, field)});
    }
    return fields;
}

std::vector<Diff::Field> Changes(const DocumentMatch &match, const DialogLine &before, const DialogLine &after, bool page)
{
    std::vector<Diff::Field> fields;
    for (const LineField field : page ? LineFields::OfPage() : LineFields::OfOption()) {
        if (field == LineField::FemaleSpeech && SpeaksAlike(before) && SpeaksAlike(after))
            continue;
        if (!match.SameField(before, after, field))
            fields.push_back({field, LineFields::Shown(before, field), LineFields::Shown(after, field)});
    }
    return fields;
}

// Walks the items of after in order and puts each removed item of before
// where it stood: before the first item after it that kept its place.
template <typename Emit>
void InOrderAfter(const SequenceMatch &match, Emit emit)
{
    int nextRemoved = 0;
    const auto flush = [&](int upTo) {
        for (; nextRemoved < upTo; ++nextRemoved) {
            if (match.AfterOf(nextRemoved) < 0)
                emit(nextRemoved, -1);
        }
    };
    for (int a = 0; a < match.AfterCount(); ++a) {
        const int b = match.BeforeOf(a);
        if (b >= 0 && !match.IsMoved(b))
            flush(b);
        emit(b, a);
    }
    flush(match.BeforeCount());
}

std::vector<Diff::Option> OptionChanges(const DocumentMatch &match, const DialogLine &before, const DialogLine &after, const SequenceMatch &options)
{
    std::vector<Diff::Option> changes;
    InOrderAfter(options, [&](int b, int a) {
        Diff::Option option;
        option.before = b;
        option.after = a;
        if (b < 0) {
            option.change = Diff::Change::Added;
            option.speech = LineFields::Shown(*after.GetOption(a), LineField::Speech);
            option.fields = Contents(*after.GetOption(a), false);
        } else if (a < 0) {
            option.change = Diff::Change::Removed;
            option.speech = LineFields::Shown(*before.GetOption(b), LineField::Speech);
        } else {
            option.moved = options.IsMoved(b);
            option.speech = LineFields::Shown(*after.GetOption(a), LineField::Speech);
            option.fields = Changes(match, *before.GetOption(b), *after.GetOption(a), false);
            if (!option.moved && option.fields.empty())
                return;
        }
        changes.push_back(std::move(option));
    });
    return changes;
}

} // namespace

bool ConversationDiff::Field::IsText() const
{
    return field != LineField::GenderCheck && field != LineField::IntelligenceCheck && field != LineField::Target;
}

ConversationDiff ConversationDiff::Compare(const DialogFile &before, const DialogFile &after)
{
    const DocumentMatch match(before, after);
    ConversationDiff diff;
    InOrderAfter(match.Pages(), [&](int b, int a) {
        Page page;
        page.before = b;
        page.after = a;
        if (b < 0) {
            const DialogLine &added = *after.GetPage(a);
            page.change = Change::Added;
            page.name = added.ViewLabel();
            page.fields = Contents(added, true);
            for (int o = 0; o < added.GetOptionCount(); ++o)
                page.options.push_back({Change::Added, -1, o, false, LineFields::Shown(*added.GetOption(o), LineField::Speech),
                                        Contents(*added.GetOption(o), false)});
        } else if (a < 0) {
            page.change = Change::Removed;
            page.name = before.GetPage(b)->ViewLabel();
        } else if (!match.IsUnchanged(b) || match.Pages().IsMoved(b)) {
            const DialogLine &was = *before.GetPage(b);
            const DialogLine &now = *after.GetPage(a);
            page.name = now.ViewLabel();
            page.renamed = was.ViewLabel() != now.ViewLabel();
            if (page.renamed)
                page.oldName = was.ViewLabel();
            page.moved = match.Pages().IsMoved(b);
            page.fields = Changes(match, was, now, true);
            page.options = OptionChanges(match, was, now, match.MatchOptions(b));
            if (!page.renamed && !page.moved && page.fields.empty() && page.options.empty())
                return;
        } else {
            return;
        }
        diff.m_pages.push_back(std::move(page));
    });
    return diff;
}
