#include "TextSearch.h"

#include "AnsiText.h"

TextSearch::TextSearch(const QString &pattern, Options options)
    : m_empty(pattern.isEmpty())
{
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
    DocumentText::ForEach(file, [&](const DocumentText::Place &place, std::string_view bytes) {
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
