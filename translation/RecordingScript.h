#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class DialogFile;

// The script a voice director records from: one row for every line a voice
// says, in file order, with what the actor needs to say it and the name
// of the audio file to say it into. Generated speech is listed by its
// kind, "[Rumour]": the game builds its words, and an actor may record its
// stock lines once.
class RecordingScript {
public:
    // Texts in UTF-8.
    struct Row {
        // The file's name, the file line and, for the two speeches of a
        // page that speaks to male and female PCs differently, "m" or "f":
        // "tavern-3", "tavern-7m".
        std::string id;
        std::string speaker;  // the NPC (named by its file), "PC", "male PC" or "female PC"
        std::string spokenTo; // "any PC", "a male PC", "a female PC", or the NPC
        std::string text;
        long long words = 0; // none for generated speech
        // For the NPC, the PC's speech that leads to the page; for the PC,
        // the NPC's speech it answers.
        std::string before;
        std::string page;        // the page's name
        std::string description; // the line's
        std::string audio;       // the id, ".wav"
    };

    // The name of the NPC of the file at path, which names its rows: its
    // name without folder and extension; "stdin" for "-".
    static std::string NameOf(std::string_view path);

    // Adds the rows of file, read from path. False, adding nothing, when
    // its rows would take ids that rows have already, or a line has no
    // line of the file to be named by (made since the file was read; a
    // document read back from its saved bytes has one for each): error
    // says why.
    bool Add(const DialogFile &file, std::string_view path, std::string &error);
    const std::vector<Row> &GetRows() const { return m_rows; }
    // The rows under a header row as CSV (RFC 4180: CR LF line ends, fields
    // that hold a comma, a quote or a line break quoted, quotes doubled),
    // in UTF-8 after a byte order mark, by which spreadsheets know it.
    std::string ToCsv() const;

private:
    std::vector<Row> m_rows;
    std::unordered_set<std::string> m_names;
};
