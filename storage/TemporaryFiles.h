#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The hidden files that a save writes before it puts them in a file's place:
// ".NAME.talkwright-XXXXXX", with NAME the file's name cut short where the
// whole would not fit the folder's limit on a name's length, so that a file
// of any name the system allows can be saved. Their name tells them from any
// other program's, and so lets the stale ones, which a program that was
// killed or crashed left behind, be taken away later.
class TemporaryFiles {
public:
    // An hour: a save under way, however slow, is younger.
    static constexpr std::int64_t StaleAge = 3600; // seconds

    // The longest name the folder takes (255 where the system does not say).
    static long NameMax(const std::string &folder);
    // What every temporary file of the file named name begins with, in a
    // folder that takes names of up to nameMax bytes.
    static std::string Prefix(std::string_view name, long nameMax);
    // The template for mkstemp of a temporary file of name in folder.
    static std::string Template(const std::string &folder, std::string_view name);
    // Whether entry names a temporary file of ours, of any file.
    static bool IsTemporary(std::string_view entry);

    // Removes from folder the temporary files of ours that are stale: this
    // user's regular files named so, last changed more than age seconds ago.
    // Returns how many went.
    static int RemoveStale(const std::string &folder, std::int64_t age = StaleAge);
};
