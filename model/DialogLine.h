#pragma once

#include "model/DialogField.h"
#include "speech/SpeechText.h"

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of a dialog file. A page (an NPC line) is a DialogLine held by the
// DialogFile; each of its PC options is a DialogLine held by the page.
//
// A line read from a file reads its texts where they stand in the copy of
// the file that its document keeps, and copies them into strings of its own
// only when one is asked for as a string (GetLabel, GetField, ...) or
// changed; the View members read them without copying. A const getter may
// so make the copy, which threads that read one document at once may race
// to do: the first copy stays. Changing a line is for one thread alone.
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
    // How many comment lines WriteTo writes above the line: its description
    // and each of its remarks.
    int CountCommentLines() const;

    bool IsNpcLine() const { return m_isNpcLine; }
    // The line of the file it was read from, 1-based; 0 for a line made here.
    int GetFileLine() const { return m_fileLine; }
    void SetFileLine(int line) { m_fileLine = line; }

    const std::string &GetLabel() const { return GetField(0).GetText(); }
    void SetLabel(std::string_view text);

    const std::string &GetSpeech() const { return GetField(1).GetText(); }
    void SetSpeech(std::string_view text);
    // Field 2: the NPC's speech to female PCs, or an option's gender check.
    const std::string &GetFemaleSpeech() const { return GetField(2).GetText(); }
    void SetFemaleSpeech(std::string_view text);

    const std::string &GetIntelligenceCheck() const { return GetField(3).GetText(); }
    void SetIntelligenceCheck(std::string_view text);
    const std::string &GetConditions() const { return GetField(4).GetText(); }
    void SetConditions(std::string_view text);
    // SetConditions for a text that holds no brace, such as a page's
    // position, which a save puts there: a line that reads its texts in its
    // document takes a copy of its one line of text with the new field in
    // it, rather than copies of all its texts.
    void SetConditionsInPlace(std::string_view text);
    int GetTargetNumber() const { return DialogField::ToInt(ViewField(5)); }
    void SetTargetNumber(int n);
    const std::string &GetResults() const { return GetField(6).GetText(); }
    void SetResults(std::string_view text);
    const DialogField &GetField(int index) const { return Own().fields[static_cast<size_t>(index)]; }

    DialogLine *GetTarget() const { return m_target; }
    void SetTarget(DialogLine *page);

    int GetNumber() const { return m_number; }
    void SetNumber(int n);

    const std::string &GetDescription() const { return Own().description; }
    void SetDescription(std::string_view text);
    // Free remarks that stood above the line, each followed by one LF.
    const std::string &GetComment() const { return Own().comment; }
    void SetComment(std::string_view text);
    // The line of the file that the remark line at index (0-based, one for
    // each LF of the comment) stood on, as read or last saved; 0 for a
    // line made here and not saved since, or one changed since (its
    // remarks may have).
    int GetRemarkLine(int index) const;

    bool IsSameSpeechForBoth() const { return m_sameSpeechForBoth; }
    void SetSameSpeechForBoth();
    void ClearSameSpeechForBoth();

    bool IsModified() const { return m_modified; }
    void SetModified() { m_modified = true; }
    void ClearModified() { m_modified = false; }

    const SpeechText &GetSpeechCode() const;
    const SpeechText &GetFemaleSpeechCode() const;
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

    // The texts as the getters above give them, without copying the texts of
    // a line read from a file. The views stay valid until the line changes.
    Fields ViewFields() const;
    // Whether this line and other, both as read (their texts where the file
    // put them, their lines nothing but seven fields), hold the same bytes in
    // fields 1 to 6 but field except (4 or 5; -1 for none). Quicker than
    // comparing their fields, which is what to do when it says false: the
    // lines may differ, or one may not be as read.
    bool SameBytesAsRead(const DialogLine &other, int except) const;
    // Field 0, the page's name: found without looking through the line
    // when a "[LABEL]" remark above it gave it.
    std::string_view ViewLabel() const;
    std::string_view ViewDescription() const;
    std::string_view ViewComment() const;
    // The decoded speeches as GetSpeechCode and GetFemaleSpeechCode give them.
    SpeechText CopySpeechCode() const;
    SpeechText CopyFemaleSpeechCode() const;

    int GetOptionCount() const { return m_options ? static_cast<int>(m_options->size()) : 0; }
    DialogLine *GetOption(int index) const { return (*m_options)[static_cast<size_t>(index)].get(); }
    void AddOption(std::unique_ptr<DialogLine> line);
    void InsertOptionAt(int index, std::unique_ptr<DialogLine> line);
    // Unlinks the option and hands it to the caller; marks the page modified.
    std::unique_ptr<DialogLine> RemoveOptionAt(int index);
    // The index of one of the line's options; -1 for any other line.
    int IndexOfOption(const DialogLine *option) const;

private:
    friend class DialogFile;

    // What stood above a line in its file: its name, description and remarks.
    struct Notes {
        std::string_view label;
        std::string_view description;
        std::string_view comment;
        const int *remarkLines = nullptr; // the line of each line of comment
    };
    // A line as read: code is its text, whose seven fields FindFields found,
    // notes (or null) what stood above it. Both must outlive the line or,
    // once the line owns its texts, the change that made it do so.
    DialogLine(std::string_view code, const Fields &fields, const Notes *notes, int fileLine);
    // A line that reads its texts in code and notes; nothing else is set.
    DialogLine(std::string_view code, const Notes *notes);
    // A copy of the line and its options, for a copy of the document that
    // shares what holds its bytes: a line as read reads its texts where this
    // one does, one that owns them owns a copy. Links stay as they are.
    std::unique_ptr<DialogLine> CloneSharing() const;

    // The texts that a line owns: every line made here, and a line read
    // from a file from the first time one of its texts is asked for as a
    // string or changed.
    struct Texts {
        std::array<DialogField, FieldCount> fields;
        std::string description;
        std::string comment;
        SpeechText speech;
        SpeechText femaleSpeech;
    };
    Texts &Own() const;
    // The texts the line owns; null while it reads them from its document.
    Texts *Owned() const { return m_texts.load(std::memory_order_acquire); }
    // Makes the line and its options own their texts, to live on without the
    // document they were read into.
    void OwnAll();
    std::string_view ViewField(int index) const;
    // Field 5 of a line as read whose text is its seven fields and whose
    // speech holds no Request money code (a code that leads to a page by
    // its number), found from the line's end; nothing for any other line,
    // whose fields must be found.
    std::optional<std::string_view> ViewPlainJump() const;
    // The record of speech field 1 (or 2, female) of a line as read, whose
    // fields are fields.
    SpeechText DecodeAsRead(const Fields &fields, bool female) const;
    // Gives back the room that adding options one by one left over.
    void FitOptions();
    void SetField(int index, std::string_view text);
    // Puts generated speech into its canonical code; true when that changed
    // the line, whose fields were fields.
    bool Recode(const Fields &fields);
    // WriteTo, for a line whose fields are *fields when they are known.
    void WriteLine(std::string &out, const Fields *fields);
    // Makes the line read its texts in a copy of code of its own.
    void AdoptCode(std::string_view code);

    std::string_view m_code;
    const Notes *m_notes = nullptr;
    mutable std::atomic<Texts *> m_texts{nullptr}; // owned; set once, by Own or SetContent
    DialogLine *m_target = nullptr;
    int m_number = 0;
    int m_fileLine = 0;
    bool m_modified = true;
    // Its file line is where the last save wrote it, its remarks right above it.
    bool m_savedLayout = false;
    bool m_isNpcLine = false;
    bool m_sameSpeechForBoth = true;
    // As read, its text is its seven fields and nothing else: "{0}{1}...{6}".
    bool m_plainFields = false;
    // m_code is a copy of its own (new[]), not the document's bytes.
    bool m_ownsCode = false;
    // Null while the line has no options, as most lines have none.
    std::unique_ptr<std::vector<std::unique_ptr<DialogLine>>> m_options;
};
