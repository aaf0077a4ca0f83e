#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <functional>
#include <optional>
#include <stop_token>

// Work off the user interface thread for the latest of a stream of
// requests, each numbered by a generation that grows: one job runs at a
// time, a request made meanwhile waits (a later one takes its place), and a
// result is handed on only when no later request has come since. A job
// that takes a stop token is asked to stop as soon as its result can no
// longer be handed on: when a later request comes, when it is stopped, and
// when its owner goes, which then never waits for it. A panel that shows
// the result is up to date once the latest request is done.
template <typename Result>
class LatestJob {
public:
    using Job = std::function<Result(std::stop_token)>;

    // done runs on the owner's thread with each result that is still the
    // latest; pool is where jobs run (the global pool when null).
    LatestJob(QObject *owner, std::function<void(Result)> done, QThreadPool *pool = nullptr)
        : m_watcher(new QFutureWatcher<Result>(owner))
        , m_done(std::move(done))
        , m_pool(pool ? pool : QThreadPool::globalInstance())
    {
        QObject::connect(m_watcher, &QFutureWatcherBase::finished, owner, [this] { Finished(); });
    }
    LatestJob(const LatestJob &) = delete;
    LatestJob &operator=(const LatestJob &) = delete;
    // A job under way works on what it was given: asked to stop, it ends
    // by itself.
    ~LatestJob()
    {
        m_stop.request_stop();
        m_watcher->disconnect();
    }

    // Asks for job's result, for generation.
    void Run(quint64 generation, Job job)
    {
        m_requested = generation;
        if (m_watcher->isRunning()) {
            m_stop.request_stop();
            m_pending = std::move(job);
            return;
        }
        m_pending.reset();
        Start(std::move(job));
    }
    // A job that cannot be stopped, such as a write that must be whole.
    void Run(quint64 generation, std::function<Result()> job)
    {
        Run(generation, Job([job = std::move(job)](std::stop_token) { return job(); }));
    }
    // Marks generation as done without a job (there is nothing to work on).
    void Skip(quint64 generation)
    {
        m_requested = generation;
        m_finished = generation;
        m_pending.reset();
        // The job under way, if any, is stale: done once it has ended.
        m_stop.request_stop();
    }
    // Asks the job under way to stop and drops the one waiting: no result
    // is handed on until the next request.
    void Stop()
    {
        m_pending.reset();
        m_stop.request_stop();
        // Even a job that has just ended, whose result is on its way.
        if (!m_taken)
            m_running = kDropped;
    }
    // The latest request is done and its result handed on (a job that has
    // just ended is not done until its result is).
    bool IsUpToDate() const { return m_finished == m_requested && m_taken && !m_watcher->isRunning() && !m_pending; }
    bool IsRunning() const { return m_watcher->isRunning(); }
    // Waits for the job under way, if any, and hands on its result now.
    void Wait()
    {
        while (!m_taken) {
            m_watcher->waitForFinished();
            Finished();
        }
    }
    quint64 GetRequested() const { return m_requested; }

private:
    static constexpr quint64 kDropped = ~quint64(0);

    void Start(Job job)
    {
        m_running = m_requested;
        m_taken = false;
        m_stop = std::stop_source();
        m_watcher->setFuture(QtConcurrent::run(m_pool, [job = std::move(job), stop = m_stop.get_token()] { return job(stop); }));
    }
    void Finished()
    {
        // A stale notice of a job before the one now running is no result.
        if (m_taken || !m_watcher->isFinished())
            return;
        m_taken = true;
        Result result = m_watcher->result();
        if (m_pending) {
            Job next = std::move(*m_pending);
            m_pending.reset();
            Start(std::move(next));
            return;
        }
        if (m_running != m_requested)
            return;
        m_finished = m_running;
        m_done(std::move(result));
    }

    QFutureWatcher<Result> *m_watcher;
    std::function<void(Result)> m_done;
    QThreadPool *m_pool;
    std::optional<Job> m_pending;
    std::stop_source m_stop; // the job under way's
    quint64 m_requested = 0;
    quint64 m_running = 0;
    quint64 m_finished = 0;
    bool m_taken = true;
};
