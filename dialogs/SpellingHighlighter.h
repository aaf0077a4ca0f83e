#pragma once

#include "session/DocumentSpelling.h"

#include <QSyntaxHighlighter>
#include <optional>

class QMenu;
class QPlainTextEdit;

// Underlines the misspelt words of a text box with the platform's red
// wavy line as the writer types, while the box's text is one that spelling
// reads (its owner says when: unique speech, say, and not generated), and
// again whenever spelling says something else. Its context menu offers,
// on a misspelt word, the dictionary's suggestions (in a box that can be
// typed in: choosing one replaces the word as typing would, so the box's
// text guard sees it), "Add to word list" and "Ignore", above the box's
// usual items.
class SpellingHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // The most suggestions the menu offers.
    static constexpr int kMostSuggestions = 6;

    SpellingHighlighter(QPlainTextEdit *edit, DocumentSpelling &spelling);

    // Whether the box's text is spelt now.
    void SetActive(bool active);
    bool IsActive() const { return m_active; }

    // The misspelt word at a position of the box's text (a character on it
    // or just after it), as a range of the whole text.
    std::optional<DocumentSpelling::Word> MisspeltAt(int position) const;
    // The box's usual menu, with the entries for the misspelt word at
    // position first when there is one.
    QMenu *CreateMenu(int position);

protected:
    void highlightBlock(const QString &text) override;

private:
    void ShowMenu(const QPoint &at);
    void Replace(const DocumentSpelling::Word &word, const QString &with);

    QPlainTextEdit *m_edit;
    DocumentSpelling &m_spelling;
    bool m_active = true;
};
