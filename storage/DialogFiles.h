#pragma once

#include <functional>
#include <map>
#include <string_view>
#include <string>
#include <vector>

// The .dlg files that command-line paths name: a file as given, a folder by
// every .dlg file below it, "-" as standard input. Work on many files runs
// on every core.
class DialogFile;

class DialogFiles {
public:
    // Sorted; a path that names nothing is returned as it is, so that
    // reading it reports the reason. Each folder that could not be listed,
    // named or found below a named one, goes into unreadable with the
    // system's reason.
    // Links to folders are not followed, so that no loop can form; with
    // skipped given, each of them goes there with why, and so does each
    // .dlg name below a folder that is not a file (a link that leads
    // nowhere or in a circle, a FIFO).
    static std::vector<std::string> Collect(const std::vector<std::string> &paths, std::map<std::string, std::string> &unreadable,
                                            std::map<std::string, std::string> *skipped = nullptr);
    // Whether a name ends in ".dlg", in any case.
    static bool IsDialogFileName(std::string_view path);
    // Runs work(i) for every i below count, spread over the machine's cores.
    // Returns, in order, the i whose work ran out of memory (threw
    // std::bad_alloc); the rest ran to their end.
    static std::vector<size_t> ForEach(size_t count, const std::function<void(size_t)> &work);
    // Runs work(i) for every i below count, each on a thread of its own, and
    // returns those that ran out of memory as ForEach does: for a few large
    // files that a command needs all of, so that none waits for another to
    // be read, however many cores there are.
    static std::vector<size_t> AtOnce(size_t count, const std::function<void(size_t)> &work);
    // Fills the empty document from the file at path, or from standard
    // input for "-"; false with the reason when it cannot.
    static bool Read(const std::string &path, DialogFile &file, std::string &error);
    // Reads every file on every core and runs work(i, document, bytes) on
    // those that read. Returns, per file, why it could not be read or
    // worked on (empty when it was): memory may run out for either.
    static std::vector<std::string> ReadEach(const std::vector<std::string> &files,
                                             const std::function<void(size_t, DialogFile &, std::string_view)> &work);
};
