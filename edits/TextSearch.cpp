#include "edits/TextSearch.h"

#include "model/Windows1252.h"

#include <algorithm>
#include <array>

namespace {

constexpr const char *kNoByte = "It would hold a character that a dialog file cannot store (Windows-1252 has none for it).";

bool IsWordByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return Windows1252::IsLetter(byte) || Windows1252::IsNumber(byte) || c == '_';
}

char Lower(char c)
{
    return static_cast<char>(Windows1252::Lower(static_cast<unsigned char>(c)));
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A replacement cut into what it says literally and the groups it names.
struct Piece {
    std::string_view literal;
    int group = -1; // after the literal; -1 for none
};

// \N and \NN name group N when the pattern has one; any other backslash
// stands for itself.
std::vector<Piece> CutReplacement(std::string_view replacement, int groups)
{
    const auto digit = [&replacement](size_t at) { return at < replacement.size() && replacement[at] >= '0' && replacement[at] <= '9' ? replacement[at] - '0' : -1; };
    std::vector<Piece> pieces;
    size_t from = 0;
    for (size_t i = 0; i + 1 < replacement.size(); ++i) {
        int group = digit(i + 1);
        if (replacement[i] != '\\' || group <= 0 || group > groups)
            continue;
        size_t length = 2;
        if (const int second = digit(i + 2); second >= 0 && group * 10 + second <= groups) {
            group = group * 10 + second;
            length = 3;
        }
        pieces.push_back({replacement.substr(from, i - from), group});
        from = i + length;
        i = from - 1;
    }
    pieces.push_back({replacement.substr(from), -1});
    return pieces;
}

// The next place at or after from where the needle (in lower case) stands
// in text, in any case; npos when it stands nowhere.
size_t FindFolded(std::string_view text, std::string_view needle, size_t from)
{
    // Each byte's lower case, here, for the inner loop.
    static const std::array<unsigned char, 256> lower = [] {
        std::array<unsigned char, 256> table{};
        for (size_t b = 0; b < table.size(); ++b)
            table[b] = Windows1252::Lower(static_cast<unsigned char>(b));
        return table;
    }();
    const auto at = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto first = static_cast<unsigned char>(needle.front());
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (lower[at(i)] != first)
            continue;
        size_t k = 1;
        while (k < needle.size() && lower[at(i + k)] == static_cast<unsigned char>(needle[k]))
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

} // namespace

// What one thread needs to search texts with a regular expression: the
// matcher and room for a text in UTF-8.
class TextSearch::Scan {
public:
    explicit Scan(const PatternEngine::Pattern &expression) : m_matcher(expression.NewScanner()) {}

    // The text in UTF-8: itself when it is ASCII.
    std::string_view Utf8(std::string_view text)
    {
        if (IsAscii(text))
            return text;
        m_utf8.clear();
        Windows1252::AppendUtf8(m_utf8, text);
        return m_utf8;
    }

    // The non-empty matches in text, in its characters.
    void Find(std::string_view text, Matches &matches)
    {
        const std::string_view subject = Utf8(text);
        size_t at = 0;    // in the UTF-8 text
        size_t index = 0; // the character there
        const auto advance = [&](size_t to) {
            for (; at < to; ++at)
                index += (static_cast<unsigned char>(subject[at]) & 0xC0) != 0x80;
            return index;
        };
        m_matcher->ForEach(subject, [&](const PatternEngine::Groups &groups) {
            const auto [start, end] = groups.front();
            if (end == start)
                return;
            const size_t first = advance(start);
            matches.emplace_back(first, advance(end) - first);
        });
    }

    // text with every match replaced (empty ones too, as Perl does), in
    // UTF-8.
    std::string Replace(std::string_view text, const std::vector<Piece> &pieces)
    {
        const std::string_view subject = Utf8(text);
        std::string out;
        size_t done = 0;
        m_matcher->ForEach(subject, [&](const PatternEngine::Groups &groups) {
            out.append(subject.substr(done, groups.front().first - done));
            for (const Piece &piece : pieces) {
                out.append(piece.literal);
                if (piece.group > 0 && groups[static_cast<size_t>(piece.group)].first != std::string_view::npos) {
                    const auto [start, end] = groups[static_cast<size_t>(piece.group)];
                    out.append(subject.substr(start, end - start));
                }
            }
            done = groups.front().second;
        });
        out.append(subject.substr(done));
        return out;
    }

private:
    std::unique_ptr<PatternEngine::Scanner> m_matcher;
    std::string m_utf8;
};

TextSearch::TextSearch(std::string_view pattern, Options options, const PatternEngine *engine)
    : m_options(options)
    , m_empty(pattern.empty())
{
    if (m_empty)
        return;
    if (!options.regularExpression) {
        bool valid = true;
        m_plain = Windows1252::FromUtf8(pattern, m_needle, &valid);
        if (!valid)
            m_error = "The text to find is not valid UTF-8.";
        if (!options.matchCase)
            std::transform(m_needle.begin(), m_needle.end(), m_needle.begin(), Lower);
        return; // a needle Windows-1252 cannot spell is in no dialog file
    }
    const std::string expression = options.wholeWords ? "(?<!\\w)(?:" + std::string(pattern) + ")(?!\\w)" : std::string(pattern);
    if (!engine) {
        m_error = "Regular expressions are not available here.";
        return;
    }
    m_expression = engine->Compile(expression, !options.matchCase);
    if (!m_expression->IsValid())
        m_error = m_expression->GetError();
}

TextSearch::~TextSearch() = default;

bool TextSearch::IsValid() const
{
    return !m_empty && m_error.empty();
}

void TextSearch::ForEachHit(const DialogFile &file,
                            const std::function<void(const DocumentText::Place &, std::string_view, const Matches &)> &visit) const
{
    if (!IsValid() || (!m_plain && !m_expression))
        return;
    std::unique_ptr<Scan> scan = m_expression ? std::make_unique<Scan>(*m_expression) : nullptr;
    Matches matches;
    DocumentText::ForEach(file, [&](const DocumentText::Place &place, std::string_view text) {
        matches.clear();
        if (scan)
            scan->Find(text, matches);
        else
            FindBytes(text, matches); // one byte is one character of the text shown
        if (!matches.empty())
            visit(place, text, matches);
    });
}

std::vector<TextSearch::Hit> TextSearch::FindAll(const DialogFile &file) const
{
    std::vector<Hit> hits;
    ForEachHit(file, [&hits](const DocumentText::Place &place, std::string_view text, const Matches &matches) {
        hits.push_back({place, std::string(text), matches});
    });
    return hits;
}

void TextSearch::FindBytes(std::string_view text, Matches &matches) const
{
    const auto isWord = [text](size_t at) { return at < text.size() && IsWordByte(text[at]); };
    const size_t length = m_needle.size();
    for (size_t from = 0; from + length <= text.size();) {
        const size_t at = m_options.matchCase ? text.find(m_needle, from) : FindFolded(text, m_needle, from);
        if (at == std::string_view::npos)
            return;
        if (m_options.wholeWords && ((at > 0 && isWord(at - 1)) || isWord(at + length))) {
            from = at + 1;
            continue;
        }
        matches.emplace_back(at, length);
        from = at + length;
    }
}

TextSearch::Replacement TextSearch::ReplaceAll(const DialogFile &file, std::string_view replacement) const
{
    Replacement result;
    std::string plainReplacement;
    const bool storable = Windows1252::FromUtf8(replacement, plainReplacement);
    const std::vector<Piece> pieces = CutReplacement(replacement, m_expression ? m_expression->GroupCount() : 0);
    std::unique_ptr<Scan> scan = m_expression ? std::make_unique<Scan>(*m_expression) : nullptr;
    ForEachHit(file, [&](const DocumentText::Place &place, std::string_view text, const Matches &matches) {
        std::string bytes;
        if (scan ? !Windows1252::FromUtf8(scan->Replace(text, pieces), bytes) : !storable) {
            result.refused.push_back({place, kNoByte});
            return;
        }
        if (!scan) {
            size_t done = 0;
            for (const auto &[start, length] : matches) {
                bytes.append(text.substr(done, start - done)).append(plainReplacement);
                done = start + length;
            }
            bytes.append(text.substr(done));
        }
        if (std::string reason = DocumentText::CheckStorable(bytes, place.kind); !reason.empty())
            result.refused.push_back({place, std::move(reason)});
        else if (bytes != text)
            result.changes.push_back({place, std::move(bytes)});
    });
    return result;
}
