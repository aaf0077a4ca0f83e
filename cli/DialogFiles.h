#pragma once

#include <functional>
#include <string>
#include <vector>

// The .dlg files that command-line paths name: a file as given, a folder by
// every .dlg file below it. Work on many files runs on every core.
class DialogFiles {
public:
    // Sorted; a path that names nothing is returned as it is, so that
    // reading it reports the reason.
    static std::vector<std::string> Collect(const std::vector<std::string> &paths);
    // Runs work(i) for every i below count, spread over the machine's cores.
    static void ForEach(size_t count, const std::function<void(size_t)> &work);
};
