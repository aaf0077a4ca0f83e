#pragma once

#include "Version.h"

#include <string>

// The one-line message area at the bottom of the main window. Its text is
// UTF-8, spread out by whole characters. A message
// arrives spread out, one blank fewer after each character every 100 ms,
// until it reads normally; about five seconds later it clears. Once per run
// a credit line, the program's name and version, follows start-up.
//
// The logic knows no toolkit: its host arms and kills the timers and shows
// the text, and tests drive the ticks directly.
class StatusLine {
public:
    enum Timer { AnimationTimer = 0, CreditTimer = 1, ClearTimer = 5 };
    static constexpr int AnimationPeriod = 100;
    static constexpr int CreditPeriod = 3000;
    static constexpr int ClearPeriod = 5000;
    static constexpr int Spacing = 10;

    static constexpr const char *Credit = "Talkwright " TALKWRIGHT_VERSION " - a dialog editor for Quorvel";

    class Host {
    public:
        virtual ~Host() = default;
        // Arming a timer that runs restarts its period.
        virtual void ArmTimer(Timer timer, int milliseconds) = 0;
        virtual void KillTimer(Timer timer) = 0;
        virtual void ShowStatusText(const std::string &text) = 0;
    };

    explicit StatusLine(Host &host) : m_host(host) {}

    // Makes text the message; it shows at the next animation tick.
    void SetStatusMessage(std::string text);
    // Starts the credits, three seconds from now.
    void StartCredits();
    // One tick of a timer; false for timers that are not the status line's.
    bool OnTimer(int timer);

    const std::string &GetMessage() const { return m_statusText; }

private:
    void Animate();

    Host &m_host;
    std::string m_statusText;
    std::string m_shown;
    int m_spacing = Spacing;
};
