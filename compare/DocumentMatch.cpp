#include "compare/DocumentMatch.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <span>
#include <string_view>
#include <tuple>

namespace {

// Appends a text to a key so that no two lists of texts give one key.
void AddToKey(std::string &key, std::string_view text)
{
    key += std::to_string(text.size());
    key += ':';
    key += text;
}

// Pairs, in order, the unmatched items of before and after that share a key;
// items whose key is empty are left alone.
template <typename KeyOf>
void PairByKey(SequenceMatch &match, KeyOf keyOf)
{
    struct Waiting {
        std::vector<int> items;
        size_t next = 0;
    };
    std::unordered_map<std::string, Waiting> waiting;
    for (int a = 0; a < match.AfterCount(); ++a) {
        if (match.BeforeOf(a) < 0) {
            std::string key = keyOf(a, false);
            if (!key.empty())
                waiting[std::move(key)].items.push_back(a);
        }
    }
    if (waiting.empty())
        return;
    for (int b = 0; b < match.BeforeCount(); ++b) {
        if (match.AfterOf(b) >= 0)
            continue;
        const auto it = waiting.find(keyOf(b, true));
        if (it == waiting.end() || it->second.next == it->second.items.size())
            continue;
        match.Pair(b, it->second.items[it->second.next++]);
    }
}

// A file's pages sorted by name (by its hash first, which is quicker to
// compare), those of one name in their order.
struct NamedPage {
    size_t hash;
    std::string_view name;
    int index;

    auto Name() const { return std::tie(hash, name); }
};

std::vector<NamedPage> ByName(const DialogFile &file)
{
    std::vector<NamedPage> pages;
    pages.reserve(static_cast<size_t>(file.GetPageCount()));
    for (int p = 0; p < file.GetPageCount(); ++p) {
        const std::string_view name = file.GetPage(p)->ViewLabel();
        pages.push_back({std::hash<std::string_view>()(name), name, p});
    }
    std::sort(pages.begin(), pages.end(), [](const NamedPage &a, const NamedPage &b) {
        return std::tie(a.hash, a.name, a.index) < std::tie(b.hash, b.name, b.index);
    });
    return pages;
}

} // namespace

DocumentMatch::DocumentMatch(const DialogFile &before, const DialogFile &after)
    : m_before(before)
    , m_after(after)
    , m_pages(before.GetPageCount(), after.GetPageCount())
{
    m_beforeIndex.reserve(static_cast<size_t>(before.GetPageCount()));
    for (int i = 0; i < before.GetPageCount(); ++i)
        m_beforeIndex.emplace(before.GetPage(i), i);
    m_afterIndex.reserve(static_cast<size_t>(after.GetPageCount()));
    for (int i = 0; i < after.GetPageCount(); ++i)
        m_afterIndex.emplace(after.GetPage(i), i);
    MatchPages();
}

int DocumentMatch::BeforeIndex(const DialogLine *page) const
{
    const auto it = page ? m_beforeIndex.find(page) : m_beforeIndex.end();
    return it == m_beforeIndex.end() ? -1 : it->second;
}

int DocumentMatch::AfterIndex(const DialogLine *page) const
{
    const auto it = page ? m_afterIndex.find(page) : m_afterIndex.end();
    return it == m_afterIndex.end() ? -1 : it->second;
}

bool DocumentMatch::SamePage(const DialogLine *before, const DialogLine *after) const
{
    if (!before || !after)
        return before == after;
    const int b = BeforeIndex(before);
    return b >= 0 && m_pages.AfterOf(b) >= 0 && m_pages.AfterOf(b) == AfterIndex(after);
}

bool DocumentMatch::SameField(const DialogLine &before, const DialogLine &after, LineField field) const
{
    if (field == LineField::Name)
        return before.ViewLabel() == after.ViewLabel();
    return LineFields::Text(before, field) == LineFields::Text(after, field)
        && SamePage(LineFields::Page(before, field), LineFields::Page(after, field));
}

bool DocumentMatch::SameFields(const DialogLine &before, const DialogLine &after, bool page) const
{
    // Most lines are as they were, byte for byte but for their numbers: that
    // is quickly seen, at once in a line as read, after finding its fields in
    // one made or changed here. Any other line is compared field by field.
    const bool notesAlike = before.ViewDescription() == after.ViewDescription() && before.ViewComment() == after.ViewComment();
    if (notesAlike) {
        // A page's field 4 is its place in the file, which is no part of it;
        // an option's jump is the page it leads to, or its number when it leads to none.
        const bool leadsToAPage = !page && (before.GetTarget() || after.GetTarget());
        if ((!leadsToAPage || SamePage(before.GetTarget(), after.GetTarget()))
            && before.SameBytesAsRead(after, page ? 4 : leadsToAPage ? 5 : -1))
            return true;
    }
    const DialogLine::Fields was = before.ViewFields();
    const DialogLine::Fields now = after.ViewFields();
    const auto requestsMoney = [page](const DialogLine::Fields &fields) {
        return fields[1].starts_with("M:") || (page && fields[2].starts_with("M:"));
    };
    bool quick = notesAlike && was[1] == now[1] && was[2] == now[2] && was[3] == now[3] && (page || was[4] == now[4]) && was[6] == now[6]
        && !requestsMoney(was);
    if (quick && !page)
        quick = before.GetTarget() || after.GetTarget() ? SamePage(before.GetTarget(), after.GetTarget())
                                                         : DialogField::ToInt(was[5]) == DialogField::ToInt(now[5]);
    if (quick)
        return true;
    const auto fields = page ? LineFields::OfPage() : LineFields::OfOption();
    return std::all_of(fields.begin(), fields.end(), [&](LineField field) { return SameField(before, after, field); });
}

bool DocumentMatch::SameOption(const DialogLine &before, const DialogLine &after) const
{
    return SameFields(before, after, false);
}

bool DocumentMatch::IsUnchanged(int beforePage) const
{
    const int afterPage = m_pages.AfterOf(beforePage);
    if (afterPage < 0)
        return false;
    const DialogLine &before = *m_before.GetPage(beforePage);
    const DialogLine &after = *m_after.GetPage(afterPage);
    if (!SameField(before, after, LineField::Name) || before.GetOptionCount() != after.GetOptionCount() || !SameFields(before, after, true))
        return false;
    for (int o = 0; o < before.GetOptionCount(); ++o) {
        if (!SameOption(*before.GetOption(o), *after.GetOption(o)))
            return false;
    }
    return true;
}

void DocumentMatch::MatchPages()
{
    const auto pageOf = [this](int index, bool before) { return (before ? m_before : m_after).GetPage(index); };
    // What a page says: everything but its name and where its options lead.
    const auto content = [&](int i, bool before) {
        const DialogLine &page = *pageOf(i, before);
        std::string key;
        for (const LineField field : LineFields::OfPage())
            AddToKey(key, LineFields::Text(page, field));
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            for (const LineField field : LineFields::OfOption()) {
                if (field != LineField::Target)
                    AddToKey(key, LineFields::Text(*page.GetOption(o), field));
            }
        }
        return key;
    };
    // By name, pages of one name in their order, those alike first.
    const std::vector<NamedPage> was = ByName(m_before);
    const std::vector<NamedPage> now = ByName(m_after);
    for (size_t b = 0, a = 0; b < was.size() && a < now.size();) {
        const auto name = std::min(was[b].Name(), now[a].Name());
        size_t bEnd = b;
        while (bEnd < was.size() && was[bEnd].Name() == name)
            ++bEnd;
        size_t aEnd = a;
        while (aEnd < now.size() && now[aEnd].Name() == name)
            ++aEnd;
        if (bEnd > b && aEnd > a && (bEnd - b > 1 || aEnd - a > 1)) {
            std::unordered_map<std::string, std::deque<int>> alike;
            for (size_t k = a; k < aEnd; ++k)
                alike[content(now[k].index, false)].push_back(now[k].index);
            for (size_t k = b; k < bEnd; ++k) {
                const auto it = alike.find(content(was[k].index, true));
                if (it != alike.end() && !it->second.empty()) {
                    m_pages.Pair(was[k].index, it->second.front());
                    it->second.pop_front();
                }
            }
        }
        for (size_t k = b, next = a; k < bEnd; ++k) {
            if (m_pages.AfterOf(was[k].index) >= 0)
                continue;
            while (next < aEnd && m_pages.BeforeOf(now[next].index) >= 0)
                ++next;
            if (next == aEnd)
                break;
            m_pages.Pair(was[k].index, now[next++].index);
        }
        b = bEnd;
        a = aEnd;
    }
    // Renamed, otherwise alike.
    PairByKey(m_pages, content);
    // Renamed and changed, its NPC speech as it was.
    PairByKey(m_pages, [&](int i, bool before) {
        const DialogLine &page = *pageOf(i, before);
        const std::string speech = LineFields::Text(page, LineField::Speech);
        if (speech.empty())
            return std::string();
        std::string key;
        AddToKey(key, speech);
        AddToKey(key, LineFields::Text(page, LineField::FemaleSpeech));
        return key;
    });
    m_pages.FindMoves();
}

std::string DocumentMatch::OptionKey(const DialogLine &option, bool before) const
{
    std::string key;
    for (const LineField field : LineFields::OfOption()) {
        AddToKey(key, LineFields::Text(option, field));
        // A page by its place in after; one that after lacks by its place before.
        const DialogLine *page = LineFields::Page(option, field);
        const int index = before ? BeforeIndex(page) : AfterIndex(page);
        const int after = before && index >= 0 ? m_pages.AfterOf(index) : index;
        key += after >= 0 || !page ? std::to_string(after) : "b" + std::to_string(index);
    }
    return key;
}

SequenceMatch DocumentMatch::MatchOptions(int beforePage) const
{
    const DialogLine &before = *m_before.GetPage(beforePage);
    const DialogLine &after = *m_after.GetPage(m_pages.AfterOf(beforePage));
    const auto optionOf = [&](int i, bool isBefore) -> const DialogLine & { return *(isBefore ? before : after).GetOption(i); };
    SequenceMatch match(before.GetOptionCount(), after.GetOptionCount());
    // Most pages keep their options as they were.
    int same = 0;
    while (same < before.GetOptionCount() && same < after.GetOptionCount() && SameOption(*before.GetOption(same), *after.GetOption(same)))
        ++same;
    if (same == before.GetOptionCount() && same == after.GetOptionCount()) {
        for (int o = 0; o < same; ++o)
            match.Pair(o, o);
        match.FindMoves();
        return match;
    }
    PairByKey(match, [&](int i, bool isBefore) { return OptionKey(optionOf(i, isBefore), isBefore); });
    PairByKey(match, [&](int i, bool isBefore) { return "=" + LineFields::Text(optionOf(i, isBefore), LineField::Speech); });

    // The rest by their place: between two options that kept their order,
    // as many before as after pair in order; otherwise those alike in most
    // of their checks, conditions, results and jump.
    match.FindMoves();
    constexpr LineField kAlike[] = {LineField::GenderCheck, LineField::IntelligenceCheck, LineField::Conditions, LineField::Results, LineField::Target};
    const auto alike = [&](int b, int a) {
        int same = 0;
        for (const LineField field : kAlike)
            same += SameField(optionOf(b, true), optionOf(a, false), field);
        return same >= 3;
    };
    int nextBefore = 0;
    int nextAfter = 0;
    while (nextBefore <= match.BeforeCount()) {
        // The next anchor: a matched option that did not move, or the end.
        int anchor = nextBefore;
        while (anchor < match.BeforeCount() && (match.AfterOf(anchor) < 0 || match.IsMoved(anchor)))
            ++anchor;
        const int anchorAfter = anchor < match.BeforeCount() ? match.AfterOf(anchor) : match.AfterCount();
        std::vector<int> befores;
        std::vector<int> afters;
        for (int b = nextBefore; b < anchor; ++b) {
            if (match.AfterOf(b) < 0)
                befores.push_back(b);
        }
        for (int a = nextAfter; a < anchorAfter; ++a) {
            if (match.BeforeOf(a) < 0)
                afters.push_back(a);
        }
        size_t from = 0;
        for (const int b : befores) {
            for (size_t k = from; k < afters.size(); ++k) {
                if (befores.size() == afters.size() || alike(b, afters[k])) {
                    match.Pair(b, afters[k]);
                    from = k + 1;
                    break;
                }
            }
        }
        nextBefore = anchor + 1;
        nextAfter = anchorAfter + 1;
    }
    match.FindMoves();
    return match;
}
