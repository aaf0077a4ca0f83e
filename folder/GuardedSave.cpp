#include "folder/GuardedSave.h"

#include "model/DialogFile.h"
#include "storage/AtomicFile.h"

GuardedSave::Result GuardedSave::Save(const std::string &path, std::string_view expected, std::string_view bytes, FileOps &ops, std::string &error)
{
    AtomicFile file(ops);
    if (!file.Open(path) || !file.Append(bytes)) {
        error = file.GetErrorText();
        return Failed;
    }
    std::string now;
    if (!DialogFile::ReadFileBytes(path, now, error)) {
        error = "it cannot be read any more (" + error + ")";
        return Changed;
    }
    if (now != expected) {
        error = "it has been changed by another program";
        return Changed;
    }
    if (!file.Commit()) {
        error = file.GetErrorText();
        return Failed;
    }
    return Saved;
}
