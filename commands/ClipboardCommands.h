#pragma once

#include <QObject>
#include <QString>

class CopiedLines;
class EditingSession;
class PageCommands;
class Prompter;
class QWidget;

// Copy, cut and paste: the PC options selected, or the page on display
// with its options. The clipboard gets the lines as Save writes them, as
// text, and with the names of the pages their jumps lead to, as data of
// this program's own type; a paste takes the data when there is some, the
// text otherwise (from another window, a text editor), and refuses whole
// what is not dialog lines. Each cut and each paste is one undo step.
class ClipboardCommands : public QObject {
    Q_OBJECT
public:
    // The type of the data that passes between Talkwright windows.
    static const QString MimeType;

    ClipboardCommands(EditingSession &session, Prompter &prompter, PageCommands &pages, QWidget *parent);

    void OnCopy();
    void OnCut();
    // Options go after the option selected (the last of several, or at the
    // end when none is), pages after the page on display.
    void OnPaste();
    void OnCopyPage();
    void OnCutPage();
    // As Paste, for pages only.
    void OnPastePage();

    // The clipboard holds something that a paste would try.
    static bool ClipboardHoldsText();

signals:
    // What was done, for the status line.
    void message(const QString &text);

private:
    void Put(const CopiedLines &lines);
    // The clipboard's lines; false, having said why, when it holds none.
    bool Take(CopiedLines &lines);
    void Paste(bool pagesOnly);
    // The index of the page on display; -1, having said so, for none.
    int PageOnDisplay();

    EditingSession &m_session;
    Prompter &m_prompter;
    PageCommands &m_pages;
    QWidget *m_parent;
};
