#include "Linter.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"
#include "speech/GeneratedSpeechKind.h"

#include <algorithm>
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

class FileCheck {
public:
    FileCheck(const DialogFile &file, const std::string &path) : m_file(file), m_path(path) {}

    std::vector<Finding> Run()
    {
        CheckDroppedLines();
        CheckNumbers();
        for (int i = 0; i < m_file.GetPageCount(); ++i) {
            const DialogLine &page = *m_file.GetPage(i);
            CheckPage(page);
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

    std::vector<bool> Reachable(const Player &player) const
    {
        std::unordered_map<const DialogLine *, int> index;
        for (int i = 0; i < m_file.GetPageCount(); ++i)
            index.emplace(m_file.GetPage(i), i);
        std::vector<bool> reached(static_cast<size_t>(m_file.GetPageCount()), false);
        std::vector<int> queue{0};
        reached[0] = true;
        const auto visit = [&](const DialogLine *page) {
            if (!page)
                return;
            const auto it = index.find(page);
            if (it != index.end() && !reached[static_cast<size_t>(it->second)]) {
                reached[static_cast<size_t>(it->second)] = true;
                queue.push_back(it->second);
            }
        };
        while (!queue.empty()) {
            const DialogLine &page = *m_file.GetPage(queue.back());
            queue.pop_back();
            // Request money leads on when the PC pays.
            for (const SpeechText *code : {&page.GetSpeechCode(), &page.GetFemaleSpeechCode()}) {
                if (code->kind == GeneratedSpeechKind::RequestMoney)
                    visit(code->g);
            }
            for (int o = 0; o < page.GetOptionCount(); ++o) {
                if (Passes(*page.GetOption(o), player))
                    visit(page.GetOption(o)->GetTarget());
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
    static std::string Bands(const std::vector<bool> &missing, const std::vector<long long> &bounds)
    {
        std::string text;
        for (size_t b = 0; b < missing.size();) {
            if (!missing[b]) {
                ++b;
                continue;
            }
            size_t end = b;
            while (end + 1 < missing.size() && missing[end + 1])
                ++end;
            std::string range;
            if (b == 0)
                range = "below " + std::to_string(bounds[end]);
            else if (end + 1 == missing.size())
                range = std::to_string(bounds[b - 1]) + " or above";
            else
                range = std::to_string(bounds[b - 1]) + " to " + std::to_string(bounds[end] - 1);
            text += (text.empty() ? "" : " or ") + range;
            b = end + 1;
        }
        return text;
    }

    static std::string Players(const char *gender, const std::vector<bool> &missing, const std::vector<long long> &bounds)
    {
        if (std::all_of(missing.begin(), missing.end(), [](bool m) { return m; }))
            return std::string("for ") + gender + " PCs";
        return std::string("for ") + gender + " PCs of intelligence " + Bands(missing, bounds);
    }

    void CheckReachability()
    {
        if (m_file.GetPageCount() == 0)
            return;
        const std::vector<long long> bounds = Boundaries();
        const size_t bands = bounds.size() + 1;
        // reached[gender][band][page]
        std::vector<std::vector<bool>> reached[2];
        for (int female = 0; female < 2; ++female) {
            for (size_t b = 0; b < bands; ++b) {
                const long long intelligence = b == 0 ? (bounds.empty() ? 10 : bounds[0] - 1) : bounds[b - 1];
                reached[female].push_back(Reachable({female == 1, intelligence}));
            }
        }

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
            std::vector<bool> missing[2];
            bool any = false;
            bool all = true;
            for (int female = 0; female < 2; ++female) {
                for (size_t b = 0; b < bands; ++b) {
                    const bool lost = !reached[female][b][static_cast<size_t>(i)];
                    missing[female].push_back(lost);
                    any = any || lost;
                    all = all && lost;
                }
            }
            if (!any)
                continue;
            std::string who;
            if (all)
                who = "for every PC";
            else if (missing[0] == missing[1])
                who = "for PCs of intelligence " + Bands(missing[0], bounds);
            else {
                for (int female = 1; female >= 0; --female) {
                    if (std::find(missing[female].begin(), missing[female].end(), true) == missing[female].end())
                        continue;
                    who += (who.empty() ? "" : " and ") + Players(female ? "female" : "male", missing[female], bounds);
                }
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
    if (!file.Read(path))
        return {{path, file.GetErrorLine(), Finding::Error, "cannot read the file: " + file.GetErrorText()}};
    return CheckDocument(file, path);
}

std::vector<Finding> Linter::CheckDocument(const DialogFile &file, const std::string &path)
{
    return FileCheck(file, path).Run();
}
