#pragma once

#include <QLabel>

class DialogLine;
class EditingSession;

// Under the page view: the options that lead to the page on display, each
// a link to its page, or that none does; and whether the conversation
// starts on this page.
class LinksHereLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinksHereLabel(EditingSession &session, QWidget *parent = nullptr);

    void ShowPage(const DialogLine *page);

signals:
    // A link was followed: show page with option selected.
    void optionActivated(DialogLine *page, DialogLine *option);

private:
    EditingSession &m_session;
};
