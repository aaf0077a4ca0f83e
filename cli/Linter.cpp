#include "Linter.h"

#include "DialogFiles.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"
#include "speech/GeneratedSpeechKind.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <queue>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace {

using Place = TextRules::Place;

bool IsDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Numbers in checks are digits; a value beyond any intelligence still orders right.
long long Value(std::string_view digits)
{
    long long value = 0;
    for (const char c : digits.substr(0, 12))
        value = value * 10 + (c - '0');
    return value;
}

std::string PageName(const DialogLine &page)
{
    return "page \"" + page.GetLabel() + "\" (line " + std::to_string(page.GetFileLine()) + ")";
}

// Sets of intelligence bands as sorted, separate half-open ranges
// [first, last) of band indexes; ranges that touch are joined.
using BandRange = std::pair<size_t, size_t>;
using BandSet = std::vector<BandRange>;

BandSet Intersect(const BandSet &set, BandRange range)
{
    BandSet result;
    for (const auto &[first, last] : set) {
        const size_t from = std::max(first, range.first);
        const size_t to = std::min(last, range.second);
        if (from < to)
            result.emplace_back(from, to);
    }
    return result;
}

BandSet Unite(const BandSet &a, const BandSet &b)
{
    BandSet merged;
    std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(merged));
    BandSet result;
    for (const BandRange &range : merged) {
        if (!result.empty() && range.first <= result.back().second)
            result.back().second = std::max(result.back().second, range.second);
        else
            result.push_back(range);
    }
    return result;
}

// The bands of a that b lacks.
BandSet Subtract(const BandSet &a, const BandSet &b)
{
    BandSet result;
    size_t k = 0;
    for (auto [first, last] : a) {
        while (k < b.size() && b[k].second <= first)
            ++k;
        for (size_t j = k; j < b.size() && b[j].first < last; ++j) {
            if (b[j].first > first)
                result.emplace_back(first, b[j].first);
            first = std::max(first, b[j].second);
        }
        if (first < last)
            result.emplace_back(first, last);
    }
    return result;
}

BandSet Complement(const BandSet &set, size_t bands)
{
    return Subtract({{0, bands}}, set);
}

class FileCheck {
public:
    FileCheck(const DialogFile &file, const std::string &path) : m_file(file), m_path(path) {}

    std::vector<Finding> Run()
    {
        CheckDroppedLines();
        CheckNumbers();
        const std::vector<int> numbers = m_file.GetRenumberedPageNumbers();
        for (int i = 0; i < m_file.GetPageCount(); ++i) {
            const DialogLine &page = *m_file.GetPage(i);
            CheckPage(page);
            // Saved, a page without a name is written "// [LABEL] " and
            // read back named by its number.
            if (page.GetLabel().empty())
                Add(page.GetFileLine(), Finding::Note, PageName(page) + " has no name: once saved, it reads back named \""
                                                           + std::to_string(numbers[static_cast<size_t>(i)]) + "\"");
            for (int o = 0; o < page.GetOptionCount(); ++o)
                CheckOption(*page.GetOption(o));
        }
        CheckReachability();
        return std::move(m_findings);
    }

private:
    void Add(int line, Finding::Severity severity, std::string message)
    {
        m_findings.push_back({m_path, line, severity, std::move(message)});
    }

    void CheckDroppedLines()
    {
        bool loneCr = false;
        for (const DroppedLine &dropped : m_file.GetDroppedLines()) {
            if (dropped.kind == DroppedLine::LoneCr) {
                loneCr = true;
                continue;
            }
            if (dropped.kind == DroppedLine::TooFewFields)
                Add(dropped.line, Finding::Warning, "this line holds braces but fewer than seven fields, so the game skips it "
                                                    "(does a text hold \"//\"?) and the editor drops it when it saves the file");
            else
                Add(dropped.line, Finding::Warning,
                    std::string(DroppedLine::What(dropped.kind))
                        + (DroppedLine::IsWholeLine(dropped.kind) ? ": the editor drops this line when it saves the file"
                                                                  : ": the editor drops this text when it saves the file"));
        }
        if (loneCr)
            Add(1, Finding::Error, "the lines of this file end in a lone CR, which reading does not take for a line end: "
                                   "the editor would keep only the first dialog line of each run of them");
    }

    void CheckText(const DialogLine &line, const std::string &subject, std::string_view what, std::string_view text, Place place)
    {
        const std::string reason = TextRules::Check(text, place);
        if (!reason.empty())
            Add(line.GetFileLine(), Finding::Error, subject + ": its " + std::string(what) + " cannot be written back as it reads. " + reason);
    }

    void CheckComments(const DialogLine &line, const std::string &subject)
    {
        CheckText(line, subject, "description", line.GetDescription(), Place::Description);
        std::string_view remarks = line.GetComment();
        while (!remarks.empty()) {
            const size_t lf = remarks.find('\n');
            CheckText(line, subject, "remark", remarks.substr(0, lf), Place::Remark);
            remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
        }
    }

    void NoteCanonical(const DialogLine &line, const std::string &subject, const SpeechText &code, const std::string &text)
    {
        if (code.kind == 0)
            return;
        const std::string canonical = EncodeSpeech(code);
        if (canonical != text)
            Add(line.GetFileLine(), Finding::Note, subject + ": generated speech \"" + text + "\" would be saved as \"" + canonical + "\"");
    }

    void CheckPage(const DialogLine &page)
    {
        const std::string subject = PageName(page);
        if (!TextRules::ReadsBackAsPage(page.GetFemaleSpeech()))
            Add(page.GetFileLine(), Finding::Error, subject + " would not read back as a page: its speech to female PCs is empty or starts with a digit");
        CheckText(page, subject, "name", page.GetLabel(), Place::Label);
        CheckText(page, subject, "speech", page.GetSpeech(), Place::Field);
        CheckText(page, subject, "speech to female PCs", page.GetFemaleSpeech(), Place::Field);
        CheckText(page, subject, "field 3", page.GetIntelligenceCheck(), Place::Field);
        CheckText(page, subject, "field 6", page.GetResults(), Place::Field);
        CheckComments(page, subject);
        NoteCanonical(page, subject, page.GetSpeechCode(), page.GetSpeech());
        if (!page.IsSameSpeechForBoth())
            NoteCanonical(page, subject, page.GetFemaleSpeechCode(), page.GetFemaleSpeech());
    }

    void CheckOption(const DialogLine &option)
    {
        const std::string subject = "the option on line " + std::to_string(option.GetFileLine());
        CheckText(option, subject, "speech", option.GetSpeech(), Place::Field);
        CheckText(option, subject, "gender check", option.GetFemaleSpeech(), Place::Field);
        CheckText(option, subject, "intelligence check", option.GetIntelligenceCheck(), Place::Field);
        CheckText(option, subject, "conditions", option.GetConditions(), Place::Field);
        CheckText(option, subject, "results", option.GetResults(), Place::Field);
        CheckComments(option, subject);
        NoteCanonical(option, subject, option.GetSpeechCode(), option.GetSpeech());

        if (const int target = option.GetTargetNumber(); target != 0 && !option.GetTarget())
            Add(option.GetFileLine(), Finding::Warning, subject + " leads to page number " + std::to_string(target)
                                                            + ", which no page has: the conversation ends there");
        const std::string &gender = option.GetFemaleSpeech();
        if (!gender.empty() && gender != "0" && gender != "1")
            Add(option.GetFileLine(), Finding::Warning, subject + " has the gender check \"" + gender + "\", which is neither empty, \"0\" nor \"1\"");
        const std::string &check = option.GetIntelligenceCheck();
        const std::string_view digits = !check.empty() && (check[0] == '+' || check[0] == '-') ? std::string_view(check).substr(1) : check;
        if (!IsDigits(digits))
            Add(option.GetFileLine(), Finding::Warning, subject + " has the intelligence check \"" + check
                                                            + "\", which is none of \"1\", \"N\", \"+N\" and \"-N\"");
    }

    void CheckNumbers()
    {
        std::unordered_map<int, const DialogLine *> first;
        for (int i = 0; i < m_file.GetPageCount(); ++i) {
            const DialogLine &page = *m_file.GetPage(i);
            const auto [at, inserted] = first.try_emplace(page.GetNumber(), &page);
            if (!inserted)
                Add(page.GetFileLine(), Finding::Warning, PageName(page) + " has the number " + std::to_string(page.GetNumber())
                                                              + " of " + PageName(*at->second) + ": jumps to it go to the first");
        }
    }

    // A player as the checks tell players apart: a gender and an intelligence.
    struct Player {
        bool female;
        long long intelligence;
    };

    static bool Passes(const DialogLine &option, const Player &player)
    {
        const std::string &gender = option.GetFemaleSpeech();
        if (gender == "0" && !player.female)
            return false;
        if (gender == "1" && player.female)
            return false;
        const std::string &check = option.GetIntelligenceCheck();
        if (check.empty() || check == "1")
            return true;
        if ((check[0] == '-' || check[0] == '+') && IsDigits(std::string_view(check).substr(1))) {
            const long long n = Value(std::string_view(check).substr(1));
            return check[0] == '-' ? player.intelligence < n : player.intelligence > n;
        }
        return !IsDigits(check) || player.intelligence >= Value(check); // an unknown form: passable
    }

    // The intelligence that stands for band b: bands are split by bounds,
    // band 0 lies below bounds[0], band b from bounds[b - 1] on.
    static long long Representative(size_t b, const std::vector<long long> &bounds)
    {
        if (b == 0)
            return bounds.empty() ? 10 : bounds[0] - 1;
        return bounds[b - 1];
    }

    // The bands in which option passes for one gender. A check passes below
    // a line, above one, everywhere or nowhere, so the bands are one range,
    // found by halving.
    static BandSet PassingBands(const DialogLine &option, bool female, const std::vector<long long> &bounds)
    {
        const size_t bands = bounds.size() + 1;
        const auto passes = [&](size_t b) { return Passes(option, {female, Representative(b, bounds)}); };
        const bool first = passes(0);
        const bool last = passes(bands - 1);
        if (first == last)
            return first ? BandSet{{0, bands}} : BandSet{};
        size_t low = 0;
        size_t high = bands - 1;
        while (high - low > 1) {
            const size_t middle = low + (high - low) / 2;
            (passes(middle) == first ? low : high) = middle;
        }
        return first ? BandSet{{0, high}} : BandSet{{high, bands}};
    }

    // Where a page leads: by an option, or (option null) by Request money
    // when the PC pays.
    struct Link {
        size_t to;
        const DialogLine *option;
    };

    std::vector<std::vector<Link>> Links() const
    {
        std::unordered_map<const DialogLine *, size_t> index;
        for (int i = 0; i < m_file.GetPageCount(); ++i)
            index.emplace(m_file.GetPage(i), static_cast<size_t>(i));
        std::vector<std::vector<Link>> links(index.size());
        for (size_t i = 0; i < links.size(); ++i) {
            const DialogLine &page = *m_file.GetPage(static_cast<int>(i));
            const auto link = [&](const DialogLine *target, const DialogLine *option) {
                if (const auto it = target ? index.find(target) : index.end(); it != index.end())
                    links[i].push_back({it->second, option});
            };
            for (const SpeechText *code : {&page.GetSpeechCode(), &page.GetFemaleSpeechCode()}) {
                if (code->kind == GeneratedSpeechKind::RequestMoney)
                    link(code->g, nullptr);
            }
            for (int o = 0; o < page.GetOptionCount(); ++o)
                link(page.GetOption(o)->GetTarget(), page.GetOption(o));
        }
        return links;
    }

    // Each page's place in the reverse postorder of a walk from the first
    // page: every link but those that close a loop leads to a later place.
    static std::vector<size_t> Order(const std::vector<std::vector<Link>> &links)
    {
        std::vector<size_t> place(links.size(), links.size());
        std::vector<bool> seen(links.size(), false);
        std::vector<std::pair<size_t, size_t>> stack{{0, 0}}; // page, next link
        seen[0] = true;
        size_t next = links.size();
        while (!stack.empty()) {
            auto &[page, link] = stack.back();
            if (link == links[page].size()) {
                place[page] = --next;
                stack.pop_back();
                continue;
            }
            const size_t to = links[page][link++].to;
            if (!seen[to]) {
                seen[to] = true;
                stack.emplace_back(to, 0);
            }
        }
        return place;
    }

    // For every page, the bands in which PCs of one gender can reach it.
    // A page passes on only the bands it gained since it last did, and pages
    // take their turn in walk order, so that a page has mostly gained all it
    // will before it passes anything on: the work follows the file, not the
    // file times its bands.
    std::vector<BandSet> ReachableBands(bool female, const std::vector<long long> &bounds, const std::vector<std::vector<Link>> &links,
                                        const std::vector<size_t> &place) const
    {
        const size_t pages = links.size();
        std::vector<BandSet> reached(pages);
        std::vector<BandSet> pending(pages);
        std::vector<bool> queued(pages, false);
        // Pages waiting for their turn, by place, earliest first.
        std::priority_queue<std::pair<size_t, size_t>, std::vector<std::pair<size_t, size_t>>, std::greater<>> turns;
        reached[0] = pending[0] = {{0, bounds.size() + 1}};
        queued[0] = true;
        turns.emplace(place[0], 0);
        while (!turns.empty()) {
            const size_t from = turns.top().second;
            turns.pop();
            queued[from] = false;
            const BandSet gained = std::move(pending[from]);
            pending[from].clear();
            for (const Link &link : links[from]) {
                BandSet offered = gained;
                if (link.option) {
                    const BandSet passing = PassingBands(*link.option, female, bounds);
                    offered = passing.empty() ? BandSet{} : Intersect(gained, passing.front());
                }
                BandSet fresh = Subtract(offered, reached[link.to]);
                if (fresh.empty())
                    continue;
                reached[link.to] = Unite(reached[link.to], fresh);
                pending[link.to] = Unite(pending[link.to], fresh);
                if (!queued[link.to]) {
                    queued[link.to] = true;
                    turns.emplace(place[link.to], link.to);
                }
            }
        }
        return reached;
    }

    // Where the intelligence checks of the file draw their lines.
    std::vector<long long> Boundaries() const
    {
        std::set<long long> bounds;
        for (int i = 0; i < m_file.GetPageCount(); ++i) {
            for (int o = 0; o < m_file.GetPage(i)->GetOptionCount(); ++o) {
                const std::string &check = m_file.GetPage(i)->GetOption(o)->GetIntelligenceCheck();
                if (check == "1" || check.empty())
                    continue;
                if (check[0] == '-' && IsDigits(std::string_view(check).substr(1)))
                    bounds.insert(Value(std::string_view(check).substr(1)));
                else if (check[0] == '+' && IsDigits(std::string_view(check).substr(1)))
                    bounds.insert(Value(std::string_view(check).substr(1)) + 1);
                else if (IsDigits(check))
                    bounds.insert(Value(check));
            }
        }
        return {bounds.begin(), bounds.end()};
    }

    // "below 8", "8 or above", "8 to 11", joined with "or".
    static std::string Bands(const BandSet &missing, const std::vector<long long> &bounds)
    {
        const size_t bands = bounds.size() + 1;
        std::string text;
        for (const auto &[first, last] : missing) {
            std::string range;
            if (first == 0)
                range = "below " + std::to_string(bounds[last - 1]);
            else if (last == bands)
                range = std::to_string(bounds[first - 1]) + " or above";
            else
                range = std::to_string(bounds[first - 1]) + " to " + std::to_string(bounds[last - 1] - 1);
            text += (text.empty() ? "" : " or ") + range;
        }
        return text;
    }

    static std::string Players(const char *gender, const BandSet &reached, const std::vector<long long> &bounds)
    {
        if (reached.empty())
            return std::string("for ") + gender + " PCs";
        return std::string("for ") + gender + " PCs of intelligence " + Bands(Complement(reached, bounds.size() + 1), bounds);
    }

    void CheckReachability()
    {
        if (m_file.GetPageCount() == 0)
            return;
        const std::vector<long long> bounds = Boundaries();
        const std::vector<std::vector<Link>> links = Links();
        const std::vector<size_t> place = Order(links);
        // reached[gender][page]
        const std::vector<BandSet> reached[2] = {ReachableBands(false, bounds, links, place), ReachableBands(true, bounds, links, place)};
        const BandSet everyBand{{0, bounds.size() + 1}};

        std::unordered_set<const DialogLine *> linked;
        for (int i = 0; i < m_file.GetPageCount(); ++i) {
            const DialogLine &page = *m_file.GetPage(i);
            for (const SpeechText *code : {&page.GetSpeechCode(), &page.GetFemaleSpeechCode()}) {
                if (code->kind == GeneratedSpeechKind::RequestMoney && code->g)
                    linked.insert(code->g);
            }
            for (int o = 0; o < page.GetOptionCount(); ++o)
                linked.insert(page.GetOption(o)->GetTarget());
        }

        for (int i = 1; i < m_file.GetPageCount(); ++i) {
            const DialogLine &page = *m_file.GetPage(i);
            if (!linked.count(&page)) {
                Add(page.GetFileLine(), Finding::Warning, PageName(page) + ": no option leads to it");
                continue;
            }
            const BandSet &male = reached[0][static_cast<size_t>(i)];
            const BandSet &female = reached[1][static_cast<size_t>(i)];
            if (male == everyBand && female == everyBand)
                continue;
            std::string who;
            if (male.empty() && female.empty())
                who = "for every PC";
            else if (male == female)
                who = "for PCs of intelligence " + Bands(Complement(male, everyBand.front().second), bounds);
            else {
                if (female != everyBand)
                    who = Players("female", female, bounds);
                if (male != everyBand)
                    who += (who.empty() ? "" : " and ") + Players("male", male, bounds);
            }
            Add(page.GetFileLine(), Finding::Warning, PageName(page) + " is unreachable " + who);
        }
    }

    const DialogFile &m_file;
    const std::string &m_path;
    std::vector<Finding> m_findings;
};

} // namespace

std::vector<Finding> Linter::CheckFile(const std::string &path)
{
    DialogFile file;
    std::string error;
    if (!DialogFiles::Read(path, file, error))
        return {{path, file.GetErrorLine(), Finding::Error, "cannot read the file: " + error}};
    return CheckDocument(file, path);
}

std::vector<Finding> Linter::CheckDocument(const DialogFile &file, const std::string &path)
{
    return FileCheck(file, path).Run();
}
