#include "app/StatusLine.h"

void StatusLine::SetStatusMessage(std::string text)
{
    m_statusText = std::move(text);
    m_host.ArmTimer(AnimationTimer, AnimationPeriod);
    m_host.KillTimer(ClearTimer);
}

void StatusLine::StartCredits()
{
    m_host.ArmTimer(CreditTimer, CreditPeriod);
}

bool StatusLine::OnTimer(int timer)
{
    switch (timer) {
    case AnimationTimer:
        Animate();
        return true;
    case CreditTimer:
        SetStatusMessage(Credit);
        m_host.KillTimer(CreditTimer);
        return true;
    case ClearTimer:
        SetStatusMessage({});
        m_host.KillTimer(ClearTimer);
        return true;
    default:
        return false;
    }
}

// A message set mid-animation goes on from the spacing that stands, so it
// contracts over the remaining steps only.
void StatusLine::Animate()
{
    if (m_spacing > 0) {
        --m_spacing;
        std::string frame;
        frame.reserve(m_statusText.size() * static_cast<size_t>(m_spacing + 1));
        // The text is UTF-8: blanks go after whole characters only.
        for (size_t i = 0; i < m_statusText.size(); ++i) {
            frame += m_statusText[i];
            const bool continues = i + 1 < m_statusText.size() && (static_cast<unsigned char>(m_statusText[i + 1]) & 0xC0) == 0x80;
            if (!continues)
                frame.append(static_cast<size_t>(m_spacing), ' ');
        }
        m_shown = frame;
        m_host.ShowStatusText(m_shown);
        m_host.ArmTimer(AnimationTimer, AnimationPeriod);
        return;
    }
    // A message set after the last frame of another has no steps left to
    // contract over; it still has to be seen.
    if (m_shown != m_statusText) {
        m_shown = m_statusText;
        m_host.ShowStatusText(m_shown);
    }
    m_host.KillTimer(AnimationTimer);
    m_spacing = Spacing;
    if (!m_statusText.empty())
        m_host.ArmTimer(ClearTimer, ClearPeriod);
}
