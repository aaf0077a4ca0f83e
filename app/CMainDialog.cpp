#include "app/CMainDialog.h"

#include "app/CAboutDlg.h"
#include "app/COptionListBox.h"
#include "app/FindBar.h"
#include "app/LinksHereLabel.h"
#include "app/MapPanel.h"
#include "app/OutlinePanel.h"
#include "app/ProblemsPanel.h"
#include "app/Prompter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"
#include "ui/DialogUnits.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

// The resources live in a static library: bring them in by hand.
static void InitResources()
{
    Q_INIT_RESOURCE(talkwright);
}

namespace {

const QString kTitleSuffix = QStringLiteral(" - Quorvel Dialog Editor");

} // namespace

CMainDialog::CMainDialog(std::string cmdLineFile, Prompter &prompter, QWidget *parent)
    : QMainWindow(parent)
    , m_strCmdLineFile(std::move(cmdLineFile))
    , m_prompter(prompter)
    , m_files(m_session, prompter, *this)
    , m_recovery(m_session, prompter, m_files, *this)
    , m_view(new CPageView(this))
    , m_pages(m_session, prompter, *this, *m_view)
{
    InitResources();
    setFont(DialogUnits::TemplateFont());
    setObjectName(QStringLiteral("mainDialog"));
    setWindowTitle(QStringLiteral("Quorvel Dialog Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/res/icon128.png")));

    // The page view above the options that lead to its page.
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    m_linksHere = new LinksHereLabel(m_session, central);
    m_linksHere->setContentsMargins(DialogUnits(font()).X(7), 2, 4, 4);
    layout->addWidget(m_linksHere);
    setCentralWidget(central);

    // The outline's model follows undo and redo before the window shows them.
    m_outline = new OutlinePanel(m_session, m_pages, this);
    addDockWidget(Qt::LeftDockWidgetArea, m_outline);
    m_outline->setMinimumWidth(DialogUnits(font()).X(100));
    m_find = new FindBar(m_session, prompter, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_find);
    m_find->hide();
    m_problems = new ProblemsPanel(m_session, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_problems);
    m_map = new MapPanel(m_session, this);
    addDockWidget(Qt::RightDockWidgetArea, m_map);
    ConnectCommands();
    CreateMenu();
    connect(&m_session.GetUndoStack(), &QUndoStack::cleanChanged, this, &CMainDialog::UpdateTitle);
    connect(&m_session, &EditingSession::edited, this, &CMainDialog::ShowEdit);
    m_view->optionList->viewport()->installEventFilter(this);

    QSettings settings;
    restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    restoreState(settings.value(QStringLiteral("window/state")).toByteArray());
}

// The session goes after the window's other members: it must not call back,
// and the panels that show it go first.
CMainDialog::~CMainDialog()
{
    m_session.GetUndoStack().disconnect(this);
    m_session.disconnect(this);
    delete m_outline;
    delete m_find;
    delete m_problems;
    delete m_map;
}

void CMainDialog::SaveLayout()
{
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/state"), saveState());
}

void CMainDialog::ConnectCommands()
{
    connect(m_view->optionList, &QListWidget::itemSelectionChanged, this, &CMainDialog::UpdateOptionCommands);
    connect(m_view->optionList, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_view->SelectedRow() >= 0)
            OnGoToResultPage();
    });
    connect(m_view->optionList, &QWidget::customContextMenuRequested, m_view, &CPageView::OnContextMenu);
    PageCommands *pages = &m_pages;
    connect(m_view->goToResultButton, &QPushButton::clicked, pages, &PageCommands::OnGoToResultPage);
    connect(m_view->editSpeechButton, &QPushButton::clicked, pages, &PageCommands::OnEditSpeech);
    connect(m_view->addOptionButton, &QPushButton::clicked, pages, &PageCommands::OnAddOption);
    connect(m_view->editOptionButton, &QPushButton::clicked, pages, &PageCommands::OnEditOption);
    connect(m_view->goToButton, &QPushButton::clicked, pages, &PageCommands::OnGoTo);
    connect(m_view->changeButton, &QPushButton::clicked, pages, &PageCommands::OnChangePageInfo);
    connect(m_view->deleteOptionButton, &QPushButton::clicked, pages, &PageCommands::OnDeleteOption);
    connect(m_view->moveUpButton, &QPushButton::clicked, pages, &PageCommands::OnMoveOptionUp);
    connect(m_view->moveDownButton, &QPushButton::clicked, pages, &PageCommands::OnMoveOptionDown);
    connect(m_view->newPageButton, &QPushButton::clicked, pages, &PageCommands::OnNewPage);
    connect(m_view->openButton, &QPushButton::clicked, this, &CMainDialog::OpenFile);
    connect(m_view->saveButton, &QPushButton::clicked, this, &CMainDialog::OnOK);
    connect(m_view->exitButton, &QPushButton::clicked, this, &CMainDialog::OnCancel);
    connect(m_linksHere, &LinksHereLabel::optionActivated, this, [this](DialogLine *page, DialogLine *option) { ShowEdit(page, option); });
    connect(m_outline, &OutlinePanel::pageActivated, this, [this](DialogLine *page) { ShowEdit(page, page); });
    connect(m_find, &FindBar::matchActivated, this, [this](DialogLine *page, DialogLine *line) { ShowEdit(page, line); });
    connect(m_problems, &ProblemsPanel::problemActivated, this, [this](DialogLine *page, DialogLine *line) { ShowEdit(page, line); });
    connect(m_map, &MapPanel::pageActivated, this, [this](DialogLine *page) { ShowEdit(page, page); });
}

void CMainDialog::CreateMenu()
{
    QMenuBar *menuBar = this->menuBar();
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
    connect(add(file, "actionRecover", QStringLiteral("Re&cover unsaved work..."), QKeySequence()), &QAction::triggered,
            &m_recovery, &RecoveryKeeper::ShowUnkept);
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
    connect(m_actDeleteOption, &QAction::triggered, m_view->deleteOptionButton, &QPushButton::click);
    QAction *goToResult = add(edit, "actionGoToResult", QStringLiteral("Go to &result dialog page"), QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(goToResult, &QAction::triggered, &m_pages, &PageCommands::OnGoToResultPage);
    m_actMoveUp = add(edit, "actionMoveUp", QStringLiteral("Move option &up"), QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(m_actMoveUp, &QAction::triggered, m_view->moveUpButton, &QPushButton::click);
    m_actMoveDown = add(edit, "actionMoveDown", QStringLiteral("Move option &down"), QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(m_actMoveDown, &QAction::triggered, m_view->moveDownButton, &QPushButton::click);
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
    edit->addSeparator();
    connect(add(edit, "actionFind", QStringLiteral("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F)), &QAction::triggered, this,
            [this] { m_find->Open(false); });
    connect(add(edit, "actionReplace", QStringLiteral("Re&place..."), QKeySequence(Qt::CTRL | Qt::Key_H)), &QAction::triggered, this,
            [this] { m_find->Open(true); });
    connect(add(edit, "actionFindNext", QStringLiteral("Find &next"), QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            [this] { m_find->Step(1); });
    connect(add(edit, "actionFindPrevious", QStringLiteral("Find pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3)),
            &QAction::triggered, this, [this] { m_find->Step(-1); });

    QMenu *page = menuBar->addMenu(QStringLiteral("&Page"));
    connect(add(page, "actionNewPage", QStringLiteral("&New page"), {}), &QAction::triggered, m_view->newPageButton, &QPushButton::click);
    connect(add(page, "actionChangePageInfo", QStringLiteral("&Change name and description..."), {}), &QAction::triggered,
            m_view->changeButton, &QPushButton::click);
    connect(add(page, "actionDuplicatePage", QStringLiteral("D&uplicate page"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)),
            &QAction::triggered, this, [this] { m_pages.OnDuplicatePage(); });
    connect(add(page, "actionDeletePage", QStringLiteral("&Delete page..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)),
            &QAction::triggered, this, [this] { m_pages.OnDeletePage(); });
    page->addSeparator();
    QAction *pageUp = add(page, "actionMovePageUp", QStringLiteral("Move page &up"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up));
    pageUp->setStatusTip(QStringLiteral("Moves the page earlier in the file; the first page is where the conversation starts"));
    connect(pageUp, &QAction::triggered, this, [this] { m_pages.OnMovePage(-1); });
    QAction *pageDown = add(page, "actionMovePageDown", QStringLiteral("Move page do&wn"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down));
    pageDown->setStatusTip(QStringLiteral("Moves the page later in the file; moving the first page changes where the conversation starts"));
    connect(pageDown, &QAction::triggered, this, [this] { m_pages.OnMovePage(1); });

    QMenu *view = menuBar->addMenu(QStringLiteral("&View"));
    for (QDockWidget *panel : std::initializer_list<QDockWidget *>{m_outline, m_find, m_problems, m_map}) {
        QAction *toggle = panel->toggleViewAction();
        toggle->setObjectName(QStringLiteral("action_") + panel->objectName());
        view->addAction(toggle);
    }
    m_outline->toggleViewAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction(m_outline->toggleViewAction());

    QMenu *tools = menuBar->addMenu(QStringLiteral("&Tools"));
    connect(add(tools, "actionPlay", QStringLiteral("&Play"), QKeySequence(Qt::Key_F5)), &QAction::triggered, this, [this] { m_pages.OnPlay(false); });
    connect(add(tools, "actionPlayFromFirstPage", QStringLiteral("Play from &first page"), QKeySequence(Qt::SHIFT | Qt::Key_F5)),
            &QAction::triggered, this, [this] { m_pages.OnPlay(true); });

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
    if (Document()->IsUntitled())
        m_recovery.OfferForUntitled();
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
    m_outline->ShowCurrentPage();
    m_linksHere->ShowPage(CurrentPage());
    m_map->ShowCurrentPage();
}

void CMainDialog::UpdateOptionCommands()
{
    m_view->addOptionButton->setEnabled(true);
    const int row = m_view->SelectedRow();
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
    return QMainWindow::eventFilter(watched, event);
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
    close();
}

void CMainDialog::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_files.HasLoadNote())
        QTimer::singleShot(0, &m_files, &FileCommands::TellLoadNote);
}

void CMainDialog::closeEvent(QCloseEvent *event)
{
    if (!CanClose()) {
        event->ignore();
        return;
    }
    SaveLayout();
    event->accept();
}

// In the page view, Enter saves, as "&Save" does, unless a push button has
// the focus: then it presses that button. Escape is Exit.
void CMainDialog::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool inPanel = m_outline->isAncestorOf(focusWidget()) || m_find->isAncestorOf(focusWidget());
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain && !inPanel) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            OnOK();
        return;
    }
    if (event->key() == Qt::Key_Escape && plain) {
        // From a panel, Escape goes back to the page (closing the find bar).
        if (!inPanel)
            OnCancel();
        else if (m_find->isAncestorOf(focusWidget()))
            m_find->hide();
        m_view->optionList->setFocus();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---- Navigation and option commands ------------------------------------

void CMainDialog::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
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
        QMainWindow::mousePressEvent(event);
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

