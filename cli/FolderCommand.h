#pragma once

#include "cli/Command.h"

class FolderIndex;

// A command that looks through every file that its paths name, as one
// folder of a game (see FolderIndex).
class FolderCommand : public Command {
protected:
    // Reads the files, reporting on err each folder or file that could not
    // be read; false when any could not.
    static bool ReadAll(FolderIndex &index, std::FILE *err);
    // A text of a file on one line, in UTF-8: remarks are joined by " | ".
    static std::string OneLine(std::string_view bytes);
};
