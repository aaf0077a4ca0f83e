#pragma once

#include "storage/RecoveryRecord.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

class FileOps;

// The folder of recovery files: one per document with unsaved changes,
// "<slot>.recovery", with its lock "<slot>.lock" beside it (see
// RecoveryLock). A named file's slot comes from its absolute path, so that
// opening the file again finds it; an untitled document's is made unique.
// Unsaved work is private: the folder is this user's alone (mode 0700,
// tightened to it if it was not), its files too (see PrivateFile), and
// anything in it that is not a regular file of this user's is ignored.
class RecoveryFolder {
public:
    struct Entry {
        std::string slot;
        RecoveryRecord record;
    };

    explicit RecoveryFolder(std::string path);

    const std::string &GetPath() const { return m_path; }
    std::string RecoveryPath(const std::string &slot) const { return m_path + "/" + slot + ".recovery"; }
    std::string LockPath(const std::string &slot) const { return m_path + "/" + slot + ".lock"; }

    // path made absolute, without "." and ".." steps: the name a record keeps.
    static std::string Absolute(const std::string &path);
    static std::string SlotForFile(const std::string &absolutePath);
    // Unique to this process and call.
    static std::string SlotForUntitled();

    // Takes the slot's lock for this process (see RecoveryLock::Take),
    // making the folder when it is missing, and clears what writes of the
    // slot that were cut short left, and stale temporary files; releases it
    // if this process holds it.
    pid_t TakeLock(const std::string &slot) const;
    void ReleaseLock(const std::string &slot) const;

    // Replaces the slot's recovery file with the record, as a whole or not
    // at all, making the folder when it is missing. False with the
    // system's reason when it could not.
    bool Write(const std::string &slot, const RecoveryRecord &record, FileOps &ops, std::string &error) const;
    void Remove(const std::string &slot) const;

    // The recovery files that no live process other than this one keeps,
    // but for the slot except, newest first: those cut short too (see
    // RecoveryRecord::missing), but none that is not a recovery file.
    std::vector<Entry> Unkept(const std::string &except = {}) const;
    // The recovery files that a live process other than this one keeps:
    // documents open with unsaved changes in another window.
    std::vector<Entry> KeptElsewhere() const;
    // What to offer when the file at absolutePath is opened, and at
    // start-up with an untitled document: the entries of it, newest first.
    static std::vector<Entry> ForFile(const std::vector<Entry> &entries, const std::string &absolutePath);
    static std::vector<Entry> ForUntitled(const std::vector<Entry> &entries);

private:
    // The whole records in the folder whose slots are wanted, newest first.
    std::vector<Entry> Entries(const std::function<bool(const std::string &slot)> &wanted) const;
    // The folder, for this user only; false with the reason when it is not
    // there to write in or cannot be made private.
    bool MakeFolder(std::string &error) const;

    std::string m_path;
};
