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

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMap>
#include <algorithm>
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
    m_outline = new OutlinePanel(m_session, this);
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
    for (QDockWidget *panel : std::initializer_list<QDockWidget *>{m_outline, m_find, m_problems, m_map}) {
        connect(panel, &QDockWidget::dockLocationChanged, this, &CMainDialog::ChainFocus);
        connect(panel, &QDockWidget::topLevelChanged, this, &CMainDialog::ChainFocus);
    }
    ChainFocus();
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

namespace {

// A push button that shows an action: pressing it runs the action, and it
// is enabled exactly while the action is.
void Bind(QPushButton *button, QAction *action)
{
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    button->setEnabled(action->isEnabled());
}

} // namespace

void CMainDialog::ConnectCommands()
{
    connect(m_view->optionList, &QListWidget::itemSelectionChanged, this, &CMainDialog::UpdateOptionCommands);
    connect(m_view->optionList, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_view->SelectedRow() >= 0)
            OnGoToResultPage();
    });
    connect(m_view->optionList, &QWidget::customContextMenuRequested, m_view, &CPageView::OnContextMenu);
    connect(m_view, &CPageView::enterPressed, this, &CMainDialog::OnOK);
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
    PageCommands *pages = &m_pages;

    QMenu *file = menuBar->addMenu(QStringLiteral("&File"));
    connect(add(file, "actionNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)), &QAction::triggered, this,
            &CMainDialog::NewFile);
    QAction *open = add(file, "actionOpen", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &CMainDialog::OpenFile);
    QAction *save = add(file, "actionSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, &CMainDialog::OnOK);
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
    QAction *exit = add(file, "actionExit", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(exit, &QAction::triggered, this, &CMainDialog::OnCancel);

    QMenu *edit = menuBar->addMenu(QStringLiteral("&Edit"));
    QUndoStack &undoStack = m_session.GetUndoStack();
    QAction *undo = undoStack.createUndoAction(this, QStringLiteral("U&ndo"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = undoStack.createRedoAction(this, QStringLiteral("Red&o"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        edit->addAction(action);
        addAction(action);
    }
    edit->addSeparator();
    m_actAddOption = add(edit, "actionAddOption", QStringLiteral("&Add PC speech option"), QKeySequence(Qt::Key_Insert));
    connect(m_actAddOption, &QAction::triggered, pages, &PageCommands::OnAddOption);
    m_actEditOption = add(edit, "actionEditOption", QStringLiteral("&Edit PC speech option"), QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(m_actEditOption, &QAction::triggered, pages, &PageCommands::OnEditOption);
    m_actDeleteOption = add(edit, "actionDeleteOption", QStringLiteral("&Delete PC speech option"), QKeySequence(Qt::Key_Delete));
    connect(m_actDeleteOption, &QAction::triggered, pages, &PageCommands::OnDeleteOption);
    m_actGoToResult = add(edit, "actionGoToResult", QStringLiteral("Go to &result dialog page"), QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(m_actGoToResult, &QAction::triggered, pages, &PageCommands::OnGoToResultPage);
    m_actMoveUp = add(edit, "actionMoveUp", QStringLiteral("Move option &up"), QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(m_actMoveUp, &QAction::triggered, pages, &PageCommands::OnMoveOptionUp);
    m_actMoveDown = add(edit, "actionMoveDown", QStringLiteral("Move option do&wn"), QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(m_actMoveDown, &QAction::triggered, pages, &PageCommands::OnMoveOptionDown);
    edit->addSeparator();
    QAction *editNpcSpeech = add(edit, "actionEditNpcSpeech", QStringLiteral("Edit NPC &speech"), QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(editNpcSpeech, &QAction::triggered, pages, &PageCommands::OnEditSpeech);
    QAction *goTo = add(edit, "actionGotoPage", QStringLiteral("&Goto dialog page.."), QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(goTo, &QAction::triggered, pages, &PageCommands::OnGoTo);
    edit->addSeparator();
    connect(add(edit, "actionBack", QStringLiteral("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left)), &QAction::triggered, this,
            &CMainDialog::OnBack);
    connect(add(edit, "actionForward", QStringLiteral("&Forward"), QKeySequence(Qt::ALT | Qt::Key_Right)), &QAction::triggered, this,
            &CMainDialog::OnForward);
    edit->addSeparator();
    connect(add(edit, "actionFind", QStringLiteral("F&ind..."), QKeySequence(Qt::CTRL | Qt::Key_F)), &QAction::triggered, this,
            [this] { m_find->Open(false); });
    connect(add(edit, "actionReplace", QStringLiteral("Re&place..."), QKeySequence(Qt::CTRL | Qt::Key_H)), &QAction::triggered, this,
            [this] { m_find->Open(true); });
    connect(add(edit, "actionFindNext", QStringLiteral("Find ne&xt"), QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            [this] { m_find->Step(1); });
    connect(add(edit, "actionFindPrevious", QStringLiteral("Find pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3)),
            &QAction::triggered, this, [this] { m_find->Step(-1); });

    QMenu *page = menuBar->addMenu(QStringLiteral("&Page"));
    QAction *newPage = add(page, "actionNewPage", QStringLiteral("&New page"), {});
    connect(newPage, &QAction::triggered, pages, &PageCommands::OnNewPage);
    QAction *change = add(page, "actionChangePageInfo", QStringLiteral("&Change name and description..."), {});
    connect(change, &QAction::triggered, pages, &PageCommands::OnChangePageInfo);
    QAction *duplicate = add(page, "actionDuplicatePage", QStringLiteral("D&uplicate page"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    connect(duplicate, &QAction::triggered, this, [this] { m_pages.OnDuplicatePage(); });
    QAction *deletePage = add(page, "actionDeletePage", QStringLiteral("&Delete page..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    connect(deletePage, &QAction::triggered, this, [this] { m_pages.OnDeletePage(); });
    page->addSeparator();
    QAction *pageUp = add(page, "actionMovePageUp", QStringLiteral("Move page u&p"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up));
    pageUp->setStatusTip(QStringLiteral("Moves the page earlier in the file; the first page is where the conversation starts"));
    connect(pageUp, &QAction::triggered, this, [this] { m_pages.OnMovePage(-1); });
    QAction *pageDown = add(page, "actionMovePageDown", QStringLiteral("Move page do&wn"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down));
    pageDown->setStatusTip(QStringLiteral("Moves the page later in the file; moving the first page changes where the conversation starts"));
    connect(pageDown, &QAction::triggered, this, [this] { m_pages.OnMovePage(1); });
    m_outline->SetContextActions({duplicate, deletePage, nullptr, pageUp, pageDown});

    // Each panel's item shows or hides it; shown, it takes the focus, so
    // that the keys reach every panel.
    QMenu *view = menuBar->addMenu(QStringLiteral("&View"));
    const struct {
        QDockWidget *panel;
        const char *text;
        QKeySequence keys;
    } panels[] = {{m_outline, "&Outline", QKeySequence(Qt::CTRL | Qt::Key_L)},
                  {m_find, "&Find bar", QKeySequence()},
                  {m_problems, "&Problems", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
                  {m_map, "&Map", QKeySequence(Qt::CTRL | Qt::Key_M)}};
    for (const auto &entry : panels) {
        QDockWidget *panel = entry.panel;
        QAction *toggle = add(view, "", QString::fromLatin1(entry.text), entry.keys);
        toggle->setObjectName(QStringLiteral("action_") + panel->objectName());
        toggle->setCheckable(true);
        toggle->setChecked(!panel->isHidden());
        connect(panel, &QDockWidget::visibilityChanged, toggle, [panel, toggle] { toggle->setChecked(!panel->isHidden()); });
        connect(toggle, &QAction::triggered, this, [this, panel](bool on) {
            panel->setVisible(on);
            if (on) {
                panel->raise();
                panel->widget()->setFocus(Qt::ShortcutFocusReason);
            } else {
                m_view->optionList->setFocus();
            }
        });
    }

    QMenu *tools = menuBar->addMenu(QStringLiteral("&Tools"));
    connect(add(tools, "actionPlay", QStringLiteral("&Play"), QKeySequence(Qt::Key_F5)), &QAction::triggered, this, [this] { m_pages.OnPlay(false); });
    connect(add(tools, "actionPlayFromFirstPage", QStringLiteral("Play from &first page"), QKeySequence(Qt::SHIFT | Qt::Key_F5)),
            &QAction::triggered, this, [this] { m_pages.OnPlay(true); });

    QMenu *help = menuBar->addMenu(QStringLiteral("&Help"));
    connect(help->addAction(QStringLiteral("&About")), &QAction::triggered, this, &CMainDialog::OnAbout);
    help->actions().constLast()->setObjectName(QStringLiteral("actionAbout"));

    // The page's buttons are views of the same commands.
    Bind(m_view->addOptionButton, m_actAddOption);
    Bind(m_view->editOptionButton, m_actEditOption);
    Bind(m_view->deleteOptionButton, m_actDeleteOption);
    Bind(m_view->goToResultButton, m_actGoToResult);
    Bind(m_view->moveUpButton, m_actMoveUp);
    Bind(m_view->moveDownButton, m_actMoveDown);
    Bind(m_view->editSpeechButton, editNpcSpeech);
    Bind(m_view->goToButton, goTo);
    Bind(m_view->changeButton, change);
    Bind(m_view->newPageButton, newPage);
    Bind(m_view->openButton, open);
    Bind(m_view->saveButton, save);
    Bind(m_view->exitButton, exit);
    m_view->SetOptionActions(m_actAddOption, {m_actEditOption, m_actDeleteOption, m_actMoveUp, m_actMoveDown, m_actGoToResult});
    UpdateOptionCommands();
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

// The focus stays where the writer is: in a panel, it stays there; from
// the page, a dialog or nowhere, it goes to the option list.
void CMainDialog::RefreshPage()
{
    m_session.Visit(CurrentPage());
    UpdateTitle();
    m_view->ShowPage(CurrentPage());
    UpdateOptionCommands();
    m_outline->ShowCurrentPage();
    m_linksHere->ShowPage(CurrentPage());
    m_map->ShowCurrentPage();
    ChainFocus();
    if (!PanelOf(QApplication::focusWidget()))
        m_view->optionList->setFocus();
}

// Tab follows the page from top to bottom (see CPageView), then what leads
// to it, then the panels where they stand: left, top, right, bottom, each
// from the top left; a floating panel is a window of its own.
void CMainDialog::ChainFocus()
{
    QList<QDockWidget *> panels;
    for (QDockWidget *panel : std::initializer_list<QDockWidget *>{m_outline, m_find, m_problems, m_map}) {
        if (!panel->isFloating())
            panels << panel;
    }
    const auto rank = [this](QDockWidget *panel) {
        switch (dockWidgetArea(panel)) {
        case Qt::LeftDockWidgetArea:
            return 0;
        case Qt::TopDockWidgetArea:
            return 1;
        case Qt::RightDockWidgetArea:
            return 2;
        default:
            return 3;
        }
    };
    std::stable_sort(panels.begin(), panels.end(), [&rank](QDockWidget *a, QDockWidget *b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        const QPoint pa = a->geometry().topLeft(), pb = b->geometry().topLeft();
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    // Each panel's controls keep the order they have among themselves.
    QList<QWidget *> order{m_view->exitButton};
    for (QLabel *link : m_linksHere->GetLinks())
        order << link;
    QMap<QDockWidget *, QList<QWidget *>> inside;
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (QDockWidget *panel = PanelOf(w); panel && w != panel && (w->focusPolicy() & Qt::TabFocus))
            inside[panel] << w;
    }
    for (QDockWidget *panel : std::as_const(panels))
        order << inside.value(panel);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CMainDialog::UpdateOptionCommands()
{
    const int row = m_view->SelectedRow();
    const bool any = row >= 0;
    m_actEditOption->setEnabled(any);
    m_actDeleteOption->setEnabled(any);
    m_actGoToResult->setEnabled(any);
    m_actMoveUp->setEnabled(any && row > 0);
    m_actMoveDown->setEnabled(any && row + 1 < m_view->optionList->count());
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

QDockWidget *CMainDialog::PanelOf(const QWidget *widget) const
{
    for (QDockWidget *panel : std::initializer_list<QDockWidget *>{m_outline, m_find, m_problems, m_map}) {
        if (widget && (widget == panel || panel->isAncestorOf(widget)))
            return panel;
    }
    return nullptr;
}

// Escape is Exit, but from a panel it goes back to the page (closing the
// find bar). Enter saves only from the page view itself (see CPageView):
// an Enter that a panel or its list passes on goes no further.
void CMainDialog::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (event->key() == Qt::Key_Escape && plain) {
        QDockWidget *panel = PanelOf(focusWidget());
        if (!panel)
            OnCancel();
        else if (panel == m_find)
            m_find->hide();
        m_view->optionList->setFocus();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
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

