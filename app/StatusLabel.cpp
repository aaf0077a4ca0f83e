#include "app/StatusLabel.h"

#include <QTimer>

StatusLabel::StatusLabel(QWidget *parent)
    : QLabel(QString::fromLatin1(StatusLine::Credit), parent)
    , m_statusLine(*this)
{
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    for (const StatusLine::Timer id : {StatusLine::AnimationTimer, StatusLine::CreditTimer, StatusLine::ClearTimer}) {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { m_statusLine.OnTimer(id); });
        m_timers[id] = timer;
    }
}

void StatusLabel::ArmTimer(StatusLine::Timer timer, int milliseconds)
{
    m_timers[timer]->start(milliseconds);
}

void StatusLabel::KillTimer(StatusLine::Timer timer)
{
    m_timers[timer]->stop();
}

// The text is UTF-8 from the message to the screen.
void StatusLabel::ShowStatusText(const std::string &text)
{
    setText(QString::fromStdString(text));
}
