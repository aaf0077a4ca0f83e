// The panels' helper for work off the user interface thread: which results
// it hands on, and when it asks a job under way to stop.
#include "session/LatestJob.h"

#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A job that runs until it is asked to stop (or a long while passes, so
// that a failing test ends), then says whether it was asked.
LatestJob<int>::Job UntilStopped(std::shared_ptr<std::atomic<int>> stopped)
{
    return [stopped](std::stop_token stop) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!stop.stop_requested() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        *stopped = stop.stop_requested() ? 1 : 0;
        return -1;
    };
}

} // namespace

class TestLatestJob : public QObject {
    Q_OBJECT

    QThreadPool m_pool;
    QObject m_owner;
    std::vector<int> m_handed;
    std::shared_ptr<std::atomic<int>> m_stopped = std::make_shared<std::atomic<int>>(-1);

    std::unique_ptr<LatestJob<int>> Make()
    {
        return std::make_unique<LatestJob<int>>(&m_owner, [this](int result) { m_handed.push_back(result); }, &m_pool);
    }

private slots:
    void init()
    {
        m_handed.clear();
        *m_stopped = -1;
    }

    // A later request, or a skip, stops the job under way; only the later
    // request's result is handed on, and a skip is done once the stopped
    // job has ended. Fails if the stale job runs on to its end first, or a
    // skip during a run is never done.
    void aLaterRequestOrASkipStopsTheJobUnderWay()
    {
        auto job = Make();
        job->Run(1, UntilStopped(m_stopped));
        job->Run(2, [] { return 2; });
        QTRY_VERIFY(job->IsUpToDate());
        QCOMPARE(m_stopped->load(), 1);
        *m_stopped = -1;
        job->Run(3, UntilStopped(m_stopped));
        job->Skip(4);
        QTRY_VERIFY(job->IsUpToDate());
        QCOMPARE(m_stopped->load(), 1);
        QCOMPARE(m_handed, std::vector<int>{2});
    }

    // Stop drops even a job that has ended but whose result has not been
    // handed on yet, as when another document is opened at that moment.
    void stopDropsAJobThatHasJustEnded()
    {
        auto job = Make();
        job->Run(1, [] { return 1; });
        m_pool.waitForDone();
        job->Stop();
        QTest::qWait(50);
        QVERIFY(m_handed.empty());
        QVERIFY(!job->IsUpToDate());
        job->Run(2, [] { return 2; });
        QTRY_VERIFY(job->IsUpToDate());
        QCOMPARE(m_handed, std::vector<int>{2});
    }

    // Its owner going stops the job under way, so that the program never
    // waits for it on its way out.
    void itsEndStopsTheJobUnderWay()
    {
        auto job = Make();
        job->Run(1, UntilStopped(m_stopped));
        job.reset();
        QVERIFY(m_pool.waitForDone(30000));
        QCOMPARE(m_stopped->load(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLatestJob)
#include "tst_latestjob.moc"
