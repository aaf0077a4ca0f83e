#pragma once

#include "model/TextRules.h"

#include <QObject>
#include <QString>
#include <string>
#include <string_view>
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
    // Shows stored bytes in a guarded box as they are, even when they could
    // not be typed; the note then says why.
    void Load(QWidget *edit, std::string_view bytes);
    // What to store for a box: the loaded bytes themselves while its text is
    // as loaded, else its text converted.
    std::string BytesOf(const QWidget *edit) const;

    // Empty when every enabled box can be stored; otherwise the reason, and
    // the box takes the focus. A text left as it was loaded is kept.
    QString CheckAll();

    // Why text cannot be stored in place; empty when it can. Names and
    // descriptions are judged as they are stored, without outer blanks.
    static QString Problem(const QString &text, TextRules::Place place);
    // The bytes to store for a box's text.
    static std::string Bytes(const QString &text, TextRules::Place place);
    // Shows text in the note line; empty hides it.
    void ShowNote(const QString &text);

signals:
    void enterPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Box {
        QWidget *widget;
        TextRules::Place place;
        QString accepted;
        QString loaded = {};
        std::string loadedBytes = {};
        bool isLoaded = false;
    };
    QString TextOf(const Box &box) const;
    size_t IndexOf(const QWidget *edit) const;
    bool IsAsLoaded(const Box &box) const { return box.isLoaded && TextOf(box) == box.loaded; }
    void OnChanged(Box &box);

    QLabel *m_note;
    std::vector<Box> m_boxes;
    bool m_reverting = false;
};
