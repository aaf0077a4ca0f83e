#pragma once

#include "model/DroppedLine.h"

#include <functional>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

class DialogLine;
class FileOps;

// One .dlg document: its file name, whether that name is made up, and its
// pages in file order. The document owns its pages; each page owns its options.
// It keeps a copy of the bytes it read, where the lines read from them read
// their texts until they are changed; a line taken out of the document
// (RemovePageAt, DialogLine::RemoveOptionAt) owns its texts.
class DialogFile {
public:
    DialogFile();
    virtual ~DialogFile();
    DialogFile(const DialogFile &) = delete;
    DialogFile &operator=(const DialogFile &) = delete;

    // Fills the empty document from the file at path. False when the file
    // cannot be read, its first dialog line is a PC option, or it holds
    // something but no page (it is no dialog file); GetErrorText then says why.
    bool Read(const std::string &path);
    // Fills the empty document from the bytes of a file, as Read does.
    bool ReadText(std::string_view text);
    // Fills the empty document from dialog lines that may begin with PC
    // options, as a part of a file does: those go to a first page made to
    // hold them, which is no NPC line (IsNpcLine is false) and has no
    // number. Bytes that hold no dialog line give no page and no error;
    // what the read dropped says what they held.
    bool ReadLines(std::string_view text);
    // Renumbers the document and replaces its file as a whole; each line's
    // file line is then the one it was written on. False when the file could
    // not be written; the old file, and every file line, are then left as
    // they were.
    bool Write();
    bool Write(FileOps &ops);
    // Renumbers the document and hands its bytes, as Write would store them,
    // to sink in pieces; stops and returns false when sink does.
    bool WriteBytes(const std::function<bool(std::string_view)> &sink);
    // The same bytes, whole.
    std::string WriteText();
    // Appends page and its options as Write does, page being the page at
    // position (1-based) of its file: its "// [LABEL]" line, its line, its
    // options' lines and an empty line, each with its comments above it.
    // Numbers are the lines' own: Write renumbers first.
    static void WritePageBlock(DialogLine &page, size_t position, std::string &out);
    // The bytes of the file at path; false with the system's reason when it
    // cannot be read.
    static bool ReadFileBytes(const std::string &path, std::string &bytes, std::string &error);
    // The bytes of an open file (standard input, say) to its end, as
    // ReadFileBytes reads them. A character device is refused unread, since
    // it may never end (/dev/zero), and so is more than memory can hold.
    static bool ReadStreamBytes(int fd, std::string &bytes, std::string &error);

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    DialogLine *GetPage(int index) const;
    // The first page whose number is n; options are never returned.
    DialogLine *FindPageByNumber(int n) const;
    // Appends an empty page named label.
    DialogLine *NewPage(std::string_view label = {});
    // Puts a page at index (0 to the page count), or takes it out and hands
    // it to the caller.
    DialogLine *InsertPage(int index, std::unique_ptr<DialogLine> page);
    std::unique_ptr<DialogLine> RemovePageAt(int index);
    // Puts the pages in the order given, each a page of the document or one
    // of added, which the document takes; the pages that order leaves out
    // are handed back, in their order, owning their texts as RemovePageAt's
    // do. Pages that only move keep reading their texts where they were read.
    std::vector<std::unique_ptr<DialogLine>> SetPageOrder(const std::vector<DialogLine *> &order,
                                                          std::vector<std::unique_ptr<DialogLine>> added);
    // The index of a page of this document; -1 for any other line.
    int IndexOf(const DialogLine *page) const;
    // How many pages are named label.
    int CountPagesNamed(std::string_view label) const;
    // "<name> copy", or "<name> copy 2", 3, ... when a page has that name,
    // or it is one of taken.
    std::string MakeCopyName(std::string_view name, const std::vector<std::string> &taken = {}) const;
    // The options that lead to page, in file order, each with its page.
    struct Link {
        DialogLine *page;
        DialogLine *option;
    };
    std::vector<Link> FindLinksTo(const DialogLine *page) const;
    void Renumber();
    // The numbers Renumber gives the pages, in page order, leaving them as they are.
    std::vector<int> GetRenumberedPageNumbers() const;
    // The file line Write would put each line on, in document order: a page,
    // then its options, then the next page.
    std::vector<int> GetSavedFileLines() const;
    bool IsModified() const;
    // A copy to read elsewhere (on another thread) while this one is edited:
    // its pages and options as they stand, with their file lines, links to
    // its own pages, and what the read dropped. A link to a page outside the
    // document is cut, as a save would write it.
    std::unique_ptr<DialogFile> Copy() const;

    const std::string &GetFileName() const { return m_fileName; }
    void SetFileName(std::string_view name) { m_fileName = name; }
    bool IsUntitled() const { return m_untitled; }
    void SetUntitled() { m_untitled = true; }
    void ClearUntitled() { m_untitled = false; }

    // Why the last Read or Write failed: the operating system's error text,
    // or what in the file made it unreadable.
    const std::string &GetErrorText() const { return m_errorText; }
    // Whether the last Write failed after it began to change the file, which
    // it does only for a file it writes in place (see AtomicFile): the file
    // on disk is then incomplete, as GetErrorText says.
    bool LeftFileIncomplete() const { return m_fileIncomplete; }
    // The line of the file where reading stopped (a PC option before any page).
    int GetErrorLine() const { return m_errorLine; }
    // What the last Read could not take into the document, by line: a save
    // would not write it back.
    const std::vector<DroppedLine> &GetDroppedLines() const { return m_droppedLines; }

private:
    // Reads the file at path into the store; false with the reason in m_errorText.
    bool ReadIntoStore(const std::string &path, std::string_view &bytes);
    bool ReadIntoStore(int fd, std::string_view &bytes);
    // A copy of bytes in the store.
    std::string_view Keep(std::string_view bytes);
    // A copy of line numbers in the store; null for none.
    const int *KeepLines(const std::vector<int> &lines);
    // Fills the empty document from bytes that the store holds; with
    // looseOptions, as ReadLines does.
    bool Parse(std::string_view bytes, bool looseOptions = false);
    void ResolveReferences();
    void MarkAllModified();
    // Each line's file line becomes the one a save just wrote it on.
    void TakeSavedFileLines();

    // The bytes read, and what reading made of them for the lines (the
    // names, descriptions and remarks above them): the lines read refer to
    // them, so they come first and go last. A copy of the document shares
    // them; nothing is added to them once read.
    std::shared_ptr<std::pmr::monotonic_buffer_resource> m_store = std::make_shared<std::pmr::monotonic_buffer_resource>();
    bool m_untitled = false;
    std::string m_fileName;
    std::vector<std::unique_ptr<DialogLine>> m_pages;
    std::string m_errorText;
    bool m_fileIncomplete = false;
    int m_errorLine = 0;
    std::vector<DroppedLine> m_droppedLines;
};
