#pragma once

#include "model/DialogLine.h"

#include <memory>
#include <vector>

class DialogFile;

// One change of a document that can be taken back exactly and made again.
// A line it takes out of the document stays alive in the edit, so that its
// file line number and every link to it come back as they were. An edit is
// made unapplied; Apply and Revert then alternate, Apply first.
class DocumentEdit {
public:
    enum Kind { AddOption, DeleteOption, MoveOption, AddPage, ChangeLine, DeletePage, MovePage, ChangeLines, Group };

    // A line of the document that goes from before to after.
    struct LineChange {
        DialogLine *line;
        DialogLine::Content before;
        DialogLine::Content after;
    };

    static DocumentEdit AddingOption(DialogLine &page, int index, std::unique_ptr<DialogLine> option);
    static DocumentEdit DeletingOption(DialogLine &page, int index);
    static DocumentEdit MovingOption(DialogLine &page, int from, int to);
    static DocumentEdit AddingPage(DialogFile &file, int index, std::unique_ptr<DialogLine> page);
    // Takes the page out; every option that led to it, and every Request
    // money speech that named it, ends the dialog instead until Revert.
    static DocumentEdit DeletingPage(DialogFile &file, int index);
    static DocumentEdit MovingPage(DialogFile &file, int from, int to);
    // The line goes from before to after; page is the page it shows on.
    static DocumentEdit ChangingLine(DialogLine &page, DialogLine &line, DialogLine::Content before, DialogLine::Content after);
    // Many lines at once, as one edit; page is the page of the first.
    static DocumentEdit ChangingLines(DialogLine &page, std::vector<LineChange> changes);
    // Several options or pages as one edit: each of these is a group of the
    // edits of one line, made one after another and taken back the other
    // way round. Rows and indexes are ascending; options go in at index and
    // on, pages at index and on, and rows move by one place up (by -1) or down.
    static DocumentEdit AddingOptions(DialogLine &page, int index, std::vector<std::unique_ptr<DialogLine>> options);
    static DocumentEdit DeletingOptions(DialogLine &page, const std::vector<int> &rows);
    static DocumentEdit MovingOptions(DialogLine &page, const std::vector<int> &rows, int by);
    static DocumentEdit AddingPages(DialogFile &file, int index, std::vector<std::unique_ptr<DialogLine>> pages);

    void Apply();
    void Revert();

    Kind GetKind() const { return m_kind; }
    // The page the edit works on, and the line it touches there: an option,
    // or the page itself. The index is the option's place on the page
    // (after the edit, for a move); 0 for an edit of pages.
    DialogLine *GetPage() const { return m_page; }
    DialogLine *GetLine() const { return m_line; }
    int GetIndex() const;
    // The lines that DeletePage changed because they led to the page, or
    // that ChangeLines changes.
    const std::vector<LineChange> &GetLineChanges() const { return m_changes; }
    // The lines it touches: those of each edit of a group, or its line.
    std::vector<const DialogLine *> GetLines() const;
    // It changes the list of pages, or lines on many pages.
    bool ChangesPages() const;

private:
    DocumentEdit(Kind kind, DialogLine *page, DialogLine *line) : m_kind(kind), m_page(page), m_line(line) {}
    // The edits as one; there is at least one.
    static DocumentEdit Grouping(std::vector<DocumentEdit> edits);

    Kind m_kind;
    DialogLine *m_page;
    DialogLine *m_line;
    DialogFile *m_file = nullptr;
    int m_index = 0;
    int m_to = 0;
    std::unique_ptr<DialogLine> m_held; // the line while it is out of the document
    DialogLine::Content m_before;
    DialogLine::Content m_after;
    std::vector<LineChange> m_changes;
    std::vector<DocumentEdit> m_group; // in the order they are made
};
