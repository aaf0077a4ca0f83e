#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

class DialogFile;

// The script a voice director records from: one row for every line a voice
// says, in file order, with what the actor needs to say it and the name of
// the audio file to say it into, as CSV (RFC 4180: CR LF line ends, fields
// that hold a comma, a quote or a line break quoted, quotes doubled) in
// UTF-8 after a byte order mark, by which spreadsheets know it. Its
// columns, named in a header row:
// - id: the file's name, the file line and, for the two speeches of a page
//   that speaks to male and female PCs differently, "m" or "f":
//   "tavern-3", "tavern-7m";
// - speaker: the NPC (named by its file), "PC", "male PC" or "female PC";
// - spoken to: "any PC", "a male PC", "a female PC", or the NPC;
// - text: generated speech by its kind, "[Rumour]", since the game builds
//   its words and an actor may record its stock lines once;
// - words: none for generated speech;
// - line before: for the NPC, the first PC speech that leads to the page
//   (and how many more do); for the PC, the NPC speech it answers;
// - page: the page's name; description: the line's;
// - audio file: the id, ".wav".
class RecordingScript {
public:
    RecordingScript();

    // The name of the NPC of the file at path, which names its rows: its
    // name without folder and extension; "stdin" for "-".
    static std::string NameOf(std::string_view path);

    // Adds the rows of file, read from path. False, adding nothing, when
    // its rows would take ids that rows have already, or a line has no
    // line of the file to be named by (made since the file was read; a
    // document read back from its saved bytes has one for each): error
    // says why.
    bool Add(const DialogFile &file, std::string_view path, std::string &error);
    size_t GetRowCount() const { return m_rows; }
    // The header row and the rows.
    const std::string &GetCsv() const { return m_csv; }

private:
    std::string m_csv;
    size_t m_rows = 0;
    std::unordered_set<std::string> m_names;
};
