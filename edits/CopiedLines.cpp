#include "edits/CopiedLines.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "speech/GeneratedSpeechKind.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr std::string_view kDataHeader = "Talkwright lines\n";
constexpr std::string_view kPageEntry = "page ";

// Numbers stop at the 32-bit limit, as Save's do.
int Clamped(long long n)
{
    return static_cast<int>(std::min<long long>(n, INT_MAX));
}

// Points the copies of lines at what their jumps lead to in the text: a
// copied page at its copy, any other page of the document at a stand-in
// that carries the number Save gives it, and whose name goes with the text.
class CopyLinks {
public:
    explicit CopyLinks(const DialogFile &file) : m_numbers(file.GetRenumberedPageNumbers())
    {
        for (int i = 0; i < file.GetPageCount(); ++i)
            m_index.emplace(file.GetPage(i), i);
    }

    int NumberOf(int page) const { return m_numbers[static_cast<size_t>(page)]; }
    void Copied(const DialogLine *page, DialogLine *copy) { m_copies.emplace(page, copy); }

    // line is a copy: its links still lead where the original's do.
    void Relink(DialogLine &line)
    {
        line.SetTarget(Map(line.GetTarget()));
        if (const DialogLine *page = line.GetSpeechCode().g)
            line.SetSpeechPage(Map(page));
        if (const DialogLine *page = line.GetFemaleSpeechCode().g)
            line.SetFemaleSpeechPage(Map(page));
    }

    std::vector<std::pair<int, std::string>> TakeNames() { return std::move(m_names); }

private:
    DialogLine *Map(const DialogLine *page)
    {
        if (!page)
            return nullptr;
        if (const auto copy = m_copies.find(page); copy != m_copies.end())
            return copy->second;
        const auto index = m_index.find(page);
        if (index == m_index.end())
            return nullptr; // no page of the document: Save writes no jump
        std::unique_ptr<DialogLine> &standIn = m_standIns[page];
        if (!standIn) {
            standIn = std::make_unique<DialogLine>();
            standIn->SetNumber(NumberOf(index->second));
            m_names.emplace_back(standIn->GetNumber(), std::string(page->ViewLabel()));
        }
        return standIn.get();
    }

    const std::vector<int> m_numbers;
    std::unordered_map<const DialogLine *, int> m_index;
    std::unordered_map<const DialogLine *, DialogLine *> m_copies;
    std::unordered_map<const DialogLine *, std::unique_ptr<DialogLine>> m_standIns;
    std::vector<std::pair<int, std::string>> m_names;
};

// The page that a Request money speech of line names by a number that no
// line read has: 0 for none, or for a speech of another kind.
int MoneyPageOut(const SpeechText &code)
{
    return code.kind == GeneratedSpeechKind::RequestMoney && code.n != 0 && !code.g ? code.n : 0;
}

// The number of the page that option leads to outside the lines read; 0 for none.
int TargetOut(const DialogLine &option)
{
    const int n = DialogField::ToInt(option.ViewFields()[5]);
    return n != 0 && !option.GetTarget() ? n : 0;
}

} // namespace

CopiedLines CopiedLines::OfOptions(const DialogFile &file, int page, const std::vector<int> &rows)
{
    CopiedLines copied;
    CopyLinks links(file);
    const DialogLine &from = *file.GetPage(page);
    for (const int row : rows) {
        std::unique_ptr<DialogLine> option = from.GetOption(row)->Clone();
        option->SetNumber(Clamped(links.NumberOf(page) + 1LL + row));
        links.Relink(*option);
        option->WriteTo(copied.m_text);
    }
    copied.m_names = links.TakeNames();
    return copied;
}

CopiedLines CopiedLines::OfPages(const DialogFile &file, const std::vector<int> &indexes)
{
    CopiedLines copied;
    CopyLinks links(file);
    std::vector<std::unique_ptr<DialogLine>> pages;
    for (const int index : indexes) {
        const DialogLine &page = *file.GetPage(index);
        pages.push_back(page.Clone());
        links.Copied(&page, pages.back().get());
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        DialogLine &page = *pages[i];
        const int number = links.NumberOf(indexes[i]);
        page.SetNumber(number);
        links.Relink(page);
        for (int o = 0; o < page.GetOptionCount(); ++o) {
            DialogLine &option = *page.GetOption(o);
            option.SetNumber(Clamped(number + 1LL + o));
            links.Relink(option);
        }
    }
    // Numbers first, then the text: a jump writes its page's number.
    for (size_t i = 0; i < pages.size(); ++i)
        DialogFile::WritePageBlock(*pages[i], static_cast<size_t>(indexes[i]) + 1, copied.m_text);
    copied.m_names = links.TakeNames();
    return copied;
}

// "Talkwright lines", one line "page NUMBER NAME" for each page that a jump
// out of the lines leads to, an empty line, and the text.
std::string CopiedLines::GetData() const
{
    std::string data(kDataHeader);
    for (const auto &[number, name] : m_names) {
        // A name that would break its line goes without: its jumps end.
        if (name.find_first_of("\r\n") != std::string::npos)
            continue;
        data.append(kPageEntry).append(std::to_string(number)).append(" ").append(name).append("\n");
    }
    return data.append("\n").append(m_text);
}

bool CopiedLines::ReadData(std::string_view data, std::string &reason)
{
    if (!data.starts_with(kDataHeader)) {
        reason = "it does not hold lines copied in Talkwright";
        return false;
    }
    data.remove_prefix(kDataHeader.size());
    m_names.clear();
    while (!data.empty() && data.front() != '\n') {
        const size_t lf = data.find('\n');
        const std::string_view entry = data.substr(0, lf);
        data = lf == std::string_view::npos ? std::string_view() : data.substr(lf + 1);
        int number = 0;
        const char *digits = entry.data() + std::min(entry.size(), kPageEntry.size());
        const auto [end, error] = std::from_chars(digits, entry.data() + entry.size(), number);
        if (!entry.starts_with(kPageEntry) || error != std::errc() || end == entry.data() + entry.size() || *end != ' ') {
            reason = "its list of the pages that its jumps lead to is damaged";
            return false;
        }
        m_names.emplace_back(number, std::string(end + 1, entry.data() + entry.size()));
    }
    return Read(data.empty() ? data : data.substr(1), reason);
}

bool CopiedLines::ReadText(std::string_view text, std::string &reason)
{
    m_names.clear();
    return Read(text, reason);
}

bool CopiedLines::Read(std::string_view text, std::string &reason)
{
    DialogFile read;
    m_lines.clear();
    m_text = text;
    if (!read.ReadLines(text)) {
        reason = read.GetErrorText();
        return false;
    }
    // A jump to a page that is not among the lines is for the paste to lead
    // somewhere; anything else dropped would be lost.
    for (const DroppedLine &dropped : read.GetDroppedLines()) {
        if (dropped.kind != DroppedLine::JumpToNoPage && dropped.kind != DroppedLine::MoneyToNoPage) {
            reason = dropped.ToText();
            return false;
        }
    }
    if (read.GetPageCount() == 0) {
        reason = "it holds no dialog line";
        return false;
    }
    // Options before every page are held by a page made for them.
    DialogLine &first = *read.GetPage(0);
    m_holdsPages = first.IsNpcLine();
    if (!m_holdsPages && read.GetPageCount() > 1) {
        reason = "it holds PC options before its first page: options or pages can be pasted, not both at once";
        return false;
    }
    if (m_holdsPages) {
        while (read.GetPageCount() > 0)
            m_lines.push_back(read.RemovePageAt(0));
    } else {
        while (first.GetOptionCount() > 0)
            m_lines.push_back(first.RemoveOptionAt(0));
    }
    // Pasted, they are lines made here, not yet saved.
    for (const auto &line : m_lines) {
        line->SetFileLine(0);
        for (int o = 0; o < line->GetOptionCount(); ++o)
            line->GetOption(o)->SetFileLine(0);
    }
    return true;
}

int CopiedLines::Relink(const DialogFile &file)
{
    // The page of each name asked for: the only page of that name, or of
    // several, the one that Save gives the number the text has for it.
    std::unordered_map<int, const std::string *> names;
    std::unordered_set<std::string_view> wanted;
    for (const auto &[number, name] : m_names) {
        names.emplace(number, &name);
        wanted.insert(name);
    }
    std::unordered_map<std::string_view, std::vector<int>> named;
    for (int i = 0; i < file.GetPageCount() && !wanted.empty(); ++i) {
        if (const std::string_view label = file.GetPage(i)->ViewLabel(); wanted.count(label))
            named[label].push_back(i);
    }
    const std::vector<int> numbers = named.empty() ? std::vector<int>() : file.GetRenumberedPageNumbers();
    const auto find = [&](int number) -> DialogLine * {
        const auto name = names.find(number);
        const auto pages = name == names.end() ? named.end() : named.find(*name->second);
        if (pages == named.end())
            return nullptr;
        const std::vector<int> &indexes = pages->second;
        const auto same = std::find_if(indexes.begin(), indexes.end(), [&](int i) { return numbers[static_cast<size_t>(i)] == number; });
        return file.GetPage(same != indexes.end() ? *same : indexes.front());
    };

    int cut = 0;
    const auto relink = [&](DialogLine &line, bool page) {
        bool ended = false;
        if (const int number = page ? 0 : TargetOut(line)) {
            DialogLine *target = find(number);
            line.SetTarget(target);
            if (!target)
                line.SetTargetNumber(0);
            ended = !target;
        }
        for (const bool female : {false, true}) {
            if (female && !page)
                break;
            SpeechText code = female ? line.GetFemaleSpeechCode() : line.GetSpeechCode();
            const int number = MoneyPageOut(code);
            if (number == 0)
                continue;
            const DialogLine *target = find(number);
            code.n = target ? target->GetNumber() : 0;
            if (female) {
                line.SetFemaleSpeech(EncodeSpeech(code));
                line.SetFemaleSpeechPage(target);
            } else {
                line.SetSpeech(EncodeSpeech(code));
                line.SetSpeechPage(target);
            }
            ended = ended || !target;
        }
        cut += ended;
    };
    for (const auto &line : m_lines) {
        relink(*line, m_holdsPages);
        for (int o = 0; o < line->GetOptionCount(); ++o)
            relink(*line->GetOption(o), false);
    }
    return cut;
}

DocumentEdit CopiedLines::PasteOptions(const DialogFile &file, DialogLine &page, int index, int &cut)
{
    cut = Relink(file);
    return DocumentEdit::AddingOptions(page, index, std::move(m_lines));
}

DocumentEdit CopiedLines::PastePages(DialogFile &file, int index, int &cut)
{
    cut = Relink(file);
    std::vector<std::string> names;
    for (const auto &page : m_lines) {
        std::string name = page->GetLabel();
        if (file.CountPagesNamed(name) > 0 || std::find(names.begin(), names.end(), name) != names.end()) {
            name = file.MakeCopyName(name, names);
            page->SetLabel(name);
        }
        names.push_back(std::move(name));
    }
    return DocumentEdit::AddingPages(file, index, std::move(m_lines));
}
