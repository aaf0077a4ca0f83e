#pragma once

#include <string>
#include <string_view>

class FileOps;

// Saves a file whole (see AtomicFile), but only while it still holds what
// it is expected to hold: a file that another program has changed since is
// never overwritten. It is looked at once the new bytes wait beside it, so
// that only the rename itself could come after a change.
class GuardedSave {
public:
    enum Result { Saved, Changed, Failed };
    // Failed and Changed come with why.
    static Result Save(const std::string &path, std::string_view expected, std::string_view bytes, FileOps &ops, std::string &error);
};
