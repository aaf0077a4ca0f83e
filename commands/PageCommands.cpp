#include "commands/PageCommands.h"

#include "dialogs/CPlayDlg.h"
#include "session/DocumentSpelling.h"
#include "session/EditingSession.h"
#include "ui/Prompter.h"
#include "dialogs/CGotoPageDlg.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPageInfoDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"
#include "ui/Counted.h"

#include <QStringList>
#include <QWidget>


PageCommands::PageCommands(EditingSession &session, Prompter &prompter, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_parent(parent)
{
}

bool PageCommands::HaveCurrentPage(EditingSession &session, Prompter &prompter, QWidget *parent)
{
    if (session.GetCurrentPage())
        return true;
    prompter.Tell(parent, QStringLiteral("talkwright"), QStringLiteral("There is no dialog page yet. \"New page\" adds one."),
                  Prompter::Exclamation);
    return false;
}

void PageCommands::OnNewPage()
{
    if (m_session.GetDocument())
        m_session.AddPage();
}

// Whatever the dialog's end, the page shows again from its first option.
void PageCommands::OnEditSpeech()
{
    if (!HaveCurrentPage())
        return;
    DialogLine &page = *m_session.GetCurrentPage();
    const DialogLine::Content before = page.GetContent();
    CNpcSpeechDlg dialog(&page, m_session.GetDocument(), m_parent, &DocumentSpelling::Of(m_session));
    if (dialog.exec() == QDialog::Accepted)
        m_session.ChangedLine(page, page, before, QStringLiteral("Edit Speech"));
    m_session.Redisplay();
}

void PageCommands::OnGoTo()
{
    CGotoPageDlg dialog(m_session.GetDocument(), m_session.CurrentPage(), m_parent);
    dialog.exec();
    m_session.Redisplay();
}

void PageCommands::OnChangePageInfo()
{
    if (!HaveCurrentPage())
        return;
    DialogLine &page = *m_session.GetCurrentPage();
    CPageInfoDlg dialog(m_parent);
    dialog.m_name = page.GetLabel();
    dialog.m_description = page.GetDescription();
    while (dialog.exec() == QDialog::Accepted) {
        // Go to would list two pages of one name.
        if (dialog.m_name != page.GetLabel() && m_session.GetDocument()->CountPagesNamed(dialog.m_name) > 0
            && m_prompter.Ask(m_parent, QStringLiteral("talkwright"),
                              QStringLiteral("Another page is named \"%1\" already; \"Go to\" would list two pages of that name.\n\nName this page so all the same?")
                                  .arg(AnsiText::ToDisplay(dialog.m_name)),
                              Prompter::YesNo, Prompter::Question, Prompter::No)
                != Prompter::Yes)
            continue; // back to the dialog, to choose another name
        m_session.ChangePageInfo(page, dialog.m_name, dialog.m_description);
        return;
    }
    m_session.Redisplay();
}

void PageCommands::OnBack()
{
    m_session.Back();
}

void PageCommands::OnForward()
{
    m_session.Forward();
}

void PageCommands::OnDeletePage()
{
    DialogFile *document = m_session.GetDocument();
    const int index = document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
    if (index < 0) {
        HaveCurrentPage();
        return;
    }
    // The page on display gives way to the one visited before it.
    if (ConfirmDeletePage(QStringLiteral("Delete page"), QStringLiteral("&Delete"), true))
        m_session.DeletePage(index);
}

bool PageCommands::ConfirmDeletePage(const QString &caption, const QString &answer, bool always)
{
    DialogFile *document = m_session.GetDocument();
    DialogLine *page = m_session.GetCurrentPage();
    QString question = QStringLiteral("%1 the page \"%2\"?").arg(QString(answer).remove(QLatin1Char('&')), AnsiText::ToDisplay(page->GetLabel()));
    std::vector<DialogFile::Link> links = document->FindLinksTo(page);
    std::erase_if(links, [page](const DialogFile::Link &link) { return link.page == page; });
    if (links.empty() && !always)
        return true;
    if (!links.empty()) {
        QStringList pages;
        for (const DialogFile::Link &link : links) {
            const QString name = QStringLiteral("\"%1\"").arg(AnsiText::ToDisplay(link.page->GetLabel()));
            if (!pages.contains(name))
                pages.append(name);
        }
        question += QStringLiteral("\n\n%1 on %2 lead%3 to it and will end the dialog instead.")
                        .arg(Counted(links.size(), "option", "options"))
                        .arg(pages.size() > 8 ? Counted(pages.size(), "page", "pages") : pages.join(QStringLiteral(", ")))
                        .arg(links.size() == 1 ? QStringLiteral("s") : QString());
    }
    return m_prompter.Ask(m_parent, caption, question, Prompter::YesCancel, Prompter::Question, Prompter::Cancel,
                          {answer, QString(), QStringLiteral("Cancel")})
        == Prompter::Yes;
}

void PageCommands::OnDuplicatePage()
{
    DialogFile *document = m_session.GetDocument();
    const int index = document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
    if (index < 0) {
        HaveCurrentPage();
        return;
    }
    m_session.DuplicatePage(index);
}

void PageCommands::OnMovePage(int by)
{
    DialogFile *document = m_session.GetDocument();
    const int from = document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
    if (from < 0) {
        HaveCurrentPage();
        return;
    }
    const int to = from + by;
    if (to < 0 || to >= document->GetPageCount())
        return;
    m_session.MovePage(from, to);
}

void PageCommands::OnPlay(bool fromFirstPage)
{
    if (!HaveCurrentPage())
        return;
    CPlayDlg play(m_session, fromFirstPage ? m_session.GetDocument()->GetPage(0) : m_session.GetCurrentPage(), m_parent);
    if (play.exec() == QDialog::Accepted)
        m_session.Redisplay(); // "Edit this page" made its page the one on display
}
