#pragma once

#include "edits/DocumentEdit.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class DialogFile;
class DialogLine;

// Lines copied out of a document, as the clipboard carries them: PC options
// of one page, or pages with their options.
//
// Their text is the lines as Save writes them in their document, numbered
// as Save numbers them there, each with its description and remarks (and a
// page with its "// [LABEL]" line): a text editor shows them as the file
// would hold them, and the reader reads them back. A jump from one of the
// lines to another stays a jump between the lines pasted. A jump out of the
// lines goes, in the data that passes between Talkwright windows, with the
// name of the page it leads to: a paste leads it to the page of that name
// in the document it goes into, or, where there is none (or only the text
// came), ends the dialog there.
class CopiedLines {
public:
    // The options at rows (ascending) of the page at index page of file.
    static CopiedLines OfOptions(const DialogFile &file, int page, const std::vector<int> &rows);
    // The pages at indexes (ascending) of file, each with its options.
    static CopiedLines OfPages(const DialogFile &file, const std::vector<int> &indexes);

    // The lines as Save writes them, with CR LF line ends: the text.
    const std::string &GetText() const { return m_text; }
    // The text, after the names of the pages that jumps out of it lead to.
    std::string GetData() const;

    // Reads text, from this program or another, or data from this program,
    // into lines to paste. False, with the reason, when it holds no dialog
    // line, anything that a paste would drop (the reader's reason for the
    // first), or PC options before a page: nothing is pasted in part.
    bool ReadText(std::string_view text, std::string &reason);
    bool ReadData(std::string_view data, std::string &reason);

    // The lines read are pages, or else options; how many.
    bool HoldsPages() const { return m_holdsPages; }
    int GetCount() const { return static_cast<int>(m_lines.size()); }

    // The lines read, given to one edit that puts them into file: options at
    // index of page (a page of file), or pages at index, each page whose name
    // file has renamed as Duplicate names a copy. cut is how many lines had
    // a jump that leads to no page now. Each paste reads the lines again.
    DocumentEdit PasteOptions(const DialogFile &file, DialogLine &page, int index, int &cut);
    DocumentEdit PastePages(DialogFile &file, int index, int &cut);

private:
    bool Read(std::string_view text, std::string &reason);
    // Leads each jump out of the lines to its page in file, or to none;
    // returns how many lines lead to none now.
    int Relink(const DialogFile &file);

    std::string m_text;
    // The number of each page that a jump out of the lines leads to, and its name.
    std::vector<std::pair<int, std::string>> m_names;
    std::vector<std::unique_ptr<DialogLine>> m_lines; // read, to paste
    bool m_holdsPages = false;
};
