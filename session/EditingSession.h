#pragma once

#include "model/DialogLine.h"
#include "model/DroppedLine.h"
#include "storage/DiskStamp.h"
#include "edits/TextSearch.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <memory>
#include <string>
#include <vector>

class DialogFile;
class DialogLine;
class DocumentEdit;

// The open document and everything about it: the DialogFile, the name the
// window shows for it and what its file was on disk, what a save would drop,
// the undo stack and its clean state, the page on display and the option
// selected there, and the pages visited. It tells of every change, by a
// push, an undo or a redo alike, so that whoever shows the document follows
// it by listening; nothing is program-wide.
class EditingSession : public QObject {
    Q_OBJECT
public:
    explicit EditingSession(QObject *parent = nullptr);
    ~EditingSession() override;

    DialogFile *GetDocument() const { return m_document.get(); }
    // Makes document the open one, with an empty undo stack and nothing
    // visited. A document that was never saved (New, or a file to be
    // created) is modified from the start.
    void SetDocument(std::unique_ptr<DialogFile> document, bool modified);
    void CloseDocument();
    // The first page of a document begun here, before any edit; it is shown.
    DialogLine *AddFirstPage();

    // The name that the title and messages show for the document, and the
    // file's name as the system spells it.
    const QString &GetDisplayName() const { return m_displayName; }
    void SetDocumentName(const std::string &path, const QString &displayName);
    // What the file was on disk when it was read or last saved.
    const DiskStamp &GetDiskStamp() const { return m_diskStamp; }
    void SetDiskStamp(const DiskStamp &stamp) { m_diskStamp = stamp; }
    // What reading the file could not keep, until a save has dropped it.
    const std::vector<DroppedLine> &GetUnsavedDrops() const { return m_unsavedDrops; }
    void SetUnsavedDrops(std::vector<DroppedLine> drops) { m_unsavedDrops = std::move(drops); }
    // What reading the file had to say, to be said once it is on the screen.
    QString TakeLoadNote() { return std::exchange(m_loadNote, QString()); }
    bool HasLoadNote() const { return !m_loadNote.isEmpty(); }
    void SetLoadNote(const QString &note) { m_loadNote = note; }

    // The page on display: a page of the document, or null. Showing a page
    // visits it and selects its first option.
    DialogLine *GetCurrentPage() const { return m_currentPage; }
    void SetCurrentPage(DialogLine *page);
    // Shows page with line selected when it is one of its options (the
    // first option otherwise); a page no longer in the document gives way
    // to the page visited before it.
    void ShowLine(DialogLine *page, const DialogLine *line);
    // Shows the page on display again, as it now stands.
    void Redisplay();
    // The row of the option selected on the page on display; -1 for none.
    int GetSelectedOption() const { return m_selectedOption; }
    DialogLine *GetSelectedLine() const;
    void SetSelectedOption(int row);
    // For the Go to dialog, which changes the page on display; Redisplay after.
    DialogLine *&CurrentPage() { return m_currentPage; }

    // The document differs from what was last read or saved; undoing back
    // to that state makes it unmodified again.
    bool IsModified() const { return m_document && !m_undoStack.isClean(); }
    void MarkSaved() { m_undoStack.setClean(); }
    // The document differs from any file, whatever the stack holds.
    void MarkUnsaved();

    QUndoStack &GetUndoStack() { return m_undoStack; }
    // Applies edit as one step that Undo takes back, named text in the menu.
    // Doing it, taking it back and making it again each show the page it
    // changed, with the option it touched selected.
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

    // Pages visited, as a browser keeps them: showing a page records it
    // (dropping what lay ahead of it); Back and Forward show the page
    // before or after, skipping pages no longer in the document, and say
    // whether there was one.
    bool Back();
    bool Forward();
    // The page visited before the one on display, or null, without going there.
    DialogLine *PageBefore();

    // "00001Untitled", "00002Untitled", ... and "NewPage0001", ...
    QString NextUntitledName();
    std::string NextPageName();

signals:
    // Another document became the open one, or none is.
    void documentReplaced();
    // An edit was made, taken back or made again: on page alone, or (with
    // pages) on the list of pages or on many of them.
    void changed(DialogLine *page, bool pages);
    // The page on display is another, or is to be shown again.
    void currentPageChanged(DialogLine *page);
    // Another option (a row, -1 for none) is selected on the page on display.
    void selectedOptionChanged(int row);
    // The document has another name.
    void nameChanged();
    // The document became modified, or unmodified.
    void modifiedChanged(bool modified);

private:
    class EditCommand;

    // After an edit on page, touching line (or the option at index): shows it.
    void ShowEdited(DialogLine *page, const DialogLine *line, int index);
    DialogLine *Step(int by);
    void Visit(DialogLine *page);
    void Reset();

    std::unique_ptr<DialogFile> m_document;
    QString m_displayName;
    DiskStamp m_diskStamp;
    std::vector<DroppedLine> m_unsavedDrops;
    QString m_loadNote;
    std::vector<DialogLine *> m_history;
    size_t m_historyAt = 0;
    DialogLine *m_currentPage = nullptr;
    int m_selectedOption = -1;
    QUndoStack m_undoStack;
    bool m_modified = false; // as last told
    int m_untitledCount = 1;
    unsigned m_pageCount = 1;
};
