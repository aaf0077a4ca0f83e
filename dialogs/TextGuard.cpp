#include "dialogs/TextGuard.h"

#include "ui/AnsiText.h"

#include <QKeyEvent>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

TextGuard::TextGuard(QLabel *note, QObject *parent)
    : QObject(parent)
    , m_note(note)
{
    m_boxes.reserve(16);
}

void TextGuard::Guard(QLineEdit *edit, TextRules::Place place)
{
    m_boxes.push_back({edit, place, edit->text()});
    const size_t index = m_boxes.size() - 1;
    connect(edit, &QLineEdit::textChanged, this, [this, index] { OnChanged(m_boxes[index]); });
}

void TextGuard::Guard(QPlainTextEdit *edit, TextRules::Place place)
{
    m_boxes.push_back({edit, place, edit->toPlainText()});
    const size_t index = m_boxes.size() - 1;
    connect(edit, &QPlainTextEdit::textChanged, this, [this, index] { OnChanged(m_boxes[index]); });
    edit->installEventFilter(this);
}

QString TextGuard::TextOf(const Box &box) const
{
    if (const auto *line = qobject_cast<const QLineEdit *>(box.widget))
        return line->text();
    return static_cast<const QPlainTextEdit *>(box.widget)->toPlainText();
}

size_t TextGuard::IndexOf(const QWidget *edit) const
{
    const auto it = std::find_if(m_boxes.begin(), m_boxes.end(), [edit](const Box &box) { return box.widget == edit; });
    Q_ASSERT(it != m_boxes.end());
    return static_cast<size_t>(it - m_boxes.begin());
}

void TextGuard::Load(QWidget *edit, std::string_view bytes)
{
    Box &box = m_boxes[IndexOf(edit)];
    const QString text = AnsiText::ToDisplay(bytes);
    m_reverting = true;
    if (auto *line = qobject_cast<QLineEdit *>(edit))
        line->setText(text);
    else
        static_cast<QPlainTextEdit *>(edit)->setPlainText(text);
    m_reverting = false;
    box.accepted = box.loaded = TextOf(box);
    box.loadedBytes = bytes;
    box.isLoaded = true;
    if (const QString problem = Problem(text, box.place); !problem.isEmpty())
        ShowNote(QStringLiteral("Kept as the file has it, though it could not be typed: ") + problem);
}

std::string TextGuard::BytesOf(const QWidget *edit) const
{
    const Box &box = m_boxes[IndexOf(edit)];
    return IsAsLoaded(box) ? box.loadedBytes : Bytes(TextOf(box), box.place);
}

QString TextGuard::Problem(const QString &text, TextRules::Place place)
{
    std::string bytes;
    if (!AnsiText::FromDisplay(text, bytes)) {
        for (const QChar c : text) {
            std::string one;
            if (!AnsiText::FromDisplay(QString(c), one))
                return QStringLiteral("\"%1\" is not a character that a dialog file can store.").arg(c);
        }
    }
    return QString::fromStdString(TextRules::Check(Bytes(text, place), place));
}

std::string TextGuard::Bytes(const QString &text, TextRules::Place place)
{
    const bool trimmed = place == TextRules::Place::Label || place == TextRules::Place::Description;
    QString stored = text;
    if (trimmed) {
        while (!stored.isEmpty() && (stored.front() == u' ' || stored.front() == u'\t'))
            stored.remove(0, 1);
        while (!stored.isEmpty() && (stored.back() == u' ' || stored.back() == u'\t'))
            stored.chop(1);
    }
    std::string bytes;
    AnsiText::FromDisplay(stored, bytes);
    return bytes;
}

void TextGuard::OnChanged(Box &box)
{
    if (m_reverting)
        return;
    const QString text = TextOf(box);
    const QString problem = Problem(text, box.place);
    // A text that was already unstorable (as read from a file) may be
    // edited freely, so that it can be mended.
    if (!problem.isEmpty() && Problem(box.accepted, box.place).isEmpty()) {
        m_reverting = true;
        if (auto *line = qobject_cast<QLineEdit *>(box.widget)) {
            const int cursor = line->cursorPosition() - static_cast<int>(text.size() - box.accepted.size());
            line->setText(box.accepted);
            line->setCursorPosition(qMax(0, cursor));
        } else {
            auto *plain = static_cast<QPlainTextEdit *>(box.widget);
            const int cursor = plain->textCursor().position() - static_cast<int>(text.size() - box.accepted.size());
            plain->setPlainText(box.accepted);
            QTextCursor restored = plain->textCursor();
            restored.setPosition(qBound(0, cursor, static_cast<int>(box.accepted.size())));
            plain->setTextCursor(restored);
        }
        m_reverting = false;
        ShowNote(problem);
        return;
    }
    box.accepted = text;
    ShowNote(problem);
}

QString TextGuard::CheckAll()
{
    for (const Box &box : m_boxes) {
        if (!box.widget->isEnabled() || IsAsLoaded(box))
            continue;
        const QString problem = Problem(TextOf(box), box.place);
        if (!problem.isEmpty()) {
            box.widget->setFocus();
            ShowNote(problem);
            return problem;
        }
    }
    return {};
}

void TextGuard::ShowNote(const QString &text)
{
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

bool TextGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit enterPressed();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
