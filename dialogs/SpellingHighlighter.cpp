#include "dialogs/SpellingHighlighter.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

SpellingHighlighter::SpellingHighlighter(QPlainTextEdit *edit, DocumentSpelling &spelling)
    : QSyntaxHighlighter(edit->document())
    , m_edit(edit)
    , m_spelling(spelling)
{
    setObjectName(edit->objectName() + QStringLiteral("Spelling"));
    connect(&spelling, &DocumentSpelling::changed, this, &QSyntaxHighlighter::rehighlight);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, &SpellingHighlighter::ShowMenu);
}

void SpellingHighlighter::SetActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    rehighlight();
}

void SpellingHighlighter::highlightBlock(const QString &text)
{
    if (!m_active)
        return;
    QTextCharFormat misspelt;
    misspelt.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    misspelt.setUnderlineColor(Qt::red);
    for (const DocumentSpelling::Word &word : m_spelling.Misspelt(text))
        setFormat(word.start, word.length, misspelt);
}

std::optional<DocumentSpelling::Word> SpellingHighlighter::MisspeltAt(int position) const
{
    if (!m_active)
        return std::nullopt;
    const QTextBlock block = m_edit->document()->findBlock(position);
    if (!block.isValid())
        return std::nullopt;
    const int at = position - block.position();
    for (DocumentSpelling::Word word : m_spelling.Misspelt(block.text())) {
        if (at >= word.start && at <= word.start + word.length) {
            word.start += block.position();
            return word;
        }
    }
    return std::nullopt;
}

QMenu *SpellingHighlighter::CreateMenu(int position)
{
    QMenu *menu = m_edit->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("spellingMenu"));
    const std::optional<DocumentSpelling::Word> word = MisspeltAt(position);
    if (!word)
        return menu;
    const QString text = m_edit->document()->toPlainText().mid(word->start, word->length);
    QAction *first = menu->actions().value(0);
    const auto add = [menu, first](const QString &caption) {
        auto *action = new QAction(caption, menu);
        menu->insertAction(first, action);
        return action;
    };
    // A box that cannot be typed in shows what it shows.
    if (!m_edit->isReadOnly()) {
        const QStringList suggestions = m_spelling.Suggestions(text).mid(0, kMostSuggestions);
        for (const QString &suggestion : suggestions) {
            QAction *choose = add(QString(suggestion).replace(QLatin1Char('&'), QStringLiteral("&&")));
            choose->setObjectName(QStringLiteral("suggestion"));
            connect(choose, &QAction::triggered, this, [this, word = *word, suggestion] { Replace(word, suggestion); });
        }
        if (suggestions.isEmpty())
            add(QStringLiteral("(no suggestions)"))->setEnabled(false);
        menu->insertSeparator(first);
    }
    QAction *addToList = add(QStringLiteral("&Add to word list"));
    addToList->setObjectName(QStringLiteral("addToWordList"));
    connect(addToList, &QAction::triggered, &m_spelling, [this, text] { m_spelling.AddToWordList(text); });
    QAction *ignore = add(QStringLiteral("&Ignore"));
    ignore->setObjectName(QStringLiteral("ignoreWord"));
    connect(ignore, &QAction::triggered, &m_spelling, [this, text] { m_spelling.Ignore(text); });
    if (first)
        menu->insertSeparator(first);
    return menu;
}

void SpellingHighlighter::ShowMenu(const QPoint &at)
{
    QMenu *menu = CreateMenu(m_edit->cursorForPosition(at).position());
    menu->exec(m_edit->viewport()->mapToGlobal(at));
    delete menu;
}

// As typing would: one step of the box's own undo, seen by its text guard.
void SpellingHighlighter::Replace(const DocumentSpelling::Word &word, const QString &with)
{
    QTextCursor cursor(m_edit->document());
    cursor.setPosition(word.start);
    cursor.setPosition(word.start + word.length, QTextCursor::KeepAnchor);
    cursor.insertText(with);
    m_edit->setTextCursor(cursor);
}
