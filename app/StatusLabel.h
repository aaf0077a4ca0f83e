#pragma once

#include "app/StatusLine.h"

#include <QLabel>

class QTimer;

// The status line on the screen: a label that shows what the StatusLine
// spells out and runs its timers.
class StatusLabel : public QLabel, private StatusLine::Host {
    Q_OBJECT
public:
    explicit StatusLabel(QWidget *parent = nullptr);

    StatusLine &GetStatusLine() { return m_statusLine; }

private:
    void ArmTimer(StatusLine::Timer timer, int milliseconds) override;
    void KillTimer(StatusLine::Timer timer) override;
    void ShowStatusText(const std::string &text) override;

    StatusLine m_statusLine;
    QTimer *m_timers[StatusLine::ClearTimer + 1] = {};
};
