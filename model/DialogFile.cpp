#include "model/DialogFile.h"

#include "storage/AtomicFile.h"
#include "model/DialogLine.h"
#include "storage/FileOps.h"
#include "speech/GeneratedSpeechKind.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <optional>
#include <unordered_map>

namespace {

constexpr std::string_view kLabelKey = "[LABEL]";
constexpr std::string_view kDescriptionKey = "[DESCRIPTION]";
constexpr size_t kWriteChunk = 64 * 1024;
constexpr const char *kNotEnoughMemory = "not enough memory";


bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimFront(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view TrimLine(std::string_view text)
{
    text = TrimFront(text);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// Blanks, tabs and line ends only: nothing that a save would lose.
bool IsWhiteSpace(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// What of a dialog line lies outside its seven fields and is not blank:
// text before the first "{", between fields, or after the seventh "}".
std::optional<DroppedLine::Kind> OutsideFields(std::string_view code, const DialogLine::Fields &fields)
{
    size_t covered = 0; // everything before this belongs to a field or is checked
    for (const std::string_view field : fields) {
        const size_t open = static_cast<size_t>(field.data() - code.data()) - 1;
        if (open > covered && !IsWhiteSpace(code.substr(covered, open - covered)))
            return DroppedLine::TextOutside;
        covered = std::max(covered, open + field.size() + 2);
    }
    // Empty fields past the seventh hold nothing to lose, nor do empty ones
    // around them ("{{}}"): each "}" takes back the "{" just before it, in
    // one pass however many there are.
    std::string tail;
    for (const char c : code.substr(std::min(covered, code.size()))) {
        if (c == '}' && !tail.empty() && tail.back() == '{')
            tail.pop_back();
        else
            tail += c;
    }
    if (IsWhiteSpace(tail))
        return std::nullopt;
    return tail.find('{') != std::string_view::npos ? DroppedLine::FieldsPastSeventh : DroppedLine::TextAfterSeventh;
}

// Whether a field that a save writes as it stands holds a "{": the "{" of
// the next field, so that one "}" closes both. Written back with each field
// in its own braces, every field after it would move one place on. Fields 1
// to 3 of a page (its field 4 becomes its position), 1 to 4 of an option;
// field 6 may hold one, as no field follows it.
bool SharesBraces(const DialogLine::Fields &fields, bool page)
{
    for (size_t i = 1; i <= (page ? 3U : 4U); ++i) {
        if (fields[i + 1].data() <= fields[i].data() + fields[i].size())
            return true;
    }
    return false;
}

// A read that carries on after a signal.
ssize_t ReadSome(int fd, char *data, size_t size)
{
    ssize_t got;
    while ((got = read(fd, data, size)) < 0 && errno == EINTR) {
    }
    return got;
}

// No file larger than the machine's memory can be held.
unsigned long long MemorySize()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 ? static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize) : ULLONG_MAX;
}

// Whether the open file fd can be read whole: not a folder, not a
// character device (it may never end, as /dev/zero), not larger than memory.
bool CanReadWhole(int fd, struct stat &st, std::string &error)
{
    if (fstat(fd, &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = std::strerror(EISDIR);
        return false;
    }
    if (S_ISCHR(st.st_mode)) {
        error = "it is a character device, not a file";
        return false;
    }
    if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > MemorySize()) {
        error = kNotEnoughMemory;
        return false;
    }
    return true;
}

} // namespace

bool DialogFile::ReadFileBytes(const std::string &path, std::string &text, std::string &error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const bool read = ReadStreamBytes(fd, text, error);
    close(fd);
    return read;
}

bool DialogFile::ReadStreamBytes(int fd, std::string &text, std::string &error)
{
    struct stat st {};
    if (!CanReadWhole(fd, st, error))
        return false;
    const unsigned long long memory = MemorySize();
    const auto outOfMemory = [&text, &error] {
        std::string().swap(text);
        error = kNotEnoughMemory;
        return false;
    };
    try {
        if (st.st_size > 0)
            text.reserve(static_cast<size_t>(st.st_size));
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = ReadSome(fd, buffer, sizeof buffer);
            if (got < 0) {
                error = std::strerror(errno);
                return false;
            }
            if (got == 0)
                break;
            if (text.size() + static_cast<size_t>(got) > memory)
                return outOfMemory();
            text.append(buffer, static_cast<size_t>(got));
        }
    } catch (const std::bad_alloc &) {
        return outOfMemory();
    }
    return true;
}

bool DialogFile::ReadIntoStore(const std::string &path, std::string_view &bytes)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_errorText = std::strerror(errno);
        return false;
    }
    bool read = false;
    try {
        read = ReadIntoStore(fd, bytes);
    } catch (const std::bad_alloc &) {
        m_errorText = kNotEnoughMemory;
    }
    close(fd);
    return read;
}

bool DialogFile::ReadIntoStore(int fd, std::string_view &bytes)
{
    struct stat st {};
    if (!CanReadWhole(fd, st, m_errorText))
        return false;
    if (!S_ISREG(st.st_mode) || st.st_size == 0) {
        std::string text;
        if (!ReadStreamBytes(fd, text, m_errorText))
            return false;
        bytes = Keep(text);
        return true;
    }
    // A file of known size is read whole into the store, in one go.
    const auto size = static_cast<size_t>(st.st_size);
    char *const data = static_cast<char *>(m_store->allocate(size, 1));
    size_t have = 0;
    while (have < size) {
        const ssize_t got = ReadSome(fd, data + have, size - have);
        if (got < 0) {
            m_errorText = std::strerror(errno);
            return false;
        }
        if (got == 0)
            break;
        have += static_cast<size_t>(got);
    }
    bytes = std::string_view(data, have);
    if (have < size)
        return true;
    // A file that grew since it was measured is read on to its end.
    char next = 0;
    const ssize_t more = ReadSome(fd, &next, 1);
    if (more < 0)
        m_errorText = std::strerror(errno);
    if (more <= 0)
        return more == 0;
    std::string rest;
    if (!ReadStreamBytes(fd, rest, m_errorText))
        return false;
    bytes = Keep(std::string(bytes) + next + rest);
    return true;
}

std::string_view DialogFile::Keep(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    char *const data = static_cast<char *>(m_store->allocate(bytes.size(), 1));
    std::memcpy(data, bytes.data(), bytes.size());
    return {data, bytes.size()};
}

const int *DialogFile::KeepLines(const std::vector<int> &lines)
{
    if (lines.empty())
        return nullptr;
    int *const kept = static_cast<int *>(m_store->allocate(lines.size() * sizeof(int), alignof(int)));
    std::copy(lines.begin(), lines.end(), kept);
    return kept;
}

DialogFile::DialogFile() = default;

DialogFile::~DialogFile() = default;

bool DialogFile::Read(const std::string &path)
{
    std::string_view bytes;
    if (!ReadIntoStore(path, bytes))
        return false;
    m_fileName = path;
    try {
        return Parse(bytes);
    } catch (const std::bad_alloc &) {
        m_pages.clear();
        m_droppedLines.clear();
        m_errorText = kNotEnoughMemory;
        return false;
    }
}

bool DialogFile::ReadText(std::string_view bytes)
{
    return Parse(Keep(bytes));
}

bool DialogFile::ReadLines(std::string_view bytes)
{
    return Parse(Keep(bytes), true);
}

bool DialogFile::Parse(std::string_view bytes, bool looseOptions)
{
    // The first NUL ends the text.
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    std::string_view pendingLabel;
    std::string_view pendingDescription;
    std::string pendingRemarks;
    std::vector<int> pendingRemarkLines; // the line of each remark line in pendingRemarks
    int labelLine = 0;
    int descriptionLine = 0;
    int remarkLine = 0;
    DialogLine *lastPage = nullptr;
    int lineNumber = 0;
    bool loneCr = false;
    const auto drop = [this](int line, DroppedLine::Kind kind) { DroppedLine::Add(m_droppedLines, line, kind); };

    for (size_t start = 0; start <= text.size();) {
        const size_t lf = text.find('\n', start);
        std::string_view rest = text.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start);
        start = lf == std::string_view::npos ? text.size() + 1 : lf + 1;
        ++lineNumber;
        // A CR that does not end the line: the file's lines may end in lone
        // CRs, which make all of them one line here.
        const bool crInside = rest.substr(0, rest.size() - (rest.ends_with('\r') ? 1 : 0)).find('\r') != std::string_view::npos;
        loneCr = loneCr || crInside;
        const auto dropPart = [&](DroppedLine::Kind kind) { drop(lineNumber, crInside ? DroppedLine::LoneCr : kind); };

        if (const size_t slashes = rest.find("//"); slashes != std::string_view::npos) {
            const std::string_view comment = TrimLine(rest.substr(slashes + 2));
            rest = rest.substr(0, slashes);
            if (const size_t key = comment.find(kLabelKey); key != std::string_view::npos) {
                if (!pendingLabel.empty())
                    drop(labelLine, DroppedLine::ReplacedComment);
                pendingLabel = TrimFront(comment.substr(key + kLabelKey.size()));
                labelLine = lineNumber;
            } else if (const size_t key = comment.find(kDescriptionKey); key != std::string_view::npos) {
                if (!pendingDescription.empty())
                    drop(descriptionLine, DroppedLine::ReplacedComment);
                pendingDescription = TrimFront(comment.substr(key + kDescriptionKey.size()));
                descriptionLine = lineNumber;
            } else {
                // A bare "//" is a remark too, an empty one: it is written back.
                if (remarkLine == 0)
                    remarkLine = lineNumber;
                pendingRemarks += comment;
                pendingRemarks += '\n';
                pendingRemarkLines.push_back(lineNumber);
            }
        }

        rest = TrimLine(rest);
        if (rest.find('{') == std::string_view::npos) {
            if (!rest.empty())
                dropPart(DroppedLine::NotDialogLine);
            continue;
        }
        DialogLine::Fields fields;
        if (!DialogLine::FindFields(rest, fields)) {
            dropPart(DroppedLine::TooFewFields);
            continue;
        }
        if (const auto outside = OutsideFields(rest, fields))
            dropPart(*outside);
        // The line reads its texts where they stand in the bytes; what stood
        // above it goes with it, in the store.
        const DialogLine::Notes *notes = nullptr;
        if (!pendingLabel.empty() || !pendingDescription.empty() || !pendingRemarks.empty()) {
            notes = std::pmr::polymorphic_allocator<>(m_store.get()).new_object<DialogLine::Notes>(
                DialogLine::Notes{pendingLabel, pendingDescription, Keep(pendingRemarks), KeepLines(pendingRemarkLines)});
        }
        std::unique_ptr<DialogLine> line(new DialogLine(rest, fields, notes, lineNumber));
        const bool page = line->IsNpcLine();
        if (SharesBraces(fields, page))
            dropPart(DroppedLine::SharedBrace);
        if (page) {
            if (lastPage)
                lastPage->FitOptions();
            lastPage = line.get();
            m_pages.push_back(std::move(line));
        } else if (lastPage) {
            lastPage->AddOption(std::move(line));
        } else if (looseOptions) {
            // A page of no number, made here, holds the options above every page.
            m_pages.push_back(std::make_unique<DialogLine>());
            lastPage = m_pages.back().get();
            lastPage->AddOption(std::move(line));
        } else {
            m_errorText = "its first dialog line, line " + std::to_string(lineNumber) + ", is a PC option";
            m_errorLine = lineNumber;
            return false;
        }
        if (!pendingLabel.empty() && !page)
            drop(labelLine, DroppedLine::OptionLabel);
        if (!pendingRemarks.empty())
            remarkLine = 0;
        pendingLabel = {};
        pendingDescription = {};
        pendingRemarks.clear();
        pendingRemarkLines.clear();
    }

    if (lastPage)
        lastPage->FitOptions();

    // Comments left over name no line.
    for (const int line : {pendingLabel.empty() ? 0 : labelLine, pendingDescription.empty() ? 0 : descriptionLine, remarkLine}) {
        if (line != 0)
            drop(line, DroppedLine::TrailingComment);
    }
    if (text.size() < bytes.size() && !IsWhiteSpace(bytes.substr(text.size() + 1)))
        drop(lineNumber, DroppedLine::AfterNul);

    // Bytes that hold no page at all are not a dialog file: saving them as
    // one would write an empty file over them.
    if (m_pages.empty() && !IsWhiteSpace(bytes) && !looseOptions) {
        // Lines that end in a lone CR read as one line, which holds no page.
        const auto count = [text](char c) { return std::count(text.begin(), text.end(), c); };
        const bool crEnded = loneCr && count('\r') > 2 * count('\n');
        m_errorText = crEnded ? "its lines end in a lone CR, which reading does not take for a line end, so it holds no dialog page"
                              : "it holds no dialog page, so it is not a dialog file";
        m_droppedLines.clear();
        return false;
    }

    ResolveReferences();
    DroppedLine::Sort(m_droppedLines);
    m_errorText.clear();
    return true;
}

// Points options at their target pages, and Request money speeches at the
// page they name, by the numbers as they stand in the file: the first page
// with a number wins. One pass over the pages keeps this linear.
void DialogFile::ResolveReferences()
{
    std::unordered_map<int, DialogLine *> byNumber;
    byNumber.reserve(m_pages.size());
    for (const auto &page : m_pages)
        byNumber.try_emplace(page->GetNumber(), page.get());
    const auto find = [&byNumber](int n) -> DialogLine * {
        const auto it = byNumber.find(n);
        return it == byNumber.end() ? nullptr : it->second;
    };
    // A line just read owns no texts yet: its fields, found once here, say
    // where it leads. One that leads to a page by Request money then owns them.
    // A number that names no page is saved as the end of the dialog, so
    // that renumbering never makes it name one: a loss, said as one.
    const auto resolve = [this, &find](DialogLine &line, bool option) {
        const auto jumpTo = [&](std::string_view jump) {
            if (const int n = DialogField::ToInt(jump); option && n != 0) {
                line.SetTarget(find(n));
                if (!line.GetTarget())
                    m_droppedLines.push_back({line.GetFileLine(), DroppedLine::JumpToNoPage});
            }
        };
        // Most lines lead only by their field 5: found without the others.
        if (const std::optional<std::string_view> jump = line.ViewPlainJump()) {
            jumpTo(*jump);
            line.ClearModified();
            return;
        }
        const DialogLine::Fields fields = line.ViewFields();
        jumpTo(fields[5]);
        bool namesNoPage = false;
        for (const bool female : {false, true}) {
            const SpeechText code = line.DecodeAsRead(fields, female);
            const DialogLine *page = code.kind == GeneratedSpeechKind::RequestMoney && code.n != 0 ? find(code.n) : nullptr;
            namesNoPage = namesNoPage || (code.kind == GeneratedSpeechKind::RequestMoney && code.n != 0 && !page);
            if (page && female)
                line.SetFemaleSpeechPage(page);
            else if (page)
                line.SetSpeechPage(page);
        }
        if (namesNoPage)
            m_droppedLines.push_back({line.GetFileLine(), DroppedLine::MoneyToNoPage});
        line.ClearModified();
    };

    for (const auto &page : m_pages) {
        for (int i = 0; i < page->GetOptionCount(); ++i)
            resolve(*page->GetOption(i), true);
        resolve(*page, false);
    }
}

bool DialogFile::Write()
{
    return Write(FileOps::Default());
}

bool DialogFile::Write(FileOps &ops)
{
    AtomicFile file(ops);
    bool written = file.Open(m_fileName)
        && WriteBytes([&file](std::string_view bytes) { return file.Append(bytes); })
        && file.Commit();
    m_fileIncomplete = !written && file.LeftIncomplete();
    if (!written) {
        m_errorText = file.GetErrorText();
        MarkAllModified();
        return false;
    }
    m_errorText.clear();
    TakeSavedFileLines();
    return true;
}

bool DialogFile::WriteBytes(const std::function<bool(std::string_view)> &sink)
{
    Renumber();
    std::string buffer;
    buffer.reserve(kWriteChunk + 4096);
    for (size_t i = 0; i < m_pages.size(); ++i) {
        WritePageBlock(*m_pages[i], i + 1, buffer);
        if (buffer.size() >= kWriteChunk) {
            if (!sink(buffer))
                return false;
            buffer.clear();
        }
    }
    return buffer.empty() || sink(buffer);
}

void DialogFile::WritePageBlock(DialogLine &page, size_t position, std::string &out)
{
    const DialogLine::Fields fields = page.ViewFields();
    // The name as reading gives it back: without blanks at its ends, and
    // one that is nothing then is read as the page's number.
    out += "// [LABEL] ";
    if (const std::string_view label = TrimLine(fields[0]); !label.empty())
        out += label;
    else
        out += std::to_string(page.GetNumber());
    out += "\r\n";
    // Field 4 of a page is its position; a line read keeps its bytes
    // while it already says so.
    char digits[16];
    const std::string_view place(digits, std::to_chars(digits, digits + sizeof digits, std::min<size_t>(position, INT_MAX)).ptr);
    const bool placed = fields[4] == place;
    if (!placed)
        page.SetConditionsInPlace(place);
    page.WriteLine(out, placed ? &fields : nullptr);
    for (int o = 0; o < page.GetOptionCount(); ++o)
        page.GetOption(o)->WriteTo(out);
    out += "\r\n";
}

std::string DialogFile::WriteText()
{
    std::string text;
    WriteBytes([&text](std::string_view bytes) {
        text += bytes;
        return true;
    });
    return text;
}

DialogLine *DialogFile::GetPage(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_pages.size())
        return nullptr;
    return m_pages[static_cast<size_t>(index)].get();
}

DialogLine *DialogFile::FindPageByNumber(int n) const
{
    for (const auto &page : m_pages) {
        if (page->GetNumber() == n)
            return page.get();
    }
    return nullptr;
}

DialogLine *DialogFile::NewPage(std::string_view label)
{
    auto page = std::make_unique<DialogLine>();
    page->SetLabel(label);
    return InsertPage(GetPageCount(), std::move(page));
}

DialogLine *DialogFile::InsertPage(int index, std::unique_ptr<DialogLine> page)
{
    return m_pages.insert(m_pages.begin() + index, std::move(page))->get();
}

std::unique_ptr<DialogLine> DialogFile::RemovePageAt(int index)
{
    const auto at = m_pages.begin() + index;
    std::unique_ptr<DialogLine> page = std::move(*at);
    m_pages.erase(at);
    page->OwnAll();
    return page;
}

std::vector<std::unique_ptr<DialogLine>> DialogFile::SetPageOrder(const std::vector<DialogLine *> &order,
                                                                   std::vector<std::unique_ptr<DialogLine>> added)
{
    std::unordered_map<const DialogLine *, size_t> place;
    place.reserve(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        place.emplace(order[k], k);
    std::vector<std::unique_ptr<DialogLine>> pages(order.size());
    std::vector<std::unique_ptr<DialogLine>> left;
    const auto put = [&](std::unique_ptr<DialogLine> &page) {
        if (const auto it = place.find(page.get()); it != place.end()) {
            pages[it->second] = std::move(page);
            return;
        }
        page->OwnAll();
        left.push_back(std::move(page));
    };
    for (std::unique_ptr<DialogLine> &page : m_pages)
        put(page);
    for (std::unique_ptr<DialogLine> &page : added)
        put(page);
    m_pages = std::move(pages);
    return left;
}

int DialogFile::IndexOf(const DialogLine *page) const
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].get() == page)
            return static_cast<int>(i);
    }
    return -1;
}

int DialogFile::CountPagesNamed(std::string_view label) const
{
    int count = 0;
    for (const auto &page : m_pages)
        count += page->ViewFields()[0] == label;
    return count;
}

std::string DialogFile::MakeCopyName(std::string_view name, const std::vector<std::string> &taken) const
{
    std::string copy = std::string(name) + " copy";
    for (int n = 2; CountPagesNamed(copy) > 0 || std::find(taken.begin(), taken.end(), copy) != taken.end(); ++n)
        copy = std::string(name) + " copy " + std::to_string(n);
    return copy;
}

std::vector<DialogFile::Link> DialogFile::FindLinksTo(const DialogLine *page) const
{
    std::vector<Link> links;
    for (const auto &from : m_pages) {
        if (!from->m_options)
            continue;
        for (const auto &option : *from->m_options) {
            if (option->m_target == page)
                links.push_back({from.get(), option.get()});
        }
    }
    return links;
}

void DialogFile::Renumber()
{
    const std::vector<int> numbers = GetRenumberedPageNumbers();
    for (size_t p = 0; p < m_pages.size(); ++p) {
        DialogLine &page = *m_pages[p];
        page.SetNumber(numbers[p]);
        // Options take the numbers right after their page's.
        for (int i = 0; i < page.GetOptionCount(); ++i)
            page.GetOption(i)->SetNumber(static_cast<int>(std::min<long long>(numbers[p] + 1LL + i, INT_MAX)));
    }
}

std::vector<int> DialogFile::GetRenumberedPageNumbers() const
{
    // Pages start blocks of 20 numbers (1, 21, 41, ...); a page's options
    // take the numbers right after it, and a page with more than 19 options
    // pushes the next page to a later block. Numbers stop at the 32-bit limit.
    std::vector<int> numbers;
    numbers.reserve(m_pages.size());
    long long nextFree = 1;
    long long blockStart = 1;
    for (const auto &page : m_pages) {
        if (nextFree > blockStart)
            blockStart += 20 * ((nextFree - blockStart + 19) / 20);
        numbers.push_back(static_cast<int>(std::min<long long>(blockStart, INT_MAX)));
        nextFree = blockStart + 1 + page->GetOptionCount();
        blockStart += 20;
    }
    return numbers;
}

// The lines WritePageBlock writes for each page: its name, its comments
// and line, its options' comments and lines, and an empty line.
std::vector<int> DialogFile::GetSavedFileLines() const
{
    std::vector<int> lines;
    int line = 0;
    for (const auto &page : m_pages) {
        line += 1 + page->CountCommentLines() + 1;
        lines.push_back(line);
        for (int i = 0; i < page->GetOptionCount(); ++i) {
            line += page->GetOption(i)->CountCommentLines() + 1;
            lines.push_back(line);
        }
        ++line;
    }
    return lines;
}

void DialogFile::TakeSavedFileLines()
{
    const std::vector<int> lines = GetSavedFileLines();
    size_t at = 0;
    const auto take = [&lines, &at](DialogLine &line) {
        line.m_fileLine = lines[at++];
        line.m_savedLayout = true;
    };
    for (const auto &page : m_pages) {
        take(*page);
        for (int i = 0; i < page->GetOptionCount(); ++i)
            take(*page->GetOption(i));
    }
}

bool DialogFile::IsModified() const
{
    for (const auto &page : m_pages) {
        if (page->IsModified())
            return true;
        for (int i = 0; i < page->GetOptionCount(); ++i) {
            if (page->GetOption(i)->IsModified())
                return true;
        }
    }
    return false;
}

std::unique_ptr<DialogFile> DialogFile::Copy() const
{
    // The copy's lines read their texts where this document's do, in the
    // bytes both keep.
    auto copy = std::make_unique<DialogFile>();
    copy->m_store = m_store;
    copy->m_untitled = m_untitled;
    copy->m_fileName = m_fileName;
    copy->m_errorText = m_errorText;
    copy->m_errorLine = m_errorLine;
    copy->m_droppedLines = m_droppedLines;
    std::unordered_map<const DialogLine *, DialogLine *> pages;
    pages.reserve(m_pages.size());
    copy->m_pages.reserve(m_pages.size());
    for (const auto &page : m_pages) {
        copy->m_pages.push_back(page->CloneSharing());
        pages.emplace(page.get(), copy->m_pages.back().get());
    }
    const auto map = [&pages](const DialogLine *page) -> DialogLine * {
        const auto it = page ? pages.find(page) : pages.end();
        return it == pages.end() ? nullptr : it->second;
    };
    // A line as read leads to no page by Request money; one that does owns
    // its texts, and so does its copy.
    const auto relink = [&map](const DialogLine &from, DialogLine &to) {
        to.m_target = map(from.GetTarget());
        const DialogLine::Texts *texts = from.Owned();
        if (!texts)
            return;
        if (texts->speech.g)
            to.Own().speech.g = map(texts->speech.g);
        if (texts->femaleSpeech.g)
            to.Own().femaleSpeech.g = map(texts->femaleSpeech.g);
    };
    for (size_t i = 0; i < m_pages.size(); ++i) {
        const DialogLine &page = *m_pages[i];
        DialogLine &pageCopy = *copy->m_pages[i];
        relink(page, pageCopy);
        for (int o = 0; o < page.GetOptionCount(); ++o)
            relink(*page.GetOption(o), *pageCopy.GetOption(o));
    }
    return copy;
}

void DialogFile::MarkAllModified()
{
    for (const auto &page : m_pages) {
        page->SetModified();
        for (int i = 0; i < page->GetOptionCount(); ++i)
            page->GetOption(i)->SetModified();
    }
}
