#include "app/PageCommands.h"

#include "app/CMainDialog.h"
#include "app/COptionListBox.h"
#include "app/CPageView.h"
#include "app/CPlayDlg.h"
#include "app/EditingSession.h"
#include "app/Prompter.h"
#include "dialogs/CGotoPageDlg.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPageInfoDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

namespace {
const QString kSelectOption = QStringLiteral("Select a Player Character speech option from the list");
} // namespace

PageCommands::PageCommands(EditingSession &session, Prompter &prompter, CMainDialog &window, CPageView &view)
    : QObject(&window)
    , m_session(session)
    , m_prompter(prompter)
    , m_window(window)
    , m_view(view)
{
}

// The commands that change the current page need one; a document without
// pages has none until New page adds it.
bool PageCommands::HaveCurrentPage()
{
    if (m_session.GetCurrentPage())
        return true;
    m_window.Tell(QStringLiteral("There is no dialog page yet. \"New page\" adds one."));
    return false;
}

bool PageCommands::HaveSelectedOption()
{
    if (m_view.SelectedRow() >= 0 && m_session.GetCurrentPage())
        return true;
    m_window.Tell(kSelectOption);
    return false;
}

void PageCommands::Show(DialogLine *page)
{
    m_session.SetCurrentPage(page);
    m_window.RefreshPage();
}

void PageCommands::OnGoToResultPage()
{
    if (!HaveSelectedOption())
        return;
    DialogLine *target = m_view.optionList->GetOption(m_view.SelectedRow())->GetTarget();
    if (!target) {
        m_window.Tell(QStringLiteral("Dialog terminates after this line"));
        return;
    }
    Show(target);
}

void PageCommands::OnNewPage()
{
    if (m_session.GetDocument())
        Show(m_session.AddPage());
}

void PageCommands::OnDeleteOption()
{
    if (!HaveSelectedOption())
        return;
    DialogLine &page = *m_session.GetCurrentPage();
    const int index = page.IndexOfOption(m_view.optionList->GetOption(m_view.SelectedRow()));
    if (index >= 0)
        m_session.DeleteOption(page, index);
    m_window.RefreshPage();
}

void PageCommands::MoveOption(int from, int to)
{
    m_session.MoveOption(*m_session.GetCurrentPage(), from, to);
    m_window.RefreshPage();
    m_view.optionList->setCurrentRow(to);
    m_view.optionList->setFocus();
    m_window.UpdateOptionCommands();
}

void PageCommands::OnMoveOptionUp()
{
    if (!HaveSelectedOption())
        return;
    if (const int row = m_view.SelectedRow(); row > 0)
        MoveOption(row, row - 1);
}

void PageCommands::OnMoveOptionDown()
{
    if (!HaveSelectedOption())
        return;
    if (const int row = m_view.SelectedRow(); row + 1 < m_session.GetCurrentPage()->GetOptionCount())
        MoveOption(row, row + 1);
}

void PageCommands::OnEditSpeech()
{
    if (!HaveCurrentPage())
        return;
    DialogLine &page = *m_session.GetCurrentPage();
    const DialogLine::Content before = page.GetContent();
    CNpcSpeechDlg dialog(&page, m_session.GetDocument(), &m_window);
    if (dialog.exec() == QDialog::Accepted)
        m_session.ChangedLine(page, page, before, QStringLiteral("Edit Speech"));
    m_window.RefreshPage();
}

void PageCommands::OnAddOption()
{
    if (!HaveCurrentPage())
        return;
    // A new option is offered to every PC until the dialog says otherwise.
    auto option = std::make_unique<DialogLine>();
    option->SetIntelligenceCheck("1");
    CPcOptionDlg dialog(option.get(), m_session.GetDocument(), &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return; // the new option goes with the cancelled dialog
    DialogLine *added = option.get();
    m_session.AddOption(*m_session.GetCurrentPage(), std::move(option));
    // Only the new line is added: the selection and the command states stay
    // as they were until the next redisplay.
    m_view.InsertOptionLine(-1, added);
    m_window.UpdateTitle();
}

void PageCommands::OnEditOption()
{
    const int row = m_view.SelectedRow();
    if (row < 0)
        return;
    DialogLine &option = *m_view.optionList->GetOption(row);
    const DialogLine::Content before = option.GetContent();
    CPcOptionDlg dialog(&option, m_session.GetDocument(), &m_window);
    if (dialog.exec() == QDialog::Accepted)
        m_session.ChangedLine(*m_session.GetCurrentPage(), option, before, QStringLiteral("Edit Option"));
    m_window.RefreshPage();
    // The option edited stays selected, so the next command acts on it.
    m_view.optionList->setCurrentRow(row);
    m_window.UpdateOptionCommands();
}

void PageCommands::OnGoTo()
{
    CGotoPageDlg dialog(m_session.GetDocument(), m_session.CurrentPage(), &m_window);
    dialog.exec();
    m_window.RefreshPage();
}

void PageCommands::OnChangePageInfo()
{
    if (!HaveCurrentPage())
        return;
    DialogLine &page = *m_session.GetCurrentPage();
    CPageInfoDlg dialog(&m_window);
    dialog.m_name = page.GetLabel();
    dialog.m_description = page.GetDescription();
    while (dialog.exec() == QDialog::Accepted) {
        // Go to would list two pages of one name.
        if (dialog.m_name != page.GetLabel() && m_session.GetDocument()->CountPagesNamed(dialog.m_name) > 0
            && m_prompter.Ask(&m_window, QStringLiteral("talkwright"),
                              QStringLiteral("Another page is named \"%1\" already; \"Go to\" would list two pages of that name.\n\nName this page so all the same?")
                                  .arg(AnsiText::ToDisplay(dialog.m_name)),
                              Prompter::YesNo, Prompter::Question, Prompter::No)
                != Prompter::Yes)
            continue; // back to the dialog, to choose another name
        m_session.ChangePageInfo(page, dialog.m_name, dialog.m_description);
        break;
    }
    m_window.RefreshPage();
}

void PageCommands::OnDeletePage(DialogLine *page)
{
    DialogFile *document = m_session.GetDocument();
    if (!page)
        page = m_session.GetCurrentPage();
    const int index = document && page ? document->IndexOf(page) : -1;
    if (index < 0) {
        HaveCurrentPage();
        return;
    }
    QString question = QStringLiteral("Delete the page \"%1\"?").arg(AnsiText::ToDisplay(page->GetLabel()));
    std::vector<DialogFile::Link> links = document->FindLinksTo(page);
    std::erase_if(links, [page](const DialogFile::Link &link) { return link.page == page; });
    if (!links.empty()) {
        QStringList pages;
        for (const DialogFile::Link &link : links) {
            const QString name = QStringLiteral("\"%1\"").arg(AnsiText::ToDisplay(link.page->GetLabel()));
            if (!pages.contains(name))
                pages.append(name);
        }
        question += QStringLiteral("\n\n%1 %2 on %3 lead%4 to it and will end the dialog instead.")
                        .arg(links.size())
                        .arg(links.size() == 1 ? QStringLiteral("option") : QStringLiteral("options"))
                        .arg(pages.size() > 8 ? QStringLiteral("%1 pages").arg(pages.size()) : pages.join(QStringLiteral(", ")))
                        .arg(links.size() == 1 ? QStringLiteral("s") : QString());
    }
    if (m_prompter.Ask(&m_window, QStringLiteral("Delete page"), question, Prompter::YesCancel, Prompter::Question, Prompter::Cancel,
                       {QStringLiteral("&Delete"), QString(), QStringLiteral("Cancel")})
        != Prompter::Yes)
        return;
    const bool shown = page == m_session.GetCurrentPage();
    m_session.DeletePage(index);
    // The page on display gives way to the one visited before it.
    DialogLine *next = shown ? m_session.Back() : m_session.GetCurrentPage();
    Show(next ? next : document->GetPage(std::min(index, document->GetPageCount() - 1)));
}

void PageCommands::OnDuplicatePage(DialogLine *page)
{
    DialogFile *document = m_session.GetDocument();
    const int index = document ? document->IndexOf(page ? page : m_session.GetCurrentPage()) : -1;
    if (index < 0) {
        HaveCurrentPage();
        return;
    }
    Show(m_session.DuplicatePage(index));
}

void PageCommands::OnMovePage(int by, DialogLine *page)
{
    DialogFile *document = m_session.GetDocument();
    const int from = document ? document->IndexOf(page ? page : m_session.GetCurrentPage()) : -1;
    if (from < 0) {
        HaveCurrentPage();
        return;
    }
    const int to = from + by;
    if (to < 0 || to >= document->GetPageCount())
        return;
    m_session.MovePage(from, to);
    m_window.RefreshPage();
}

void PageCommands::OnPlay(bool fromFirstPage)
{
    if (!HaveCurrentPage())
        return;
    CPlayDlg play(m_session, fromFirstPage ? m_session.GetDocument()->GetPage(0) : m_session.GetCurrentPage(), &m_window);
    if (play.exec() == QDialog::Accepted)
        m_window.RefreshPage(); // "Edit this page" made its page the one on display
}
