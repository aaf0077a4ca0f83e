#pragma once

#include <QObject>

class CMainDialog;
class CPageView;
class DialogLine;
class EditingSession;
class Prompter;

// The commands that change or follow the page on display and its options,
// and the page commands (delete, duplicate, move). Each change is one step
// of the session's undo stack; the window redisplays after it.
class PageCommands : public QObject {
    Q_OBJECT
public:
    PageCommands(EditingSession &session, Prompter &prompter, CMainDialog &window, CPageView &view);

    void OnGoToResultPage();
    void OnNewPage();
    void OnDeleteOption();
    void OnMoveOptionUp();
    void OnMoveOptionDown();
    void OnEditSpeech();
    void OnAddOption();
    void OnEditOption();
    void OnGoTo();
    void OnChangePageInfo();
    // The play window, from the page on display or the first page.
    void OnPlay(bool fromFirstPage);

    // page is a page of the document; null stands for the page on display.
    void OnDeletePage(DialogLine *page = nullptr);
    void OnDuplicatePage(DialogLine *page = nullptr);
    void OnMovePage(int by, DialogLine *page = nullptr);

private:
    bool HaveCurrentPage();
    bool HaveSelectedOption();
    void MoveOption(int from, int to);
    void Show(DialogLine *page);

    EditingSession &m_session;
    Prompter &m_prompter;
    CMainDialog &m_window;
    CPageView &m_view;
};
