#pragma once

#include "storage/DiskStamp.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What a recovery file holds: the bytes a Save of the document would write,
// which file they belong to, what that file was on disk when it was read or
// last saved, and when they were kept.
//
// On disk it is a short text header, then the bytes as they are:
//   Talkwright recovery 1
//   path 22
//   /home/w/quests/inn.dlg
//   untitled 0
//   base 1 4521 1733500000 123456789   (exists, size, modified: seconds, nanoseconds)
//   written 1733500123
//   bytes 4567
//   <4567 bytes>
// The path is counted, so that any name a system allows reads back.
struct RecoveryRecord {
    // The document's file (absolute), or the name of an untitled document.
    std::string path;
    bool untitled = false;
    // The file as it was read or last saved (its size and time of change
    // are kept); not existing for a document that has no file yet.
    DiskStamp base;
    std::int64_t writtenAt = 0; // seconds since the epoch
    std::string bytes;
    // How many of the bytes a file cut short lacks at its end; 0 in a whole one.
    std::size_t missing = 0;

    // Everything up to the bytes: the file is this, then the bytes.
    std::string Header() const;
    // False for text that is not a recovery file: no whole header, or more
    // after the bytes. A file cut short in its bytes reads as far as it goes.
    static bool Parse(std::string_view text, RecoveryRecord &record);

    // Whether the file on disk now differs from the one the changes were
    // made to: another size or time of change, or there or gone since.
    bool BaseChanged(const DiskStamp &now) const;
};
