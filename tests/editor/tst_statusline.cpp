// The status line's animation and credits, driven tick by tick.
#include "app/StatusLine.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

class FakeHost : public StatusLine::Host {
public:
    std::map<int, int> armed; // timer -> period, for the timers that run
    std::vector<std::string> shown;

    void ArmTimer(StatusLine::Timer timer, int milliseconds) override { armed[timer] = milliseconds; }
    void KillTimer(StatusLine::Timer timer) override { armed.erase(timer); }
    void ShowStatusText(const std::string &text) override { shown.push_back(text); }
    bool Runs(StatusLine::Timer timer) const { return armed.count(timer) != 0; }
};

struct StatusLineTest : ::testing::Test {
    FakeHost host;
    StatusLine line{host};

    // Ticks the animation while it runs, at most times times.
    void Tick(int times = 20)
    {
        for (int i = 0; i < times && host.Runs(StatusLine::AnimationTimer); ++i)
            line.OnTimer(StatusLine::AnimationTimer);
    }
};

TEST_F(StatusLineTest, ContractsAMessageInTenFramesThenClears)
{
    line.SetStatusMessage("a\xc3\xa9");
    EXPECT_TRUE(host.Runs(StatusLine::AnimationTimer));
    EXPECT_TRUE(host.shown.empty()) << "shown at the next tick, not at once";
    Tick();
    std::vector<std::string> expected;
    for (size_t k = 10; k-- > 0;) // blanks go after whole UTF-8 characters
        expected.push_back("a" + std::string(k, ' ') + "\xc3\xa9" + std::string(k, ' '));
    EXPECT_EQ(host.shown, expected);
    EXPECT_EQ(host.armed[StatusLine::ClearTimer], 5000);

    // The clear blanks the line at the next tick and arms no further clear.
    host.shown.clear();
    line.OnTimer(StatusLine::ClearTimer);
    EXPECT_FALSE(host.Runs(StatusLine::ClearTimer));
    Tick(1);
    EXPECT_EQ(host.shown, std::vector<std::string>{""});
    Tick();
    EXPECT_EQ(host.shown.size(), 10u);
    EXPECT_FALSE(host.Runs(StatusLine::ClearTimer));
}

TEST_F(StatusLineTest, AMessageSetMidAnimationContractsOverTheStepsLeft)
{
    line.SetStatusMessage("first");
    Tick(3);
    host.shown.clear();
    line.SetStatusMessage("xy");
    Tick();
    ASSERT_EQ(host.shown.size(), 7u);
    EXPECT_EQ(host.shown.front(), "x      y      ");
    EXPECT_EQ(host.shown.back(), "xy");
    // The next message starts from the full spread again.
    host.shown.clear();
    line.SetStatusMessage("z");
    Tick(1);
    EXPECT_EQ(host.shown, std::vector<std::string>{"z         "});
}

TEST_F(StatusLineTest, AMessageSetAfterTheLastFrameIsStillShown)
{
    line.SetStatusMessage("title");
    Tick(10);
    EXPECT_EQ(host.shown.back(), "title");
    line.SetStatusMessage("saved");
    Tick(1);
    EXPECT_EQ(host.shown.back(), "saved");
    EXPECT_FALSE(host.Runs(StatusLine::AnimationTimer));
    EXPECT_EQ(host.armed[StatusLine::ClearTimer], 5000);
    const size_t frames = host.shown.size();
    line.SetStatusMessage("saved");
    Tick();
    EXPECT_EQ(host.shown.size(), frames + 10) << "the same message again animates in full";

    // A new message cancels a pending clear, and arms its own.
    ASSERT_TRUE(host.Runs(StatusLine::ClearTimer));
    line.SetStatusMessage("read");
    EXPECT_FALSE(host.Runs(StatusLine::ClearTimer));
    Tick();
    EXPECT_TRUE(host.Runs(StatusLine::ClearTimer));
    EXPECT_EQ(host.shown.back(), "read");
}

// The credit, the program's name and version, and no placeholder after it:
// it clears as every message does.
TEST_F(StatusLineTest, CreditsFollowStartUp)
{
    line.StartCredits();
    EXPECT_EQ(host.armed[StatusLine::CreditTimer], 3000);
    EXPECT_TRUE(line.OnTimer(StatusLine::CreditTimer));
    EXPECT_FALSE(host.Runs(StatusLine::CreditTimer));
    EXPECT_EQ(line.GetMessage(), StatusLine::Credit);
    EXPECT_EQ(std::string(StatusLine::Credit).find("example"), std::string::npos);
    Tick();
    EXPECT_TRUE(host.Runs(StatusLine::ClearTimer));
    EXPECT_FALSE(line.OnTimer(2));
    EXPECT_FALSE(line.OnTimer(7));
    EXPECT_TRUE(line.OnTimer(StatusLine::ClearTimer));
    EXPECT_EQ(line.GetMessage(), "");
}

} // namespace
