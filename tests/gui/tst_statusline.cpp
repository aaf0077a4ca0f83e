// The status line's animation and credits, driven tick by tick.
#include "app/StatusLine.h"

#include <QTest>
#include <map>

class FakeHost : public StatusLine::Host {
public:
    std::map<int, int> armed; // timer -> period, for the timers that run
    QStringList shown;

    void ArmTimer(StatusLine::Timer timer, int milliseconds) override { armed[timer] = milliseconds; }
    void KillTimer(StatusLine::Timer timer) override { armed.erase(timer); }
    void ShowStatusText(const std::string &text) override { shown << QString::fromStdString(text); }
    bool Runs(StatusLine::Timer timer) const { return armed.count(timer) != 0; }
};

class TestStatusLine : public QObject {
    Q_OBJECT

private:
    // Ticks the animation until it stops, at most limit times.
    static void Animate(StatusLine &line, FakeHost &host, int limit = 20)
    {
        for (int i = 0; i < limit && host.Runs(StatusLine::AnimationTimer); ++i)
            line.OnTimer(StatusLine::AnimationTimer);
    }

private slots:
    void contractsAMessageInTenFrames()
    {
        FakeHost host;
        StatusLine line(host);
        line.SetStatusMessage("ab");
        QVERIFY(host.Runs(StatusLine::AnimationTimer));
        QVERIFY(host.shown.isEmpty()); // shown at the next tick, not at once
        Animate(line, host);
        QStringList expected;
        for (int k = 9; k >= 0; --k)
            expected << QStringLiteral("a") + QString(k, QLatin1Char(' ')) + QStringLiteral("b") + QString(k, QLatin1Char(' '));
        QCOMPARE(host.shown, expected);
        QCOMPARE(host.armed[StatusLine::ClearTimer], 5000);

        // The clear blanks the line at the next tick and arms no further clear.
        host.shown.clear();
        line.OnTimer(StatusLine::ClearTimer);
        QVERIFY(!host.Runs(StatusLine::ClearTimer));
        line.OnTimer(StatusLine::AnimationTimer);
        QCOMPARE(host.shown, QStringList{QString()});
        Animate(line, host);
        QCOMPARE(host.shown.size(), 10);
        QVERIFY(!host.Runs(StatusLine::ClearTimer));
    }

    void aMessageSetMidAnimationContractsOverTheStepsLeft()
    {
        FakeHost host;
        StatusLine line(host);
        line.SetStatusMessage("first");
        for (int i = 0; i < 3; ++i)
            line.OnTimer(StatusLine::AnimationTimer);
        host.shown.clear();
        line.SetStatusMessage("xy");
        Animate(line, host);
        QCOMPARE(host.shown.size(), 7);
        QCOMPARE(host.shown.constFirst(), QStringLiteral("x      y      "));
        QCOMPARE(host.shown.constLast(), QStringLiteral("xy"));
        // The next message starts from the full spread again.
        host.shown.clear();
        line.SetStatusMessage("z");
        line.OnTimer(StatusLine::AnimationTimer);
        QCOMPARE(host.shown, QStringList{QStringLiteral("z         ")});
    }

    void aMessageSetAfterTheLastFrameIsStillShown()
    {
        FakeHost host;
        StatusLine line(host);
        line.SetStatusMessage("title");
        for (int i = 0; i < 10; ++i)
            line.OnTimer(StatusLine::AnimationTimer);
        QCOMPARE(host.shown.constLast(), QStringLiteral("title"));
        line.SetStatusMessage("saved");
        line.OnTimer(StatusLine::AnimationTimer);
        QCOMPARE(host.shown.constLast(), QStringLiteral("saved"));
        QVERIFY(!host.Runs(StatusLine::AnimationTimer));
        QCOMPARE(host.armed[StatusLine::ClearTimer], 5000);
        const int frames = static_cast<int>(host.shown.size());
        line.SetStatusMessage("saved");
        Animate(line, host);
        QCOMPARE(host.shown.size(), frames + 10); // the same message again animates in full
    }

    void aNewMessageCancelsAPendingClear()
    {
        FakeHost host;
        StatusLine line(host);
        line.SetStatusMessage("saved");
        Animate(line, host);
        QVERIFY(host.Runs(StatusLine::ClearTimer));
        line.SetStatusMessage("read");
        QVERIFY(!host.Runs(StatusLine::ClearTimer));
        Animate(line, host);
        QVERIFY(host.Runs(StatusLine::ClearTimer));
        QCOMPARE(host.shown.constLast(), QStringLiteral("read"));
    }

    void creditsFollowStartUp()
    {
        FakeHost host;
        StatusLine line(host);
        line.StartCredits();
        QCOMPARE(host.armed[StatusLine::CreditTimer], 3000);
        line.OnTimer(StatusLine::CreditTimer);
        QVERIFY(!host.Runs(StatusLine::CreditTimer));
        QCOMPARE(host.armed[StatusLine::AddressTimer], 3000);
        QCOMPARE(line.GetMessage(), std::string(StatusLine::Credit));
        line.OnTimer(StatusLine::AddressTimer);
        QVERIFY(!host.Runs(StatusLine::AddressTimer));
        QCOMPARE(line.GetMessage(), std::string(StatusLine::Address));

        QVERIFY(!line.OnTimer(3));
        QVERIFY(!line.OnTimer(7));
        QCOMPARE(line.GetMessage(), std::string(StatusLine::Address));
    }
};

QTEST_APPLESS_MAIN(TestStatusLine)
#include "tst_statusline.moc"
