#include "ui/TextSearch.h"

#include "ui/AnsiText.h"
#include "model/Windows1252.h"

#include <algorithm>
#include <array>

namespace {

// Per byte of Windows-1252: its lower case, and whether it is part of a word.
struct ByteClasses {
    std::array<unsigned char, 256> lower{};
    std::array<bool, 256> word{};

    ByteClasses()
    {
        for (int b = 0; b < 256; ++b) {
            const QChar c(static_cast<char16_t>(Windows1252::ToUnicode(static_cast<unsigned char>(b))));
            unsigned char folded = static_cast<unsigned char>(b);
            if (!Windows1252::FromUnicode(c.toLower().unicode(), folded))
                folded = static_cast<unsigned char>(b);
            lower[static_cast<size_t>(b)] = folded;
            word[static_cast<size_t>(b)] = c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_');
        }
    }
};

const ByteClasses &Classes()
{
    static const ByteClasses classes;
    return classes;
}

} // namespace

TextSearch::TextSearch(const QString &pattern, Options options)
    : m_empty(pattern.isEmpty())
    , m_plain(false)
    , m_options(options)
{
    m_plain = !options.regularExpression && AnsiText::FromDisplay(pattern, m_needle);
    if (m_plain && !options.matchCase) {
        for (char &c : m_needle)
            c = static_cast<char>(Classes().lower[static_cast<unsigned char>(c)]);
    }
    QString expression = options.regularExpression ? pattern : QRegularExpression::escape(pattern);
    if (options.wholeWords)
        expression = QStringLiteral("(?<!\\w)(?:%1)(?!\\w)").arg(expression);
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    m_expression.setPattern(expression);
    m_expression.setPatternOptions(flags);
    m_expression.optimize();
}

bool TextSearch::IsValid() const
{
    return !m_empty && m_expression.isValid();
}

QString TextSearch::GetError() const
{
    return m_empty || m_expression.isValid() ? QString() : m_expression.errorString();
}

std::vector<TextSearch::Hit> TextSearch::FindAll(const DialogFile &file) const
{
    std::vector<Hit> hits;
    if (!IsValid())
        return hits;
    if (!m_plain && !m_options.regularExpression)
        return hits; // a character no dialog file can hold
    DocumentText::ForEach(file, [&](const DocumentText::Place &place, std::string_view bytes) {
        if (m_plain) {
            Matches matches;
            FindBytes(bytes, matches);
            // One byte is one character of the text shown.
            if (!matches.empty())
                hits.push_back({place, AnsiText::ToDisplay(bytes), std::move(matches)});
            return;
        }
        const QString text = AnsiText::ToDisplay(bytes);
        Hit hit{place, text, {}};
        for (auto it = m_expression.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            if (match.capturedLength() > 0)
                hit.matches.emplace_back(match.capturedStart(), match.capturedLength());
        }
        if (!hit.matches.empty())
            hits.push_back(std::move(hit));
    });
    return hits;
}

void TextSearch::FindBytes(std::string_view text, Matches &matches) const
{
    const ByteClasses &classes = Classes();
    const auto same = [&classes](char a, char b) { return classes.lower[static_cast<unsigned char>(a)] == static_cast<unsigned char>(b); };
    const auto isWord = [&classes, text](size_t at) { return at < text.size() && classes.word[static_cast<unsigned char>(text[at])]; };
    const size_t length = m_needle.size();
    for (size_t from = 0; from + length <= text.size();) {
        const size_t at = m_options.matchCase
            ? text.find(m_needle, from)
            : static_cast<size_t>(std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), m_needle.begin(), m_needle.end(), same) - text.begin());
        if (at == std::string_view::npos || at >= text.size())
            return;
        if (m_options.wholeWords && ((at > 0 && isWord(at - 1)) || isWord(at + length))) {
            from = at + 1;
            continue;
        }
        matches.emplace_back(static_cast<qsizetype>(at), static_cast<qsizetype>(length));
        from = at + length;
    }
}

TextSearch::Replacement TextSearch::ReplaceAll(const DialogFile &file, const QString &replacement) const
{
    Replacement result;
    for (const Hit &hit : FindAll(file)) {
        const QString replaced = QString(hit.text).replace(m_expression, replacement);
        std::string bytes;
        if (!AnsiText::FromDisplay(replaced, bytes)) {
            result.refused.push_back({hit.place, "It would hold a character that a dialog file cannot store (Windows-1252 has none for it)."});
            continue;
        }
        if (std::string reason = DocumentText::CheckStorable(bytes, hit.place.kind); !reason.empty())
            result.refused.push_back({hit.place, std::move(reason)});
        else if (bytes != DocumentText::Get(*hit.place.line, hit.place.kind))
            result.changes.push_back({hit.place, std::move(bytes)});
    }
    return result;
}
