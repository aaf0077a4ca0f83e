#pragma once

#include "storage/DiskStamp.h"

#include <functional>
#include <memory>
#include <string>

class DialogFile;

// One .dlg file of a folder as it was last read: its document, its pages
// and the errors and warnings the checks find in it, or why it could not
// be read.
struct FolderFile {
    std::string path;
    // Why the file could not be read (it is no dialog file, it changed
    // while it was read, the system's reason); empty when it was read.
    std::string error;
    int pages = 0;
    int errors = 0;
    int warnings = 0;
    // The file when it was read, to tell whether it has changed since.
    DiskStamp stamp;
    // Null when the file could not be read. Shared, so that a search on
    // another thread can go on reading it while the index moves on.
    std::shared_ptr<const DialogFile> document;

    // How a file is read into a document: DialogFiles::Read, or what a
    // test puts in its place.
    using Reader = std::function<bool(const std::string &path, DialogFile &file, std::string &error)>;
    // Reads the file at path and, when asked, runs the checks on it. A file
    // that changes while it is read is read again, and after a few tries it
    // is said so.
    static FolderFile Read(const std::string &path, bool check, const Reader &reader = {});
};
