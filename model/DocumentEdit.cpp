#include "DocumentEdit.h"

#include "DialogFile.h"

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

DocumentEdit DocumentEdit::ChangingLine(DialogLine &page, DialogLine &line, DialogLine::Content before, DialogLine::Content after)
{
    DocumentEdit edit(ChangeLine, &page, &line);
    edit.m_before = std::move(before);
    edit.m_after = std::move(after);
    return edit;
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
    }
}
