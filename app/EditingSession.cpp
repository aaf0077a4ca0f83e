#include "app/EditingSession.h"

#include "model/DialogFile.h"
#include "edits/DocumentEdit.h"

#include <QUndoCommand>
#include <cstdio>

// One step of the undo stack: a document edit and its name. The first redo
// is the push itself, which the command that pushed it shows; later ones,
// and every undo, tell the session's listeners what changed.
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
        Changed();
        if (!m_pushed) {
            m_pushed = true;
            return;
        }
        Tell();
    }
    void undo() override
    {
        m_edit.Revert();
        Changed();
        Tell();
    }

private:
    void Changed()
    {
        const DocumentEdit::Kind kind = m_edit.GetKind();
        const bool pages = kind == DocumentEdit::AddPage || kind == DocumentEdit::DeletePage || kind == DocumentEdit::MovePage
            || kind == DocumentEdit::ChangeLines;
        emit m_session.changed(m_edit.GetPage(), pages);
    }
    void Tell() { emit m_session.edited(m_edit.GetPage(), m_edit.GetLine(), m_edit.GetIndex()); }

    EditingSession &m_session;
    DocumentEdit m_edit;
    bool m_pushed = false;
};

EditingSession::EditingSession(QObject *parent)
    : QObject(parent)
{
}

// The stack's commands hold lines out of the document: they go first.
EditingSession::~EditingSession()
{
    CloseDocument();
}

void EditingSession::SetDocument(std::unique_ptr<DialogFile> document, bool modified)
{
    m_undoStack.clear();
    m_history.clear();
    m_currentPage = nullptr;
    m_document = std::move(document);
    if (modified)
        m_undoStack.resetClean();
    else
        m_undoStack.setClean();
    emit documentReplaced();
}

void EditingSession::CloseDocument()
{
    m_undoStack.clear();
    m_history.clear();
    m_currentPage = nullptr;
    m_document.reset();
    emit documentReplaced();
}

DialogLine *EditingSession::AddFirstPage()
{
    DialogLine *page = m_document->NewPage(NextPageName());
    emit documentReplaced();
    return page;
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

DialogLine *EditingSession::Back()
{
    return Step(-1);
}

DialogLine *EditingSession::Forward()
{
    return Step(1);
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

void EditingSession::DeletePage(int index)
{
    Push(DocumentEdit::DeletingPage(*m_document, index), QStringLiteral("Delete Page"));
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
