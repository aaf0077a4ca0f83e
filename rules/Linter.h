#pragma once

#include "rules/Finding.h"

#include <string>
#include <vector>

class DialogFile;

// The checks of dlgtool check on one file: what cannot be read or written
// back, what the game would do unexpectedly, and which pages some players
// can never reach.
class Linter {
public:
    static std::vector<Finding> CheckFile(const std::string &path);
    static std::vector<Finding> CheckDocument(const DialogFile &file, const std::string &path);
};
