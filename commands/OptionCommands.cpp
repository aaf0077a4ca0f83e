#include "commands/OptionCommands.h"

#include "commands/PageCommands.h"
#include "dialogs/CPcOptionDlg.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "session/DocumentSpelling.h"
#include "session/EditingSession.h"
#include "ui/Prompter.h"

#include <QWidget>

OptionCommands::OptionCommands(EditingSession &session, Prompter &prompter, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_parent(parent)
{
}

bool OptionCommands::HaveSelectedOption()
{
    if (m_session.GetSelectedLine())
        return true;
    m_prompter.Tell(m_parent, QStringLiteral("talkwright"), QStringLiteral("Select a Player Character speech option from the list"),
                    Prompter::Exclamation);
    return false;
}

void OptionCommands::OnGoToResultPage()
{
    if (!HaveSelectedOption())
        return;
    DialogLine *target = m_session.GetSelectedLine()->GetTarget();
    if (!target) {
        m_prompter.Tell(m_parent, QStringLiteral("talkwright"), QStringLiteral("Dialog terminates after this line"), Prompter::Exclamation);
        return;
    }
    m_session.SetCurrentPage(target);
}

// After a delete the page shows again from its first option. Several
// options selected go as one step.
void OptionCommands::OnDeleteOption()
{
    if (!HaveSelectedOption())
        return;
    DialogLine &page = *m_session.GetCurrentPage();
    const std::vector<int> &rows = m_session.GetSelectedOptions();
    if (rows.size() > 1)
        m_session.DeleteOptions(page, rows, QStringLiteral("Delete Options"));
    else
        m_session.DeleteOption(page, m_session.GetSelectedOption());
    m_session.Redisplay();
}

// The options selected move together, one place, as long as the first (or
// the last) has a place to go; they stay selected.
void OptionCommands::MoveOptions(int by)
{
    if (!HaveSelectedOption())
        return;
    DialogLine &page = *m_session.GetCurrentPage();
    const std::vector<int> rows = m_session.GetSelectedOptions();
    if (rows.empty() || (by < 0 && rows.front() == 0) || (by > 0 && rows.back() + 1 >= page.GetOptionCount()))
        return;
    if (rows.size() == 1)
        m_session.MoveOption(page, rows.front(), rows.front() + by);
    else
        m_session.MoveOptions(page, rows, by);
}

void OptionCommands::OnMoveOptionUp()
{
    MoveOptions(-1);
}

void OptionCommands::OnMoveOptionDown()
{
    MoveOptions(1);
}

void OptionCommands::OnAddOption()
{
    if (!PageCommands::HaveCurrentPage(m_session, m_prompter, m_parent))
        return;
    // A new option is offered to every PC until the dialog says otherwise.
    auto option = std::make_unique<DialogLine>();
    option->SetIntelligenceCheck("1");
    CPcOptionDlg dialog(option.get(), m_session.GetDocument(), m_parent, &DocumentSpelling::Of(m_session));
    if (dialog.exec() != QDialog::Accepted)
        return; // the new option goes with the cancelled dialog
    m_session.AddOption(*m_session.GetCurrentPage(), std::move(option));
}

// The option edited stays selected, so the next command acts on it.
void OptionCommands::OnEditOption()
{
    DialogLine *option = m_session.GetSelectedLine();
    if (!option)
        return;
    const int row = m_session.GetSelectedOption();
    const DialogLine::Content before = option->GetContent();
    CPcOptionDlg dialog(option, m_session.GetDocument(), m_parent, &DocumentSpelling::Of(m_session));
    if (dialog.exec() == QDialog::Accepted) {
        m_session.ChangedLine(*m_session.GetCurrentPage(), *option, before, QStringLiteral("Edit Option"));
        return;
    }
    m_session.Redisplay();
    m_session.SetSelectedOption(row);
}
