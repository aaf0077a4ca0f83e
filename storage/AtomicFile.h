#pragma once

#include <string>
#include <string_view>

class FileOps;

// Replaces a file as a whole or not at all. The new content goes to a
// temporary file beside the target; only when every byte is written and
// synced to disk does one rename put it in the target's place. A target
// reached through symbolic links is replaced where the links point.
// Only a regular file is replaced: a FIFO or a device is written into, as
// cp would, since putting a regular file in its place would break whatever
// reads it. Destroying an uncommitted AtomicFile removes the temporary file.
class AtomicFile {
public:
    explicit AtomicFile(FileOps &ops);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool Open(const std::string &path);
    bool Append(std::string_view data);
    bool Commit();

    // The operating system's reason for the last failure.
    const std::string &GetErrorText() const { return m_errorText; }

private:
    bool Fail();
    void Discard();

    FileOps &m_ops;
    std::string m_target;
    std::string m_tempPath;
    int m_fd = -1;
    bool m_inPlace = false; // writing into a FIFO or a device
    unsigned m_mode = 0;
    bool m_hasOwner = false;
    unsigned m_uid = 0;
    unsigned m_gid = 0;
    std::string m_errorText;
};
