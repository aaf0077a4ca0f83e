#pragma once

#include <QObject>
#include <QString>

class DialogLine;
class EditingSession;
class Prompter;
class QWidget;

// The commands that change or follow the page on display: going to a page,
// a new page, its name and description, the NPC's speech, deleting,
// duplicating and moving it, the pages visited, and playing the
// conversation. Each change is one step of the session's undo stack; the
// session shows what it changed.
class PageCommands : public QObject {
    Q_OBJECT
public:
    PageCommands(EditingSession &session, Prompter &prompter, QWidget *parent);

    void OnNewPage();
    void OnEditSpeech();
    void OnGoTo();
    void OnChangePageInfo();
    void OnBack();
    void OnForward();
    // The play window, from the page on display or the first page.
    void OnPlay(bool fromFirstPage);
    void OnDeletePage();
    void OnDuplicatePage();
    void OnMovePage(int by);

    // The commands that change the current page need one; a document
    // without pages has none until New page adds it. Says so when not.
    static bool HaveCurrentPage(EditingSession &session, Prompter &prompter, QWidget *parent);
    // Asks whether to take the page on display out of the document (Delete,
    // Cut), naming the options that lead to it; answer is the button's text.
    // Unless always, it asks only when options lead to it.
    bool ConfirmDeletePage(const QString &caption, const QString &answer, bool always);

private:
    bool HaveCurrentPage() { return HaveCurrentPage(m_session, m_prompter, m_parent); }

    EditingSession &m_session;
    Prompter &m_prompter;
    QWidget *m_parent;
};
