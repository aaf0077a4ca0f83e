#include "edits/DocumentEdit.h"

#include "model/DialogFile.h"
#include "speech/GeneratedSpeechKind.h"

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

int DocumentEdit::GetIndex() const
{
    switch (m_kind) {
    case MoveOption:
        return m_to;
    case AddOption:
    case DeleteOption:
        return m_index;
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
    }
}
