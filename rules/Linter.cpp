#include "rules/Linter.h"

#include "storage/DialogFiles.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "rules/ConflictRemark.h"
#include "rules/GenderCheck.h"
#include "rules/IntelligenceCheck.h"
#include "rules/Reachability.h"
#include "model/TextRules.h"
#include "speech/GeneratedSpeechKind.h"

#include <unordered_map>

namespace {

using Place = TextRules::Place;

std::string PageName(const DialogLine &page)
{
    return "page \"" + std::string(page.ViewFields()[0]) + "\" (line " + std::to_string(page.GetFileLine()) + ")";
}

// What a finding on a page or an option is about: "page "Start" (line 3)"
// or "the option on line 4".
std::string Subject(const DialogLine &line, bool page)
{
    return page ? PageName(line) : "the option on line " + std::to_string(line.GetFileLine());
}

// What becomes of a jump to a page number that no page has.
constexpr const char *kNoPage = ", which no page has: the conversation ends there, and a save writes it as the end of the dialog";

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
            m_page = i;
            m_option = -1;
            CheckPage(page);
            // Saved, a page without a name is written "// [LABEL] " and
            // read back named by its number.
            if (page.ViewFields()[0].empty())
                Add(page.GetFileLine(), Finding::Note, PageName(page) + " has no name: once saved, it reads back named \""
                                                           + std::to_string(numbers[static_cast<size_t>(i)]) + "\"");
            for (int o = 0; o < page.GetOptionCount(); ++o) {
                m_option = o;
                CheckOption(*page.GetOption(o));
            }
        }
        m_option = -1;
        CheckReachability();
        return std::move(m_findings);
    }

private:
    void Add(int line, Finding::Severity severity, std::string message)
    {
        m_findings.push_back({m_path, line, severity, std::move(message), m_page, m_option});
    }

    void CheckDroppedLines()
    {
        bool loneCr = false;
        for (const DroppedLine &dropped : m_file.GetDroppedLines()) {
            if (dropped.kind == DroppedLine::LoneCr) {
                loneCr = true;
                continue;
            }
            // The findings of the fields and jumps themselves say these.
            if (dropped.kind == DroppedLine::SharedBrace || dropped.kind == DroppedLine::JumpToNoPage
                || dropped.kind == DroppedLine::MoneyToNoPage)
                continue;
            if (dropped.kind == DroppedLine::TooFewFields)
                Add(dropped.line, Finding::Warning, "this line holds braces but fewer than seven fields, so the game skips it "
                                                    "(does a text hold \"//\"?) and the editor drops it when it saves the file");
            else if (dropped.lines > 1)
                Add(dropped.line, Finding::Warning,
                    std::string(DroppedLine::What(dropped.kind)) + " (lines " + dropped.Lines() + ")"
                        + (DroppedLine::IsWholeLine(dropped.kind) ? ": the editor drops these lines when it saves the file"
                                                                  : ": the editor drops this text from each when it saves the file"));
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

    // The subject of a finding is named only when there is one.
    void CheckText(const DialogLine &line, bool page, std::string_view what, std::string_view text, Place place)
    {
        const std::string reason = TextRules::Check(text, place);
        if (!reason.empty())
            Add(line.GetFileLine(), Finding::Error, Subject(line, page) + ": its " + std::string(what) + " cannot be written back as it reads. " + reason);
    }

    void CheckComments(const DialogLine &line, bool page)
    {
        CheckText(line, page, "description", line.ViewDescription(), Place::Description);
        std::string_view remarks = line.ViewComment();
        for (int index = 0; !remarks.empty(); ++index) {
            const size_t lf = remarks.find('\n');
            const std::string_view remark = remarks.substr(0, lf);
            CheckText(line, page, "remark", remark, Place::Remark);
            // A merge kept ours and wrote theirs here; the file is not done.
            if (ConflictRemark::Is(remark)) {
                const int at = line.GetRemarkLine(index);
                Add(at != 0 ? at : line.GetFileLine(), Finding::Error,
                    Subject(line, page) + ": an unresolved merge conflict, ours kept; theirs: " + std::string(ConflictRemark::What(remark))
                        + " (resolve it, then delete the CONFLICT remark)");
            }
            remarks = lf == std::string_view::npos ? std::string_view() : remarks.substr(lf + 1);
        }
    }

    void NoteCanonical(const DialogLine &line, bool page, const SpeechText &code, std::string_view text)
    {
        if (code.kind == 0)
            return;
        const std::string canonical = EncodeSpeech(code);
        if (canonical != text)
            Add(line.GetFileLine(), Finding::Note,
                Subject(line, page) + ": generated speech \"" + std::string(text) + "\" would be saved as \"" + canonical + "\"");
    }

    void CheckPage(const DialogLine &page)
    {
        const DialogLine::Fields fields = page.ViewFields();
        if (!TextRules::ReadsBackAsPage(fields[2]))
            Add(page.GetFileLine(), Finding::Error, Subject(page, true) + " would not read back as a page: its speech to female PCs is empty or starts with a digit");
        CheckText(page, true, "name", fields[0], Place::Label);
        CheckText(page, true, "speech", fields[1], Place::Field);
        CheckText(page, true, "speech to female PCs", fields[2], Place::Field);
        CheckText(page, true, "field 3", fields[3], Place::Field);
        CheckText(page, true, "field 6", fields[6], Place::Field);
        CheckComments(page, true);
        const SpeechText speech = page.CopySpeechCode();
        NoteCanonical(page, true, speech, fields[1]);
        CheckMoneyPage(page, true, speech);
        if (!page.IsSameSpeechForBoth()) {
            const SpeechText female = page.CopyFemaleSpeechCode();
            NoteCanonical(page, true, female, fields[2]);
            if (female.n != speech.n || speech.kind != female.kind)
                CheckMoneyPage(page, true, female);
        }
    }

    // A Request money speech whose page number no page has, as a jump to no page.
    void CheckMoneyPage(const DialogLine &line, bool page, const SpeechText &code)
    {
        if (code.kind == GeneratedSpeechKind::RequestMoney && code.n != 0 && !code.g)
            Add(line.GetFileLine(), Finding::Warning,
                Subject(line, page) + ": its Request money speech leads to page number " + std::to_string(code.n) + kNoPage);
    }

    void CheckOption(const DialogLine &option)
    {
        const DialogLine::Fields fields = option.ViewFields();
        CheckText(option, false, "speech", fields[1], Place::Field);
        CheckText(option, false, "gender check", fields[2], Place::Field);
        CheckText(option, false, "intelligence check", fields[3], Place::Field);
        CheckText(option, false, "conditions", fields[4], Place::Field);
        CheckText(option, false, "results", fields[6], Place::Field);
        CheckComments(option, false);
        NoteCanonical(option, false, option.CopySpeechCode(), fields[1]);

        if (const int target = DialogField::ToInt(fields[5]); target != 0 && !option.GetTarget())
            Add(option.GetFileLine(), Finding::Warning, Subject(option, false) + " leads to page number " + std::to_string(target) + kNoPage);
        CheckMoneyPage(option, false, option.CopySpeechCode());
        if (const std::string_view gender = fields[2]; !GenderCheck(gender).IsKnownForm())
            Add(option.GetFileLine(), Finding::Warning,
                Subject(option, false) + " has the gender check \"" + std::string(gender) + "\", which is neither empty, \"0\" nor \"1\"");
        if (const std::string_view check = fields[3]; !IntelligenceCheck(check).IsKnownForm())
            Add(option.GetFileLine(), Finding::Warning, Subject(option, false) + " has the intelligence check \"" + std::string(check)
                                                            + "\", which is none of \"1\", \"N\", \"+N\" and \"-N\"");
    }

    void CheckNumbers()
    {
        std::unordered_map<int, const DialogLine *> first;
        for (int i = 0; i < m_file.GetPageCount(); ++i) {
            const DialogLine &page = *m_file.GetPage(i);
            m_page = i;
            const auto [at, inserted] = first.try_emplace(page.GetNumber(), &page);
            if (!inserted)
                Add(page.GetFileLine(), Finding::Warning, PageName(page) + " has the number " + std::to_string(page.GetNumber())
                                                              + " of " + PageName(*at->second) + ": jumps to it go to the first");
        }
    }

    // "below 8", "8 or above", "8 to 11", "8".
    static std::string Band(BandSets::Range range, const std::vector<long long> &bounds)
    {
        const auto [first, last] = range;
        if (first == 0)
            return "below " + std::to_string(bounds[last - 1]);
        if (last == bounds.size() + 1)
            return std::to_string(bounds[first - 1]) + " or above";
        const long long low = bounds[first - 1];
        const long long high = bounds[last - 1] - 1;
        return low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high);
    }

    // The intelligences of the bands that reached lacks: up to three ranges
    // joined with "or"; more, however many, said by their number, the first
    // two and the last, so that a finding stays one short line.
    static std::string Bands(const BandSets &sets, BandSets::Id reached, const std::vector<long long> &bounds)
    {
        const size_t count = sets.CountRanges(reached, true);
        const std::vector<BandSets::Range> first = sets.GetRanges(reached, true, count > 3 ? 2 : 3, false);
        std::string text;
        for (const BandSets::Range &range : first)
            text += (text.empty() ? "" : count > 3 ? ", " : " or ") + Band(range, bounds);
        if (count <= 3)
            return text;
        return "in " + std::to_string(count) + " ranges: " + text + ", ..., " + Band(sets.GetRanges(reached, true, 1, true).front(), bounds);
    }

    // "for female PCs", "for male PCs of intelligence below 8".
    static std::string Players(const char *gender, const BandSets &sets, BandSets::Id reached, const std::vector<long long> &bounds)
    {
        if (reached == BandSets::kNone)
            return std::string("for ") + gender + " PCs";
        return std::string("for ") + gender + " PCs of intelligence " + Bands(sets, reached, bounds);
    }

    void CheckReachability()
    {
        const Reachability reachability(m_file);
        const std::vector<long long> &bounds = reachability.GetBoundaries();
        const BandSets &sets = reachability.GetSets();
        for (int i = 1; i < m_file.GetPageCount(); ++i) {
            const DialogLine &page = *m_file.GetPage(i);
            m_page = i;
            if (!reachability.IsLinked(i)) {
                Add(page.GetFileLine(), Finding::Warning, PageName(page) + ": no option leads to it");
                continue;
            }
            const BandSets::Id male = reachability.GetReached(i, false);
            const BandSets::Id female = reachability.GetReached(i, true);
            if (male == BandSets::kEvery && female == BandSets::kEvery)
                continue;
            std::string who;
            if (male == BandSets::kNone && female == BandSets::kNone)
                who = "for every PC";
            else if (male == female)
                who = "for PCs of intelligence " + Bands(sets, male, bounds);
            else {
                if (female != BandSets::kEvery)
                    who = Players("female", sets, female, bounds);
                if (male != BandSets::kEvery)
                    who += (who.empty() ? "" : " and ") + Players("male", sets, male, bounds);
            }
            Add(page.GetFileLine(), Finding::Warning, PageName(page) + " is unreachable " + who);
        }
    }

    const DialogFile &m_file;
    const std::string &m_path;
    std::vector<Finding> m_findings;
    int m_page = -1; // what is being checked
    int m_option = -1;
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
