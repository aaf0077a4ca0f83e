#include "dialogs/RadioGroup.h"

#include <QKeyEvent>
#include <QRadioButton>

RadioGroup::RadioGroup(QList<QRadioButton *> buttons, QObject *parent)
    : QObject(parent)
    , m_buttons(std::move(buttons))
{
    for (QRadioButton *button : std::as_const(m_buttons)) {
        button->installEventFilter(this);
        connect(button, &QRadioButton::toggled, this, &RadioGroup::Update);
    }
    Update();
}

QRadioButton *RadioGroup::GetStop() const
{
    for (QRadioButton *button : m_buttons) {
        if (button->isChecked())
            return button;
    }
    return m_buttons.value(0);
}

void RadioGroup::Update()
{
    QRadioButton *stop = GetStop();
    for (QRadioButton *button : std::as_const(m_buttons))
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool RadioGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    const int by = key == Qt::Key_Down || key == Qt::Key_Right ? 1 : key == Qt::Key_Up || key == Qt::Key_Left ? -1 : 0;
    const qsizetype at = m_buttons.indexOf(static_cast<QRadioButton *>(watched));
    if (by == 0 || at < 0)
        return false;
    const qsizetype count = m_buttons.size();
    for (qsizetype step = 1; step < count; ++step) {
        QRadioButton *next = m_buttons[((at + by * step) % count + count) % count];
        if (next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            next->click();
            break;
        }
    }
    return true;
}
