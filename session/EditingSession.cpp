#include "session/EditingSession.h"

#include "edits/DocumentEdit.h"
#include "model/DialogFile.h"

#include <QUndoCommand>
#include <algorithm>
#include <cstdio>

// One step of the undo stack: a document edit and its name. Doing it,
// undoing it and doing it again tell the session's listeners what changed
// and show the page it changed.
class EditingSession::EditCommand : public QUndoCommand {
public:
    EditCommand(EditingSession &session, DocumentEdit edit, const QString &text)
        : QUndoCommand(text)
        , m_session(session)
        , m_edit(std::move(edit))
    {
    }

    void redo() override
    {
        m_edit.Apply();
        Tell();
    }
    void undo() override
    {
        m_edit.Revert();
        Tell();
    }

private:
    void Tell()
    {
        emit m_session.changed(m_edit.GetPage(), m_edit.ChangesPages());
        m_session.ShowEdited(m_edit.GetPage(), m_edit.GetLines(), m_edit.GetIndex());
    }

    EditingSession &m_session;
    DocumentEdit m_edit;
};

EditingSession::EditingSession(QObject *parent)
    : QObject(parent)
{
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, [this] {
        if (IsModified() != m_modified)
            emit modifiedChanged(m_modified = IsModified());
    });
}

// The stack's commands hold lines out of the document: they go first.
EditingSession::~EditingSession()
{
    m_undoStack.disconnect(this);
    m_undoStack.clear();
}

void EditingSession::Reset()
{
    m_undoStack.clear();
    m_history.clear();
    m_historyAt = 0;
    m_currentPage = nullptr;
    m_selectedOption = -1;
    m_selectedRows.clear();
}

void EditingSession::SetDocument(std::unique_ptr<DialogFile> document, bool modified)
{
    Reset();
    m_document = std::move(document);
    if (modified)
        m_undoStack.resetClean();
    else
        m_undoStack.setClean();
    if (IsModified() != m_modified)
        emit modifiedChanged(m_modified = IsModified());
    emit documentReplaced();
}

void EditingSession::CloseDocument()
{
    Reset();
    m_document.reset();
    m_displayName.clear();
    m_diskStamp = {};
    m_unsavedDrops.clear();
    m_loadNote.clear();
    if (m_modified)
        emit modifiedChanged(m_modified = false);
    emit documentReplaced();
}

void EditingSession::MarkSaved()
{
    m_undoStack.setClean();
    emit saved();
}

void EditingSession::MarkUnsaved()
{
    m_undoStack.resetClean();
    if (IsModified() != m_modified)
        emit modifiedChanged(m_modified = IsModified());
}

void EditingSession::SetDocumentName(const std::string &path, const QString &displayName)
{
    m_document->SetFileName(path);
    m_displayName = displayName;
    emit nameChanged();
}

DialogLine *EditingSession::AddFirstPage()
{
    DialogLine *page = m_document->NewPage(NextPageName());
    emit documentReplaced();
    SetCurrentPage(page);
    return page;
}

void EditingSession::SetCurrentPage(DialogLine *page)
{
    m_currentPage = page;
    Visit(page);
    m_selectedOption = page && page->GetOptionCount() > 0 ? 0 : -1;
    m_selectedRows.assign(m_selectedOption >= 0 ? 1 : 0, 0);
    emit currentPageChanged(page);
    emit selectedOptionChanged(m_selectedOption);
}

void EditingSession::Redisplay()
{
    SetCurrentPage(m_currentPage);
}

void EditingSession::ShowLine(DialogLine *page, const DialogLine *line)
{
    ShowEdited(page, {line}, -1);
}

void EditingSession::ShowEdited(DialogLine *page, const std::vector<const DialogLine *> &lines, int index)
{
    if (!m_document)
        return;
    // A page taken out again gives way to the page visited before it.
    if (!page || m_document->IndexOf(page) < 0) {
        DialogLine *before = PageBefore();
        SetCurrentPage(before ? before : m_document->GetPage(0));
        return;
    }
    SetCurrentPage(page);
    std::vector<int> rows;
    for (const DialogLine *line : lines) {
        if (const int option = page->IndexOfOption(line); option >= 0)
            rows.push_back(option);
    }
    if (!rows.empty()) {
        std::sort(rows.begin(), rows.end());
        SetSelectedOptions(std::move(rows), -1);
        return;
    }
    if (const int row = std::min(index, page->GetOptionCount() - 1); row >= 0)
        SetSelectedOption(row);
}

DialogLine *EditingSession::GetSelectedLine() const
{
    return m_currentPage && m_selectedOption >= 0 && m_selectedOption < m_currentPage->GetOptionCount()
        ? m_currentPage->GetOption(m_selectedOption)
        : nullptr;
}

void EditingSession::SetSelectedOption(int row)
{
    SetSelectedOptions(row >= 0 ? std::vector<int>{row} : std::vector<int>(), row);
}

void EditingSession::SetSelectedOptions(std::vector<int> rows, int current)
{
    if (std::find(rows.begin(), rows.end(), current) == rows.end())
        current = rows.empty() ? -1 : rows.front();
    if (rows == m_selectedRows && current == m_selectedOption)
        return;
    m_selectedRows = std::move(rows);
    m_selectedOption = current;
    emit selectedOptionChanged(current);
}

void EditingSession::Push(DocumentEdit edit, const QString &text)
{
    m_undoStack.push(new EditCommand(*this, std::move(edit), text));
}

void EditingSession::Visit(DialogLine *page)
{
    if (!page || (!m_history.empty() && m_history[m_historyAt] == page))
        return;
    if (!m_history.empty())
        m_history.resize(m_historyAt + 1);
    m_history.push_back(page);
    m_historyAt = m_history.size() - 1;
}

bool EditingSession::Back()
{
    DialogLine *page = Step(-1);
    if (page)
        SetCurrentPage(page);
    return page;
}

bool EditingSession::Forward()
{
    DialogLine *page = Step(1);
    if (page)
        SetCurrentPage(page);
    return page;
}

DialogLine *EditingSession::PageBefore()
{
    return Step(-1);
}

DialogLine *EditingSession::Step(int by)
{
    for (size_t at = m_historyAt; m_document && !m_history.empty();) {
        if ((by < 0 && at == 0) || (by > 0 && at + 1 >= m_history.size()))
            return nullptr;
        at = by < 0 ? at - 1 : at + 1;
        if (m_document->IndexOf(m_history[at]) >= 0) {
            m_historyAt = at;
            return m_history[at];
        }
    }
    return nullptr;
}

QString EditingSession::NextUntitledName()
{
    return QStringLiteral("%1Untitled").arg(m_untitledCount++, 5, 10, QLatin1Char('0'));
}

std::string EditingSession::NextPageName()
{
    char label[32];
    std::snprintf(label, sizeof label, "NewPage%04u", m_pageCount++);
    return label;
}

DialogLine *EditingSession::AddPage()
{
    auto page = std::make_unique<DialogLine>();
    page->SetLabel(NextPageName());
    DialogLine *added = page.get();
    Push(DocumentEdit::AddingPage(*m_document, m_document->GetPageCount(), std::move(page)), QStringLiteral("New Page"));
    return added;
}

void EditingSession::AddOption(DialogLine &page, std::unique_ptr<DialogLine> option)
{
    Push(DocumentEdit::AddingOption(page, page.GetOptionCount(), std::move(option)), QStringLiteral("Add Option"));
}

void EditingSession::DeleteOption(DialogLine &page, int index)
{
    Push(DocumentEdit::DeletingOption(page, index), QStringLiteral("Delete Option"));
}

void EditingSession::MoveOption(DialogLine &page, int from, int to)
{
    Push(DocumentEdit::MovingOption(page, from, to), to < from ? QStringLiteral("Move Option Up") : QStringLiteral("Move Option Down"));
}

void EditingSession::DeleteOptions(DialogLine &page, const std::vector<int> &rows, const QString &text)
{
    Push(DocumentEdit::DeletingOptions(page, rows), text);
}

void EditingSession::MoveOptions(DialogLine &page, const std::vector<int> &rows, int by)
{
    Push(DocumentEdit::MovingOptions(page, rows, by), by < 0 ? QStringLiteral("Move Options Up") : QStringLiteral("Move Options Down"));
}

void EditingSession::ChangedLine(DialogLine &page, DialogLine &line, const DialogLine::Content &before, const QString &text)
{
    Push(DocumentEdit::ChangingLine(page, line, before, line.GetContent()), text);
}

// Confirming is a change, even with both texts as they were.
void EditingSession::ChangePageInfo(DialogLine &page, const std::string &name, const std::string &description)
{
    DialogLine changed;
    changed.SetContent(page.GetContent());
    changed.SetLabel(name);
    changed.SetDescription(description);
    Push(DocumentEdit::ChangingLine(page, page, page.GetContent(), changed.GetContent()), QStringLiteral("Change Page Info"));
}

void EditingSession::DeletePage(int index, const QString &text)
{
    Push(DocumentEdit::DeletingPage(*m_document, index), text);
}

DialogLine *EditingSession::DuplicatePage(int index)
{
    const DialogLine &page = *m_document->GetPage(index);
    std::unique_ptr<DialogLine> copy = page.Clone();
    copy->SetLabel(m_document->MakeCopyName(page.GetLabel()));
    DialogLine *added = copy.get();
    Push(DocumentEdit::AddingPage(*m_document, index + 1, std::move(copy)), QStringLiteral("Duplicate Page"));
    return added;
}

void EditingSession::MovePage(int from, int to)
{
    Push(DocumentEdit::MovingPage(*m_document, from, to), to < from ? QStringLiteral("Move Page Up") : QStringLiteral("Move Page Down"));
}

// A line with several texts replaced changes once, with all of them.
void EditingSession::ReplaceTexts(const std::vector<TextSearch::Change> &changes)
{
    if (changes.empty())
        return;
    std::vector<DocumentEdit::LineChange> lines;
    for (const TextSearch::Change &change : changes) {
        if (lines.empty() || lines.back().line != change.place.line) {
            DialogLine::Content content = change.place.line->GetContent();
            lines.push_back({change.place.line, content, content});
        }
        DocumentText::Set(lines.back().after, change.place, change.bytes);
    }
    Push(DocumentEdit::ChangingLines(*changes.front().place.page, std::move(lines)), QStringLiteral("Replace All"));
}
