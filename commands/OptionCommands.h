#pragma once

#include <QObject>

class EditingSession;
class Prompter;
class QWidget;

// The commands on the PC options of the page on display: add, edit,
// delete, move up and down (every option selected), and go to the page the
// selected one leads to.
// Each change is one step of the session's undo stack; the session shows
// what it changed, with the option it touched selected.
class OptionCommands : public QObject {
    Q_OBJECT
public:
    OptionCommands(EditingSession &session, Prompter &prompter, QWidget *parent);

    void OnAddOption();
    void OnEditOption();
    void OnDeleteOption();
    void OnMoveOptionUp();
    void OnMoveOptionDown();
    void OnGoToResultPage();

private:
    bool HaveSelectedOption();
    void MoveOptions(int by);

    EditingSession &m_session;
    Prompter &m_prompter;
    QWidget *m_parent;
};
