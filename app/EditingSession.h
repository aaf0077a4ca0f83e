#pragma once

#include "model/DialogLine.h"
#include "edits/TextSearch.h"

#include <QObject>
#include <QUndoStack>
#include <memory>
#include <string>
#include <vector>

class DialogFile;
class DialogLine;
class DocumentEdit;

// One editing session: the open document, the page on display and the undo
// stack, and the counters that name new documents and pages. The window,
// its commands and its dialogs all work through it; nothing is program-wide.
class EditingSession : public QObject {
    Q_OBJECT
public:
    explicit EditingSession(QObject *parent = nullptr);
    ~EditingSession() override;

    DialogFile *GetDocument() const { return m_document.get(); }
    // Makes document the open one, with an empty undo stack. A document that
    // was never saved (New, or a file to be created) is modified from the start.
    void SetDocument(std::unique_ptr<DialogFile> document, bool modified);
    void CloseDocument();
    // The first page of a document begun here, before any edit.
    DialogLine *AddFirstPage();

    // The page on display: a page of the document, or null.
    DialogLine *GetCurrentPage() const { return m_currentPage; }
    void SetCurrentPage(DialogLine *page) { m_currentPage = page; }
    // For the Go to dialog, which changes the page on display.
    DialogLine *&CurrentPage() { return m_currentPage; }

    // The document differs from what was last read or saved; undoing back
    // to that state makes it unmodified again.
    bool IsModified() const { return m_document && !m_undoStack.isClean(); }
    void MarkSaved() { m_undoStack.setClean(); }
    // The document differs from any file, whatever the stack holds.
    void MarkUnsaved() { m_undoStack.resetClean(); }

    QUndoStack &GetUndoStack() { return m_undoStack; }
    // Applies edit as one step that Undo takes back, named text in the menu.
    void Push(DocumentEdit edit, const QString &text);

    // The editing commands, each one step. A page and its options are the
    // document's; line is changed by the caller (in a dialog) from before.
    DialogLine *AddPage();
    void AddOption(DialogLine &page, std::unique_ptr<DialogLine> option);
    void DeleteOption(DialogLine &page, int index);
    void MoveOption(DialogLine &page, int from, int to);
    void ChangedLine(DialogLine &page, DialogLine &line, const DialogLine::Content &before, const QString &text);
    void ChangePageInfo(DialogLine &page, const std::string &name, const std::string &description);
    // Pages, by their index in the document. Deleting a page makes the
    // options that led to it end the dialog; a duplicate goes after its
    // page, named "<name> copy".
    void DeletePage(int index);
    DialogLine *DuplicatePage(int index);
    void MovePage(int from, int to);
    // Replaces the texts as one step (see TextSearch::ReplaceAll).
    void ReplaceTexts(const std::vector<TextSearch::Change> &changes);

    // Pages visited, as a browser keeps them: Visit records the page on
    // display (dropping what lay ahead of it), Back and Forward step through
    // them, skipping pages no longer in the document, and return the page
    // to show, or null where there is none.
    void Visit(DialogLine *page);
    DialogLine *Back();
    DialogLine *Forward();

    // "00001Untitled", "00002Untitled", ... and "NewPage0001", ...
    QString NextUntitledName();
    std::string NextPageName();

signals:
    // Another document became the open one, or none is.
    void documentReplaced();
    // An edit was made, taken back or made again: on page alone, or (with
    // pages) on the list of pages or on many of them.
    void changed(DialogLine *page, bool pages);
    // An undo or redo changed page, and the line (an option of it, or the
    // page itself) at index.
    void edited(DialogLine *page, DialogLine *line, int index);

private:
    class EditCommand;

    DialogLine *Step(int by);

    std::unique_ptr<DialogFile> m_document;
    std::vector<DialogLine *> m_history;
    size_t m_historyAt = 0;
    DialogLine *m_currentPage = nullptr;
    QUndoStack m_undoStack;
    int m_untitledCount = 1;
    unsigned m_pageCount = 1;
};
