#pragma once

#include "storage/FileAttributes.h"

#include <string>
#include <string_view>
#include <sys/types.h>

class FileOps;

// Replaces a file as a whole or not at all, and keeps what it was. The new
// content goes to a temporary file (see TemporaryFiles) beside the target;
// only when every byte is written and synced to disk does it take the
// target's place. A target reached through symbolic links is replaced where
// the links point.
//
// A file is replaced only where it may be written, as cp would write it:
// one that may not fails with the system's reason, and nothing changes.
// The new file takes the old one's mode (setuid and setgid bits too),
// owner, group and extended attributes (its access control list, its
// security label), and one rename puts it in place. Where a rename cannot
// keep all of that (the file has other hard links, belongs to another
// user, or has attributes this user may not set) or cannot be made (the
// folder may not be written), the file is written in place instead, as an
// editor does for such files: the new content is first written whole
// beside it (or in the temporary folder, for a folder that may not be
// written), so that a failure to write it leaves the file as it was, and
// then copied into it. Should that copy fail, the failure says so and
// names the file that holds the whole new content.
//
// Only a regular file is replaced: a FIFO or a device is written into, as
// cp would, since putting a regular file in its place would break whatever
// reads it. Destroying an uncommitted AtomicFile removes the temporary file;
// so does a signal that ends dlgtool (see SignalCleanup).
class AtomicFile {
public:
    explicit AtomicFile(FileOps &ops);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool Open(const std::string &path);
    // Opens to replace a file only this user may read (see PrivateFile):
    // the name itself is replaced, never what a link there points to, and
    // only when it names nothing or a regular file of this user's. The new
    // file has mode 0600 whatever the umask.
    bool OpenPrivate(const std::string &path);
    bool Append(std::string_view data);
    bool Commit();

    // The operating system's reason for the last failure.
    const std::string &GetErrorText() const { return m_errorText; }
    // Whether the last failure left the file itself incomplete: the copy
    // into it failed half way. GetErrorText says so.
    bool LeftIncomplete() const { return m_incomplete; }

    // Removes the stale temporary files of ours (see TemporaryFiles) from
    // the folder that a save of path (links followed) writes in; the
    // editor calls it as it saves. Returns how many went.
    static int RemoveStaleTemporaries(const std::string &path);

private:
    enum class Way {
        Rename, // the temporary file takes the target's place
        CopyIn, // the temporary file is copied into the target
        Device, // written into the target straight away
    };

    // Forgets any earlier file, for one at target.
    void Begin(std::string target);
    // The temporary file of the target, in folder; false with errno set.
    bool CreateTemp(const std::string &folder);
    // Writes all of data to fd; false with errno set. wrote, when given,
    // is set once any of it is written.
    bool WriteAll(int fd, std::string_view data, bool *wrote = nullptr);
    bool Rename();
    bool CopyIn();
    bool CopyBytes(bool &touched);
    bool Fail();
    void Discard();

    FileOps &m_ops;
    std::string m_target;
    std::string m_tempPath;
    int m_tempTicket = -1; // what SignalCleanup watches it by
    int m_fd = -1;         // the temporary file, or the device
    int m_targetFd = -1;   // the regular file there, open for writing
    Way m_way = Way::Rename;
    FileAttributes m_attributes; // the old file's; a new file's mode
    bool m_keepAttributes = false; // there is an old file whose attributes the new one takes
    off_t m_size = 0;              // bytes written
    bool m_incomplete = false;
    std::string m_errorText;
};
