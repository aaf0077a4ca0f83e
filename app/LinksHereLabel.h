#pragma once

#include <QScrollArea>
#include <QStringList>

class DialogLine;
class EditingSession;
class QLabel;
class QVBoxLayout;

// Under the page view, in a place of its own that scrolls when it is full:
// whether the conversation starts on the page on display, and the options
// that lead to it, each a link of its own that Tab reaches and that is
// read by its text (the page's name and the option's speech), or that
// none does. It follows the page on display; a link shows its page with
// its option selected.
class LinksHereLabel : public QScrollArea {
    Q_OBJECT
public:
    explicit LinksHereLabel(EditingSession &session, QWidget *parent = nullptr);

    void ShowPage(const DialogLine *page);
    // The links shown, in order.
    QList<QLabel *> GetLinks() const;

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Follow(const QString &target);

    EditingSession &m_session;
    QWidget *m_body;
    QVBoxLayout *m_rows;
    QLabel *m_caption;
    QStringList m_shown; // what the rows say, as ShowPage lists it
};
