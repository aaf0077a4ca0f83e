#pragma once

#include "DialogField.h"
#include "speech/SpeechText.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One line of a dialog file. A page (an NPC line) is a DialogLine held by the
// DialogFile; each of its PC options is a DialogLine held by the page.
class DialogLine {
public:
    static constexpr int FieldCount = 7;

    DialogLine();
    virtual ~DialogLine();
    DialogLine(const DialogLine &) = delete;
    DialogLine &operator=(const DialogLine &) = delete;

    using Fields = std::array<std::string_view, FieldCount>;

    // Fills the line from one line of a file (its comment already cut off).
    // False when the text does not hold seven brace-delimited fields.
    bool Parse(std::string_view text);
    // Finds the seven fields of a line: each is the text after the next "{"
    // up to the first "}" after it. The views point into text.
    static bool FindFields(std::string_view text, Fields &fields);
    // Fills the line from the fields that FindFields found.
    void Parse(const Fields &fields);

    // Appends the line's comments and its field line, with CR LF line ends,
    // re-encoding generated speech first; clears the modified mark.
    bool WriteTo(std::string &out);

    bool IsNpcLine() const { return m_isNpcLine; }
    // The line of the file it was read from, 1-based; 0 for a line made here.
    int GetFileLine() const { return m_fileLine; }
    void SetFileLine(int line) { m_fileLine = line; }

    const std::string &GetLabel() const { return m_fields[0].GetText(); }
    void SetLabel(std::string_view text);

    const std::string &GetSpeech() const { return m_fields[1].GetText(); }
    void SetSpeech(std::string_view text);
    // Field 2: the NPC's speech to female PCs, or an option's gender check.
    const std::string &GetFemaleSpeech() const { return m_fields[2].GetText(); }
    void SetFemaleSpeech(std::string_view text);

    const std::string &GetIntelligenceCheck() const { return m_fields[3].GetText(); }
    void SetIntelligenceCheck(std::string_view text);
    const std::string &GetConditions() const { return m_fields[4].GetText(); }
    void SetConditions(std::string_view text);
    int GetTargetNumber() const { return m_fields[5].GetInt(); }
    void SetTargetNumber(int n);
    const std::string &GetResults() const { return m_fields[6].GetText(); }
    void SetResults(std::string_view text);
    const DialogField &GetField(int index) const { return m_fields[static_cast<size_t>(index)]; }

    DialogLine *GetTarget() const { return m_target; }
    void SetTarget(DialogLine *page);

    int GetNumber() const { return m_number; }
    void SetNumber(int n);

    const std::string &GetDescription() const { return m_description; }
    void SetDescription(std::string_view text);
    // Free remarks that stood above the line, each followed by one LF.
    const std::string &GetComment() const { return m_comment; }
    void SetComment(std::string_view text);

    bool IsSameSpeechForBoth() const { return m_sameSpeechForBoth; }
    void SetSameSpeechForBoth();
    void ClearSameSpeechForBoth();

    bool IsModified() const { return m_modified; }
    void SetModified() { m_modified = true; }
    void ClearModified() { m_modified = false; }

    const SpeechText &GetSpeechCode() const { return m_speech; }
    const SpeechText &GetFemaleSpeechCode() const { return m_femaleSpeech; }
    // The page that a Request money speech leads to when the PC pays (null:
    // the dialog ends). The writer puts its number into the code.
    void SetSpeechPage(const DialogLine *page);
    void SetFemaleSpeechPage(const DialogLine *page);

    // Everything an edit of the line can change: its seven fields, comments,
    // target, decoded speeches and same-speech flag.
    struct Content {
        std::array<DialogField, FieldCount> fields;
        std::string description;
        std::string comment;
        SpeechText speech;
        SpeechText femaleSpeech;
        DialogLine *target = nullptr;
        bool sameSpeechForBoth = true;
    };
    Content GetContent() const;
    // Puts content back as it was taken; marks the line modified.
    void SetContent(const Content &content);

    // A copy of the line with copies of its options, as made here (file line
    // 0); links to pages stay as they are.
    std::unique_ptr<DialogLine> Clone() const;

    int GetOptionCount() const { return static_cast<int>(m_options.size()); }
    DialogLine *GetOption(int index) const { return m_options[static_cast<size_t>(index)].get(); }
    void AddOption(std::unique_ptr<DialogLine> line);
    void InsertOptionAt(int index, std::unique_ptr<DialogLine> line);
    // Unlinks the option and hands it to the caller; marks the page modified.
    std::unique_ptr<DialogLine> RemoveOptionAt(int index);
    // The index of one of the line's options; -1 for any other line.
    int IndexOfOption(const DialogLine *option) const;

private:
    void SetField(int index, std::string_view text);

    std::string m_comment;
    std::string m_description;
    SpeechText m_speech;
    SpeechText m_femaleSpeech;
    int m_number = 0;
    int m_fileLine = 0;
    DialogLine *m_target = nullptr;
    std::vector<std::unique_ptr<DialogLine>> m_options;
    bool m_modified = true;
    bool m_isNpcLine = false;
    bool m_sameSpeechForBoth = true;
    std::array<DialogField, FieldCount> m_fields;
};
