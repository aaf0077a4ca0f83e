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
    static std::vector<std::string> Collect(const std::vector<std::string> &paths, std::map<std::string, std::string> &unreadable);
    // Runs work(i) for every i below count, spread over the machine's cores.
    static void ForEach(size_t count, const std::function<void(size_t)> &work);
    // Runs work(i) for every i below count, each on a thread of its own: for
    // a few large files that a command needs all of, so that none waits for
    // another to be read, however many cores there are.
    static void AtOnce(size_t count, const std::function<void(size_t)> &work);
    // Fills the empty document from the file at path, or from standard
    // input for "-"; false with the reason when it cannot.
    static bool Read(const std::string &path, DialogFile &file, std::string &error);
    // Reads every file on every core and runs work(i, document, bytes) on
    // those that read. Returns, per file, why it could not be read (empty
    // when it was).
    static std::vector<std::string> ReadEach(const std::vector<std::string> &files,
                                             const std::function<void(size_t, DialogFile &, std::string_view)> &work);
};
