#include "storage/SignalCleanup.h"

#include <atomic>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGPIPE};

// More saves at once than any program of ours makes.
std::atomic<const char *> g_watched[16];

// Only calls that are safe in a signal handler: unlink and raise.
void RemoveAndEnd(int signal)
{
    for (auto &path : g_watched) {
        if (const char *name = path.load())
            unlink(name);
    }
    raise(signal); // the handler is reset already: the signal ends the program once this returns
}

} // namespace

void SignalCleanup::Install()
{
    for (const int signal : kSignals) {
        struct sigaction old {};
        if (sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveAndEnd;
        action.sa_flags = SA_RESETHAND;
        sigfillset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

int SignalCleanup::Watch(const char *path)
{
    for (int i = 0; i < static_cast<int>(std::size(g_watched)); ++i) {
        const char *none = nullptr;
        if (g_watched[i].compare_exchange_strong(none, path))
            return i;
    }
    return -1;
}

void SignalCleanup::Forget(int ticket)
{
    if (ticket >= 0 && ticket < static_cast<int>(std::size(g_watched)))
        g_watched[ticket].store(nullptr);
}

sigset_t SignalCleanup::Signals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals)
        sigaddset(&set, signal);
    return set;
}
