#pragma once

#include "model/TextRules.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Keeps out of a dialog's text boxes what the file could not carry back:
// a change that would bring in such text (typed or pasted) is undone, and
// a note under the boxes says why. Enter in a multi-line box presses OK.
class TextGuard : public QObject {
    Q_OBJECT
public:
    explicit TextGuard(QLabel *note, QObject *parent = nullptr);

    void Guard(QLineEdit *edit, TextRules::Place place);
    void Guard(QPlainTextEdit *edit, TextRules::Place place);

    // Empty when every enabled box can be stored; otherwise the reason, and
    // the box takes the focus.
    QString CheckAll();

    // Why text cannot be stored in place; empty when it can. Names and
    // descriptions are judged as they are stored, without outer blanks.
    static QString Problem(const QString &text, TextRules::Place place);
    // The bytes to store for a box's text.
    static std::string Bytes(const QString &text, TextRules::Place place);

signals:
    void enterPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Box {
        QWidget *widget;
        TextRules::Place place;
        QString accepted;
    };
    QString TextOf(const Box &box) const;
    void OnChanged(Box &box);
    void ShowNote(const QString &text);

    QLabel *m_note;
    std::vector<Box> m_boxes;
    bool m_reverting = false;
};
