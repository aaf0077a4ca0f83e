#pragma once

#include <string>
#include <utility>
#include <vector>

// What a replace in files, or its undo, did: the files it wrote, those it
// left as they were with why, or why it wrote none.
struct FilesWritten {
    std::vector<std::string> written;
    std::vector<std::pair<std::string, std::string>> notWritten; // path, why
    std::string error; // when nothing was written at all
};
