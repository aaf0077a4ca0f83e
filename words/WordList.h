#pragma once

#include <string>
#include <string_view>
#include <vector>

// A word list: a plain text file in UTF-8, one word a line, of words that
// spelling takes as right. A project keeps "talkwright-words.txt" beside its
// dialog files or in a folder above them; each user may keep one of the
// same form in the data folder. Words go in and come out as dialog-file
// bytes (Windows-1252).
class WordList {
public:
    static constexpr const char *kFileName = "talkwright-words.txt";

    // The words of the list at path, in order. Blanks around a word and blank
    // lines are skipped, and so is a byte-order mark; so is a line that is
    // not UTF-8 or holds a character Windows-1252 lacks, since no dialog
    // file holds that word. False with the system's reason when the file
    // cannot be read.
    static bool Read(const std::string &path, std::vector<std::string> &words, std::string &error);
    // Adds word as a line of its own at the end of the list at path, making
    // the list when there is none; nothing when the list has it already.
    // The file is replaced as a whole, as a save replaces a dialog file.
    static bool Add(const std::string &path, std::string_view word, std::string &error);

    // The project lists for the dialog file at path, nearest first: the one
    // beside it and one in each folder above it, up to and with the first
    // folder that holds ".git" or is home, or the root. A path of "-"
    // (standard input) looks from the working folder; an empty path (an
    // untitled document) has none.
    static std::vector<std::string> ProjectLists(const std::string &dialogPath, const std::string &home);
    // Where "Add to word list" puts a word for the dialog file at path: the
    // nearest project list, or a new one beside the file; for an untitled
    // document (an empty path), which has no folder, the personal list
    // (empty without a data folder).
    static std::string NearestList(const std::string &dialogPath, const std::string &home, const std::string &dataFolder);
    // The personal list in the user's data folder; empty without one.
    static std::string PersonalList(const std::string &dataFolder);
    // Every list that applies to the dialog file at path, personal first,
    // those that exist.
    static std::vector<std::string> ListsFor(const std::string &dialogPath, const std::string &home, const std::string &dataFolder);

    // Where the editor keeps its data on this system, as the environment
    // says: $XDG_DATA_HOME (or ~/.local/share), then "Talkwright/talkwright".
    static std::string DataFolder();
    // $HOME; empty when it is not set.
    static std::string Home();
};
