#include "dialogs/DialogTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {
constexpr int kNoteHeight = 20; // dialog units below the template for notes
}

DialogTemplate::DialogTemplate(QDialog *dialog, int width, int height)
    : m_dialog(dialog)
    , m_units((dialog->setFont(DialogUnits::TemplateFont()), dialog->font()))
    , m_width(width)
    , m_height(height)
{
    dialog->setFixedSize(m_units.X(width), m_units.Y(height + kNoteHeight));
}

template <typename T>
T *DialogTemplate::Place(T *control, int id, const char *name, int x, int y, int w, int h)
{
    control->setObjectName(QLatin1String(name));
    control->setProperty("controlId", id);
    control->setGeometry(m_units.Rect(x, y, w, h));
    return control;
}

QPushButton *DialogTemplate::Button(int id, const char *name, const QString &caption, int x, int y, int w, int h)
{
    auto *button = Place(new QPushButton(caption, m_dialog), id, name, x, y, w, h);
    button->setAutoDefault(false);
    return button;
}

QRadioButton *DialogTemplate::Radio(int id, const char *name, const QString &caption, int x, int y, int w, int h)
{
    auto *radio = Place(new QRadioButton(caption, m_dialog), id, name, x, y, w, h);
    radio->setAutoExclusive(false);
    radio->setFocusPolicy(Qt::ClickFocus);
    return radio;
}

QCheckBox *DialogTemplate::CheckBox(int id, const char *name, const QString &caption, int x, int y, int w, int h)
{
    return Place(new QCheckBox(caption, m_dialog), id, name, x, y, w, h);
}

QComboBox *DialogTemplate::Combo(int id, const char *name, int x, int y, int w, int h)
{
    // The template's height is that of the open list; the closed box is one line.
    auto *combo = Place(new QComboBox(m_dialog), id, name, x, y, w, h);
    combo->resize(combo->width(), qMax(m_units.Y(12), combo->sizeHint().height()));
    combo->setMaxVisibleItems(qMax(4, h / 8));
    return combo;
}

QLineEdit *DialogTemplate::Edit(int id, const char *name, int x, int y, int w, int h)
{
    return Place(new QLineEdit(m_dialog), id, name, x, y, w, h);
}

QLineEdit *DialogTemplate::DigitsEdit(int id, const char *name, int x, int y, int w, int h)
{
    QLineEdit *edit = Edit(id, name, x, y, w, h);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QPlainTextEdit *DialogTemplate::MultiLineEdit(int id, const char *name, int x, int y, int w, int h)
{
    auto *edit = Place(new QPlainTextEdit(m_dialog), id, name, x, y, w, h);
    edit->setTabChangesFocus(true);
    return edit;
}

QLabel *DialogTemplate::Label(int id, const char *name, const QString &caption, int x, int y, int w, int h)
{
    auto *label = Place(new QLabel(caption, m_dialog), id, name, x, y, w, h);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QGroupBox *DialogTemplate::Group(const QString &caption, int x, int y, int w, int h)
{
    auto *group = Place(new QGroupBox(caption, m_dialog), -1, "", x, y, w, h);
    group->lower(); // under the controls it frames
    return group;
}

QLabel *DialogTemplate::NoteLine()
{
    auto *note = Label(-1, "note", QString(), 7, m_height, m_width - 14, kNoteHeight - 2);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb0, 0x10, 0x10));
    note->setPalette(palette);
    note->hide();
    return note;
}
