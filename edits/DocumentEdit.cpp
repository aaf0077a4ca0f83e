#include "edits/DocumentEdit.h"

#include "model/DialogFile.h"
#include "speech/GeneratedSpeechKind.h"

#include <algorithm>

namespace {

// A Request money speech that named page ends the dialog instead. (A speech
// of another kind may still hold the page it had as Request money.)
bool Unlink(SpeechText &speech, DialogField &field, const DialogLine *page)
{
    if (speech.g != page)
        return false;
    speech.g = nullptr;
    if (speech.kind == GeneratedSpeechKind::RequestMoney) {
        speech.n = 0;
        field.SetText(EncodeSpeech(speech));
    }
    return true;
}

} // namespace

DocumentEdit DocumentEdit::AddingOption(DialogLine &page, int index, std::unique_ptr<DialogLine> option)
{
    DocumentEdit edit(AddOption, &page, option.get());
    edit.m_index = index;
    edit.m_held = std::move(option);
    return edit;
}

DocumentEdit DocumentEdit::DeletingOption(DialogLine &page, int index)
{
    DocumentEdit edit(DeleteOption, &page, page.GetOption(index));
    edit.m_index = index;
    return edit;
}

DocumentEdit DocumentEdit::MovingOption(DialogLine &page, int from, int to)
{
    DocumentEdit edit(MoveOption, &page, page.GetOption(from));
    edit.m_index = from;
    edit.m_to = to;
    return edit;
}

DocumentEdit DocumentEdit::AddingPage(DialogFile &file, int index, std::unique_ptr<DialogLine> page)
{
    DocumentEdit edit(AddPage, page.get(), page.get());
    edit.m_file = &file;
    edit.m_index = index;
    edit.m_held = std::move(page);
    return edit;
}

DocumentEdit DocumentEdit::DeletingPage(DialogFile &file, int index)
{
    DialogLine *page = file.GetPage(index);
    DocumentEdit edit(DeletePage, page, page);
    edit.m_file = &file;
    edit.m_index = index;
    const auto relink = [&edit, page](DialogLine &line) {
        DialogLine::Content after = line.GetContent();
        bool changed = false;
        if (after.target == page) {
            after.target = nullptr;
            changed = true;
        }
        changed |= Unlink(after.speech, after.fields[1], page);
        changed |= Unlink(after.femaleSpeech, after.fields[2], page);
        if (changed)
            edit.m_changes.push_back({&line, line.GetContent(), std::move(after)});
    };
    for (int p = 0; p < file.GetPageCount(); ++p) {
        DialogLine &other = *file.GetPage(p);
        if (&other == page)
            continue; // its own lines go with it
        relink(other);
        for (int i = 0; i < other.GetOptionCount(); ++i)
            relink(*other.GetOption(i));
    }
    return edit;
}

DocumentEdit DocumentEdit::ChangingLines(DialogLine &page, std::vector<LineChange> changes)
{
    DocumentEdit edit(ChangeLines, &page, changes.empty() ? &page : changes.front().line);
    edit.m_changes = std::move(changes);
    return edit;
}

DocumentEdit DocumentEdit::MovingPage(DialogFile &file, int from, int to)
{
    DialogLine *page = file.GetPage(from);
    DocumentEdit edit(MovePage, page, page);
    edit.m_file = &file;
    edit.m_index = from;
    edit.m_to = to;
    return edit;
}

DocumentEdit DocumentEdit::ChangingLine(DialogLine &page, DialogLine &line, DialogLine::Content before, DialogLine::Content after)
{
    DocumentEdit edit(ChangeLine, &page, &line);
    edit.m_before = std::move(before);
    edit.m_after = std::move(after);
    return edit;
}

DocumentEdit DocumentEdit::Grouping(std::vector<DocumentEdit> edits)
{
    DocumentEdit edit(Group, edits.front().m_page, edits.front().m_line);
    edit.m_group = std::move(edits);
    return edit;
}

DocumentEdit DocumentEdit::AddingOptions(DialogLine &page, int index, std::vector<std::unique_ptr<DialogLine>> options)
{
    std::vector<DocumentEdit> edits;
    for (auto &option : options)
        edits.push_back(AddingOption(page, index++, std::move(option)));
    return Grouping(std::move(edits));
}

// The last first: the rows before it stay where they are.
DocumentEdit DocumentEdit::DeletingOptions(DialogLine &page, const std::vector<int> &rows)
{
    std::vector<DocumentEdit> edits;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        edits.push_back(DeletingOption(page, *row));
    return Grouping(std::move(edits));
}

// Moving up, the first first; down, the last first: each move swaps its row
// with one that is not moved, or that has moved already.
DocumentEdit DocumentEdit::MovingOptions(DialogLine &page, const std::vector<int> &rows, int by)
{
    std::vector<DocumentEdit> edits;
    if (by < 0) {
        for (const int row : rows)
            edits.push_back(MovingOption(page, row, row - 1));
    } else {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            edits.push_back(MovingOption(page, *row, *row + 1));
    }
    return Grouping(std::move(edits));
}

DocumentEdit DocumentEdit::AddingPages(DialogFile &file, int index, std::vector<std::unique_ptr<DialogLine>> pages)
{
    std::vector<DocumentEdit> edits;
    for (auto &page : pages)
        edits.push_back(AddingPage(file, index++, std::move(page)));
    return Grouping(std::move(edits));
}

std::vector<const DialogLine *> DocumentEdit::GetLines() const
{
    if (m_kind != Group)
        return {m_line};
    std::vector<const DialogLine *> lines;
    for (const DocumentEdit &edit : m_group)
        lines.push_back(edit.m_line);
    return lines;
}

bool DocumentEdit::ChangesPages() const
{
    switch (m_kind) {
    case AddPage:
    case DeletePage:
    case MovePage:
    case ChangeLines:
        return true;
    case Group:
        return std::any_of(m_group.begin(), m_group.end(), [](const DocumentEdit &edit) { return edit.ChangesPages(); });
    default:
        return false;
    }
}

int DocumentEdit::GetIndex() const
{
    switch (m_kind) {
    case MoveOption:
        return m_to;
    case AddOption:
    case DeleteOption:
        return m_index;
    case Group:
        return m_group.front().GetIndex();
    default:
        return 0;
    }
}

void DocumentEdit::Apply()
{
    switch (m_kind) {
    case AddOption:
        m_page->InsertOptionAt(m_index, std::move(m_held));
        break;
    case DeleteOption:
        m_held = m_page->RemoveOptionAt(m_index);
        break;
    case MoveOption:
        m_page->InsertOptionAt(m_to, m_page->RemoveOptionAt(m_index));
        break;
    case AddPage:
        m_file->InsertPage(m_index, std::move(m_held));
        break;
    case ChangeLine:
        m_line->SetContent(m_after);
        break;
    case ChangeLines:
    case DeletePage:
        for (const LineChange &change : m_changes)
            change.line->SetContent(change.after);
        if (m_kind == ChangeLines)
            break;
        m_held = m_file->RemovePageAt(m_index);
        break;
    case MovePage:
        m_file->InsertPage(m_to, m_file->RemovePageAt(m_index));
        break;
    case Group:
        for (DocumentEdit &edit : m_group)
            edit.Apply();
        break;
    }
}

void DocumentEdit::Revert()
{
    switch (m_kind) {
    case AddOption:
        m_held = m_page->RemoveOptionAt(m_index);
        break;
    case DeleteOption:
        m_page->InsertOptionAt(m_index, std::move(m_held));
        break;
    case MoveOption:
        m_page->InsertOptionAt(m_index, m_page->RemoveOptionAt(m_to));
        break;
    case AddPage:
        m_held = m_file->RemovePageAt(m_index);
        break;
    case ChangeLine:
        m_line->SetContent(m_before);
        break;
    case ChangeLines:
    case DeletePage:
        if (m_kind == DeletePage)
            m_file->InsertPage(m_index, std::move(m_held));
        for (const LineChange &change : m_changes)
            change.line->SetContent(change.before);
        break;
    case MovePage:
        m_file->InsertPage(m_index, m_file->RemovePageAt(m_to));
        break;
    case Group:
        for (auto edit = m_group.rbegin(); edit != m_group.rend(); ++edit)
            edit->Revert();
        break;
    }
}
