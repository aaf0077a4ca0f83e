#include "CMainDialog.h"

#include "ui/AnsiText.h"
#include "CAboutDlg.h"
#include "COptionListBox.h"
#include "CPlayDlg.h"
#include "ui/DialogUnits.h"
#include "dialogs/CGotoPageDlg.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPageInfoDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "Prompter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QUndoStack>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>


// The resources live in a static library: bring them in by hand.
static void InitResources()
{
    Q_INIT_RESOURCE(talkwright);
}

namespace {

const QString kTitleSuffix = QStringLiteral(" - Quorvel Dialog Editor");
const QString kSelectOption = QStringLiteral("Select a Player Character speech option from the list");

} // namespace

CMainDialog::CMainDialog(std::string cmdLineFile, Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_strCmdLineFile(std::move(cmdLineFile))
    , m_prompter(prompter)
    , m_files(m_session, prompter, *this)
{
    InitResources();
    setFont(DialogUnits::TemplateFont());
    setObjectName(QStringLiteral("mainDialog"));
    setWindowTitle(QStringLiteral("Quorvel Dialog Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/res/icon128.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_view = new CPageView(this);
    layout->addWidget(m_view);
    ConnectCommands();
    CreateMenu(layout);
    connect(&m_session.GetUndoStack(), &QUndoStack::cleanChanged, this, &CMainDialog::UpdateTitle);
    connect(&m_session, &EditingSession::edited, this, &CMainDialog::ShowEdit);
    m_view->optionList->viewport()->installEventFilter(this);

}

// The session goes after the window's other members: it must not call back.
CMainDialog::~CMainDialog()
{
    m_session.GetUndoStack().disconnect(this);
    m_session.disconnect(this);
}

void CMainDialog::ConnectCommands()
{
    connect(m_view->optionList, &QListWidget::itemSelectionChanged, this, &CMainDialog::UpdateOptionCommands);
    connect(m_view->optionList, &QListWidget::itemDoubleClicked, this, &CMainDialog::OnOptionDblClk);
    connect(m_view->optionList, &QWidget::customContextMenuRequested, this, &CMainDialog::OnContextMenu);
    connect(m_view->goToResultButton, &QPushButton::clicked, this, &CMainDialog::OnGoToResultPage);
    connect(m_view->editSpeechButton, &QPushButton::clicked, this, &CMainDialog::OnEditSpeech);
    connect(m_view->addOptionButton, &QPushButton::clicked, this, &CMainDialog::OnAddOption);
    connect(m_view->editOptionButton, &QPushButton::clicked, this, &CMainDialog::OnEditOption);
    connect(m_view->goToButton, &QPushButton::clicked, this, &CMainDialog::OnGoTo);
    connect(m_view->changeButton, &QPushButton::clicked, this, &CMainDialog::OnChangePageInfo);
    connect(m_view->deleteOptionButton, &QPushButton::clicked, this, &CMainDialog::OnDeleteOption);
    connect(m_view->moveUpButton, &QPushButton::clicked, this, &CMainDialog::OnMoveOptionUp);
    connect(m_view->moveDownButton, &QPushButton::clicked, this, &CMainDialog::OnMoveOptionDown);
    connect(m_view->newPageButton, &QPushButton::clicked, this, &CMainDialog::OnNewPage);
    connect(m_view->openButton, &QPushButton::clicked, this, &CMainDialog::OpenFile);
    connect(m_view->saveButton, &QPushButton::clicked, this, &CMainDialog::OnOK);
    connect(m_view->exitButton, &QPushButton::clicked, this, &CMainDialog::OnCancel);
}

void CMainDialog::CreateMenu(QLayout *layout)
{
    auto *menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    const auto add = [this](QMenu *menu, const char *objectName, const QString &text, const QKeySequence &keys) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(objectName));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };

    QMenu *file = menuBar->addMenu(QStringLiteral("&File"));
    connect(add(file, "actionNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)), &QAction::triggered, this,
            &CMainDialog::NewFile);
    connect(add(file, "actionOpen", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O)), &QAction::triggered,
            this, &CMainDialog::OpenFile);
    connect(add(file, "actionSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)), &QAction::triggered,
            this, &CMainDialog::OnOK);
    connect(add(file, "actionSaveAs", QStringLiteral("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
            &QAction::triggered, this, &CMainDialog::SaveFileAs);
    file->addSeparator();
    QMenu *recent = file->addMenu(QStringLiteral("&Recent Files"));
    recent->setObjectName(QStringLiteral("recentMenu"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { m_files.FillRecentMenu(recent); });
    m_files.FillRecentMenu(recent); // so that its entries can be reached before it is first shown
    file->addSeparator();
    connect(add(file, "actionExit", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4)), &QAction::triggered,
            this, &CMainDialog::OnCancel);

    QMenu *edit = menuBar->addMenu(QStringLiteral("&Edit"));
    QUndoStack &undoStack = m_session.GetUndoStack();
    QAction *undo = undoStack.createUndoAction(this, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = undoStack.createRedoAction(this, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        edit->addAction(action);
        addAction(action);
    }
    edit->addSeparator();
    QAction *addOption = add(edit, "actionAddOption", QStringLiteral("&Add PC speech option"), QKeySequence(Qt::Key_Insert));
    connect(addOption, &QAction::triggered, m_view->addOptionButton, &QPushButton::click);
    m_actEditOption = add(edit, "actionEditOption", QStringLiteral("&Edit PC speech option"), QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(m_actEditOption, &QAction::triggered, m_view->editOptionButton, &QPushButton::click);
    m_actDeleteOption = add(edit, "actionDeleteOption", QStringLiteral("&Delete PC speech option"), QKeySequence(Qt::Key_Delete));
    connect(m_actDeleteOption, &QAction::triggered, this, &CMainDialog::OnDeleteOption);
    QAction *goToResult = add(edit, "actionGoToResult", QStringLiteral("Go to &result dialog page"), QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(goToResult, &QAction::triggered, this, &CMainDialog::OnGoToResultPage);
    m_actMoveUp = add(edit, "actionMoveUp", QStringLiteral("Move option &up"), QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(m_actMoveUp, &QAction::triggered, this, &CMainDialog::OnMoveOptionUp);
    m_actMoveDown = add(edit, "actionMoveDown", QStringLiteral("Move option &down"), QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(m_actMoveDown, &QAction::triggered, this, &CMainDialog::OnMoveOptionDown);
    edit->addSeparator();
    QAction *editNpcSpeech = add(edit, "actionEditNpcSpeech", QStringLiteral("Edit NPC &speech"), QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(editNpcSpeech, &QAction::triggered, m_view->editSpeechButton, &QPushButton::click);
    m_actGotoPage = add(edit, "actionGotoPage", QStringLiteral("&Goto dialog page.."), QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(m_actGotoPage, &QAction::triggered, m_view->goToButton, &QPushButton::click);
    edit->addSeparator();
    connect(add(edit, "actionBack", QStringLiteral("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left)), &QAction::triggered, this,
            &CMainDialog::OnBack);
    connect(add(edit, "actionForward", QStringLiteral("&Forward"), QKeySequence(Qt::ALT | Qt::Key_Right)), &QAction::triggered, this,
            &CMainDialog::OnForward);

    QMenu *tools = menuBar->addMenu(QStringLiteral("&Tools"));
    connect(add(tools, "actionPlay", QStringLiteral("&Play"), QKeySequence(Qt::Key_F5)), &QAction::triggered, this, [this] { OnPlay(false); });
    connect(add(tools, "actionPlayFromFirstPage", QStringLiteral("Play from &first page"), QKeySequence(Qt::SHIFT | Qt::Key_F5)),
            &QAction::triggered, this, [this] { OnPlay(true); });

    QMenu *help = menuBar->addMenu(QStringLiteral("&Help"));
    connect(help->addAction(QStringLiteral("&About")), &QAction::triggered, this, &CMainDialog::OnAbout);
    help->actions().constLast()->setObjectName(QStringLiteral("actionAbout"));

    for (QAction *action : {m_actEditOption, m_actDeleteOption, m_actMoveUp, m_actMoveDown, m_actGotoPage})
        action->setEnabled(false);
}

bool CMainDialog::OnInitDialog()
{
    if (!m_strCmdLineFile.empty()) {
        const QString shown = AnsiText::FileNameToDisplay(m_strCmdLineFile);
        switch (m_files.OpenPath(m_strCmdLineFile, shown)) {
        case LoadAnswer::Cancel:
            return false;
        case LoadAnswer::No:
            OpenFile();
            break;
        case LoadAnswer::Read:
        case LoadAnswer::Yes:
            break;
        }
    }
    if (!Document())
        NewFile();
    SetStatusMessage(QStringLiteral("Quorvel Dialog Editor"));
    GetStatusLine().StartCredits();
    return true;
}

// ---- The page view ------------------------------------------------------

void CMainDialog::UpdateTitle()
{
    QString title;
    if (m_session.IsModified())
        title = QStringLiteral("*");
    title += m_files.GetDisplayName() + kTitleSuffix;
    // "[*]" would be taken for the window's modified mark.
    setWindowTitle(title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void CMainDialog::RefreshPage()
{
    m_session.Visit(CurrentPage());
    UpdateTitle();
    m_view->ShowPage(CurrentPage());
    UpdateOptionCommands();
}

void CMainDialog::UpdateOptionCommands()
{
    m_view->addOptionButton->setEnabled(true);
    const int row = SelectedRow();
    const bool any = row >= 0;
    m_view->deleteOptionButton->setEnabled(any);
    m_actDeleteOption->setEnabled(any);
    m_view->editOptionButton->setEnabled(any);
    m_actEditOption->setEnabled(any);
    const bool canMoveDown = any && row + 1 < m_view->optionList->count();
    m_view->moveDownButton->setEnabled(canMoveDown);
    m_actMoveDown->setEnabled(canMoveDown);
    const bool canMoveUp = any && row > 0;
    m_view->moveUpButton->setEnabled(canMoveUp);
    m_actMoveUp->setEnabled(canMoveUp);
    m_view->goToResultButton->setEnabled(any);
    m_actGotoPage->setEnabled(any);
}

// ---- The status line ----------------------------------------------------

// Status messages are UTF-8 from here to the screen: they name files,
// whose names are the system's, not the dialog file's.
void CMainDialog::SetStatusMessage(const QString &text)
{
    GetStatusLine().SetStatusMessage(text.toStdString());
}

// ---- Layout -------------------------------------------------------------

bool CMainDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->optionList->viewport() && event->type() == QEvent::MouseButtonPress
        && OnMouseButton(static_cast<QMouseEvent *>(event)->button()))
        return true;
    return QDialog::eventFilter(watched, event);
}

// ---- File commands ------------------------------------------------------

void CMainDialog::Tell(const QString &text)
{
    m_prompter.Tell(this, QStringLiteral("talkwright"), text, Prompter::Exclamation);
}

bool CMainDialog::CanClose()
{
    if (Document()) {
        if (!QuerySaveChanges())
            return false;
        m_session.CloseDocument();
    }
    return true;
}

void CMainDialog::OnOK()
{
    SaveFile();
}

void CMainDialog::OnCancel()
{
    if (CanClose())
        QDialog::reject();
}

void CMainDialog::accept()
{
    OnOK();
}

void CMainDialog::reject()
{
    OnCancel();
}

void CMainDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_files.HasLoadNote())
        QTimer::singleShot(0, &m_files, &FileCommands::TellLoadNote);
}

void CMainDialog::closeEvent(QCloseEvent *event)
{
    if (!CanClose()) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::reject();
}

// Enter saves, as "&Save" does, unless a push button has the focus: then
// it presses that button. Escape is Exit.
void CMainDialog::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- Navigation and option commands ------------------------------------

int CMainDialog::SelectedRow() const
{
    return m_view->SelectedRow();
}

// The commands that change the current page need one; a document without
// pages has none until New page adds it.
bool CMainDialog::HaveCurrentPage()
{
    if (CurrentPage())
        return true;
    Tell(QStringLiteral("There is no dialog page yet. \"New page\" adds one."));
    return false;
}

void CMainDialog::OnGoToResultPage()
{
    const int row = SelectedRow();
    if (row < 0) {
        Tell(kSelectOption);
        return;
    }
    DialogLine *target = m_view->optionList->GetOption(row)->GetTarget();
    if (!target) {
        Tell(QStringLiteral("Dialog terminates after this line"));
        return;
    }
    m_session.SetCurrentPage(target);
    RefreshPage();
}

void CMainDialog::OnOptionDblClk()
{
    if (SelectedRow() >= 0)
        OnGoToResultPage();
}

void CMainDialog::OnNewPage()
{
    if (!Document())
        return;
    m_session.SetCurrentPage(m_session.AddPage());
    RefreshPage();
}

void CMainDialog::OnDeleteOption()
{
    const int row = SelectedRow();
    if (row < 0 || !CurrentPage()) {
        Tell(kSelectOption);
        return;
    }
    const int index = CurrentPage()->IndexOfOption(m_view->optionList->GetOption(row));
    if (index >= 0)
        m_session.DeleteOption(*CurrentPage(), index);
    RefreshPage();
}

void CMainDialog::MoveOption(int from, int to)
{
    m_session.MoveOption(*CurrentPage(), from, to);
    RefreshPage();
    m_view->optionList->setCurrentRow(to);
    m_view->optionList->setFocus();
    UpdateOptionCommands();
}

void CMainDialog::OnMoveOptionUp()
{
    const int row = SelectedRow();
    if (row < 0 || !CurrentPage()) {
        Tell(kSelectOption);
        return;
    }
    if (row > 0)
        MoveOption(row, row - 1);
}

void CMainDialog::OnMoveOptionDown()
{
    const int row = SelectedRow();
    if (row < 0 || !CurrentPage()) {
        Tell(kSelectOption);
        return;
    }
    if (row + 1 < CurrentPage()->GetOptionCount())
        MoveOption(row, row + 1);
}

void CMainDialog::OnContextMenu(const QPoint &listPosition)
{
    if (!m_view->optionList->viewport()->rect().contains(listPosition))
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("optionContextMenu"));
    connect(menu.addAction(QStringLiteral("Add option..")), &QAction::triggered, m_view->addOptionButton, &QPushButton::click);
    menu.addSeparator();
    for (QPushButton *button : {m_view->editOptionButton, m_view->deleteOptionButton, m_view->moveUpButton, m_view->moveDownButton, m_view->goToResultButton}) {
        QAction *item = menu.addAction(button->text());
        item->setEnabled(button->isEnabled());
        connect(item, &QAction::triggered, button, &QPushButton::click);
    }
    menu.exec(m_view->optionList->viewport()->mapToGlobal(listPosition));
}

void CMainDialog::OnEditSpeech()
{
    if (!HaveCurrentPage())
        return;
    DialogLine &page = *CurrentPage();
    const DialogLine::Content before = page.GetContent();
    CNpcSpeechDlg dialog(&page, Document(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_session.ChangedLine(page, page, before, QStringLiteral("Edit Speech"));
    RefreshPage();
}

void CMainDialog::OnAddOption()
{
    if (!HaveCurrentPage())
        return;
    // A new option is offered to every PC until the dialog says otherwise.
    auto option = std::make_unique<DialogLine>();
    option->SetIntelligenceCheck("1");
    CPcOptionDlg dialog(option.get(), Document(), this);
    if (dialog.exec() != QDialog::Accepted)
        return; // the new option goes with the cancelled dialog
    DialogLine *added = option.get();
    m_session.AddOption(*CurrentPage(), std::move(option));
    // Only the new line is added: the selection and the command states stay
    // as they were until the next redisplay.
    InsertOptionLine(-1, added);
    UpdateTitle();
}

void CMainDialog::OnEditOption()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    DialogLine &option = *m_view->optionList->GetOption(row);
    const DialogLine::Content before = option.GetContent();
    CPcOptionDlg dialog(&option, Document(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_session.ChangedLine(*CurrentPage(), option, before, QStringLiteral("Edit Option"));
    RefreshPage();
    // The option edited stays selected, so the next command acts on it.
    m_view->optionList->setCurrentRow(row);
    UpdateOptionCommands();
}

void CMainDialog::OnGoTo()
{
    CGotoPageDlg dialog(Document(), m_session.CurrentPage(), this);
    dialog.exec();
    RefreshPage();
}

void CMainDialog::OnChangePageInfo()
{
    if (!HaveCurrentPage())
        return;
    CPageInfoDlg dialog(this);
    dialog.m_name = CurrentPage()->GetLabel();
    dialog.m_description = CurrentPage()->GetDescription();
    if (dialog.exec() == QDialog::Accepted)
        m_session.ChangePageInfo(*CurrentPage(), dialog.m_name, dialog.m_description);
    RefreshPage();
}

void CMainDialog::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainDialog::OnPlay(bool fromFirstPage)
{
    if (!HaveCurrentPage())
        return;
    CPlayDlg play(m_session, fromFirstPage ? Document()->GetPage(0) : CurrentPage(), this);
    if (play.exec() == QDialog::Accepted)
        RefreshPage(); // "Edit this page" made its page the one on display
}

// ---- Undo, redo and the pages visited ------------------------------------

void CMainDialog::ShowEdit(DialogLine *page, DialogLine *line, int index)
{
    // A page taken out again gives way to the page visited before it.
    if (Document()->IndexOf(page) < 0) {
        page = m_session.Back();
        if (!page)
            page = Document()->GetPage(0);
        m_session.SetCurrentPage(page);
        RefreshPage();
        return;
    }
    m_session.SetCurrentPage(page);
    RefreshPage();
    const int option = page->IndexOfOption(line);
    const int row = option >= 0 ? option : std::min(index, page->GetOptionCount() - 1);
    if (row >= 0)
        m_view->optionList->setCurrentRow(row);
    UpdateOptionCommands();
}

void CMainDialog::OnBack()
{
    if (DialogLine *page = m_session.Back()) {
        m_session.SetCurrentPage(page);
        RefreshPage();
    }
}

void CMainDialog::OnForward()
{
    if (DialogLine *page = m_session.Forward()) {
        m_session.SetCurrentPage(page);
        RefreshPage();
    }
}

// The mouse's back and forward buttons step through the pages visited.
void CMainDialog::mousePressEvent(QMouseEvent *event)
{
    if (!OnMouseButton(event->button()))
        QDialog::mousePressEvent(event);
}

bool CMainDialog::OnMouseButton(Qt::MouseButton button)
{
    if (button == Qt::BackButton)
        OnBack();
    else if (button == Qt::ForwardButton)
        OnForward();
    else
        return false;
    return true;
}

