#pragma once

#include <csignal>

// Takes away the temporary files of the saves under way when a signal ends
// the program (SIGTERM, SIGINT, SIGHUP, SIGPIPE), then lets the signal end
// it as it would have: a program killed so leaves no hidden file behind.
// The files are watched whether or not the handlers are installed.
class SignalCleanup {
public:
    // Installs the handlers, for dlgtool. A signal that the program was
    // started ignoring (nohup ignores SIGHUP) stays ignored.
    static void Install();

    // Watches the file at path, which the caller keeps unchanged until it
    // forgets it. Returns what Forget takes; -1 when too many are watched.
    static int Watch(const char *path);
    static void Forget(int ticket);

    // The signals, to hold back while a file is rewritten in place, so that
    // none ends the program half way through.
    static sigset_t Signals();
};
