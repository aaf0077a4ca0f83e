#pragma once

#include "edits/TextSearch.h"

#include "panels/Panel.h"
#include <vector>

class DialogLine;
class EditingSession;
class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QWidget;

// Find and replace: a search through every text of the document, its
// matches listed (page, which text, line of the file, the text with the
// matches marked). Going to a match shows its page with its option
// selected. "Replace all" is one step of the undo stack.
class FindBar : public Panel {
    Q_OBJECT
public:
    FindBar(EditingSession &session, Prompter &prompter, QWidget *parent = nullptr);
    ~FindBar() override;

    // Shows the bar, with the replace row or without, the focus in the find text.
    void Open(bool replace);
    // Goes to the next match (by 1) or the one before (by -1), around the end.
    void Step(int by);
    void ReplaceAll();

    QLineEdit *findEdit = nullptr;
    QLineEdit *replaceEdit = nullptr;
    QCheckBox *matchCase = nullptr;
    QCheckBox *wholeWords = nullptr;
    QCheckBox *regularExpression = nullptr;
    QTreeWidget *results = nullptr;
    QLabel *summary = nullptr;


private:
    TextSearch MakeSearch() const;
    void Search();
    void Go(int row);

    EditingSession &m_session;
    Prompter &m_prompter;
    QWidget *m_replaceRow = nullptr;
    QTimer *m_searchTimer = nullptr;
    std::vector<TextSearch::Hit> m_hits;
    bool m_stale = true;
};
