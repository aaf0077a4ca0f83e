#include "app/CMainDialog.h"

#include "app/COptionListBox.h"
#include "app/CPageView.h"
#include "app/LinksHereLabel.h"
#include "commands/ClipboardCommands.h"
#include "commands/CompareCommand.h"
#include "commands/EditorActions.h"
#include "commands/ExportCommands.h"
#include "commands/FolderCommands.h"
#include "commands/OptionCommands.h"
#include "commands/PageCommands.h"
#include "commands/RecoveryOffer.h"
#include "commands/SpellingCommands.h"
#include "dialogs/CAboutDlg.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "panels/ConversationsPanel.h"
#include "panels/DifferencesPanel.h"
#include "panels/FindBar.h"
#include "panels/MapPanel.h"
#include "panels/OutlinePanel.h"
#include "panels/ProblemsPanel.h"
#include "session/DocumentSpelling.h"
#include "panels/UsesPanel.h"
#include "session/EditingSession.h"
#include "session/GameFolder.h"
#include "session/RecoveryKeeper.h"
#include "ui/AnsiText.h"
#include "ui/DialogUnits.h"
#include "ui/Prompter.h"
#include "ui/SharedDictionary.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

// The resources live in a static library: bring them in by hand.
static void InitResources()
{
    Q_INIT_RESOURCE(talkwright);
}

namespace {

const QString kTitleSuffix = QStringLiteral(" - Quorvel Dialog Editor");

} // namespace

CMainDialog::CMainDialog(EditingSession &session, std::string cmdLineFile, Prompter &prompter, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_strCmdLineFile(std::move(cmdLineFile))
    , m_prompter(prompter)
    , m_files(new FileCommands(session, prompter, this))
    , m_pages(new PageCommands(session, prompter, this))
    , m_options(new OptionCommands(session, prompter, this))
    , m_clipboard(new ClipboardCommands(session, prompter, *m_pages, this))
    , m_keeper(new RecoveryKeeper(session, this))
    , m_offer(new RecoveryOffer(session, prompter, *m_files, *m_keeper, this))
    , m_exports(new ExportCommands(session, prompter, this))
    , m_spelling(new SpellingCommands(this))
    , m_gameFolder(new GameFolder(this))
    , m_folderCommands(new FolderCommands(session, prompter, *m_gameFolder, *m_files, *m_keeper, this))
    , m_compare(new CompareCommand(session, prompter, this))
    , m_actions(new EditorActions(session, *m_files, *m_pages, *m_options, *m_clipboard, *m_offer, *m_exports, *m_spelling, *m_folderCommands, *m_compare,
                                  this))
    , m_view(new CPageView(session, this))
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
    m_linksHere = new LinksHereLabel(session, central);
    m_linksHere->setContentsMargins(DialogUnits(font()).X(7), 2, 4, 4);
    layout->addWidget(m_linksHere);
    setCentralWidget(central);
    m_view->BindActions(*m_actions);
    m_view->optionList->viewport()->installEventFilter(this);

    CreatePanels();
    CreateMenu();
    connect(m_view, &CPageView::enterPressed, m_actions->save, &QAction::trigger);
    connect(&session, &EditingSession::nameChanged, this, &CMainDialog::UpdateTitle);
    connect(&session, &EditingSession::modifiedChanged, this, &CMainDialog::UpdateTitle);
    connect(&session, &EditingSession::documentReplaced, this, &CMainDialog::UpdateTitle);
    connect(&session, &EditingSession::currentPageChanged, this, &CMainDialog::OnPageShown);
    connect(m_files, &FileCommands::message, this, &CMainDialog::SetStatusMessage);
    connect(m_clipboard, &ClipboardCommands::message, this, &CMainDialog::SetStatusMessage);
    connect(m_exports, &ExportCommands::message, this, &CMainDialog::SetStatusMessage);
    connect(m_keeper, &RecoveryKeeper::message, this, &CMainDialog::SetStatusMessage);
    connect(&DocumentSpelling::Of(session), &DocumentSpelling::message, this, &CMainDialog::SetStatusMessage);
    connect(&SharedDictionary::Instance(), &SharedDictionary::unavailable, this, &CMainDialog::SetStatusMessage);
    connect(m_files, &FileCommands::opened, m_offer, &RecoveryOffer::OfferForFile);
    connect(m_files, &FileCommands::saved, m_gameFolder, &GameFolder::Refresh);
    connect(m_folderCommands, &FolderCommands::message, this, &CMainDialog::SetStatusMessage);
    RestoreLayout();
}

// The panels and commands are the window's children; the session outlives them.
CMainDialog::~CMainDialog()
{
    m_session.disconnect(this);
}

void CMainDialog::CreatePanels()
{
    // The panels stand beside the page, not under it: the page is as tall
    // as a small screen allows, and the window then fits 1024 by 768.
    m_outline = new OutlinePanel(m_session, this);
    addDockWidget(Qt::LeftDockWidgetArea, m_outline);
    m_problems = new ProblemsPanel(m_session, this);
    addDockWidget(Qt::LeftDockWidgetArea, m_problems);
    m_map = new MapPanel(m_session, this);
    addDockWidget(Qt::RightDockWidgetArea, m_map);
    m_find = new FindBar(m_session, m_prompter, *m_gameFolder, this);
    addDockWidget(Qt::RightDockWidgetArea, m_find);
    m_find->hide();
    // The game's panels share the map's place, behind it: the window stays
    // as small as it was (a row of tabs on the narrow left would widen it).
    m_conversations = new ConversationsPanel(m_session, *m_gameFolder, this);
    m_uses = new UsesPanel(m_session, *m_gameFolder, this);
    for (QDockWidget *panel : std::initializer_list<QDockWidget *>{m_conversations, m_uses}) {
        addDockWidget(Qt::RightDockWidgetArea, panel);
        tabifyDockWidget(m_map, panel);
    }
    m_map->raise();
    connect(m_conversations, &ConversationsPanel::openRequested, m_files, &FileCommands::OpenAt);
    connect(m_uses, &UsesPanel::openRequested, m_files, &FileCommands::OpenAt);
    connect(m_find, &FindBar::openRequested, m_files, &FileCommands::OpenAt);
    connect(m_find, &FindBar::replaceInFolder, m_folderCommands, &FolderCommands::Replace);
    connect(m_folderCommands, &FolderCommands::folderChosen, m_conversations, [this] {
        m_conversations->show();
        m_conversations->raise();
    });
    // Under the problems, shown when a comparison begins.
    m_differences = new DifferencesPanel(m_session, this);
    splitDockWidget(m_problems, m_differences, Qt::Vertical);
    m_differences->hide();
    connect(m_compare, &CompareCommand::compared, m_differences, [this](std::shared_ptr<const DialogFile> other, const QString &name) {
        m_differences->CompareWith(std::move(other), name);
        m_differences->show();
        m_differences->raise();
        m_differences->widget()->setFocus(Qt::OtherFocusReason);
    });
    m_outline->SetContextActions({m_actions->duplicatePage, m_actions->deletePage, nullptr, m_actions->movePageUp, m_actions->movePageDown,
                                  nullptr, m_actions->copyPage, m_actions->cutPage, m_actions->pastePage});
    // Copy and cut in the outline take its page, not the options.
    m_outline->TakeKeys({{m_actions->copy->shortcut(), m_actions->copyPage}, {m_actions->cut->shortcut(), m_actions->cutPage}});
    connect(m_actions->find, &QAction::triggered, m_find, [this] { m_find->Open(false); });
    connect(m_actions->replace, &QAction::triggered, m_find, [this] { m_find->Open(true); });
    connect(m_actions->findNext, &QAction::triggered, m_find, [this] { m_find->Step(1); });
    connect(m_actions->findPrevious, &QAction::triggered, m_find, [this] { m_find->Step(-1); });
    connect(m_actions->about, &QAction::triggered, this, &CMainDialog::OnAbout);
    for (QDockWidget *panel : Panels()) {
        connect(panel, &QDockWidget::dockLocationChanged, this, &CMainDialog::ChainFocus);
        connect(panel, &QDockWidget::topLevelChanged, this, &CMainDialog::ChainFocus);
    }
}

// Every dock of the window is a panel: Tab reaches it, Escape leaves it.
QList<QDockWidget *> CMainDialog::Panels() const
{
    return findChildren<QDockWidget *>(QString(), Qt::FindDirectChildrenOnly);
}

void CMainDialog::CreateMenu()
{
    const EditorActions &a = *m_actions;
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->addActions({a.newFile, a.open, a.openFolder, a.save, a.saveAs, a.compareWith, a.recover});
    QMenu *exports = file->addMenu(QStringLiteral("&Export"));
    exports->setObjectName(QStringLiteral("exportMenu"));
    exports->addActions({a.exportPoTemplate, a.exportRecordingScript});
    file->addSeparator();
    QMenu *recent = file->addMenu(QStringLiteral("&Recent Files"));
    recent->setObjectName(QStringLiteral("recentMenu"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { m_files->FillRecentMenu(recent); });
    m_files->FillRecentMenu(recent); // so that its entries can be reached before it is first shown
    file->addSeparator();
    file->addAction(a.exit);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addActions({a.undo, a.redo});
    edit->addSeparator();
    edit->addActions({a.cut, a.copy, a.paste});
    edit->addSeparator();
    edit->addActions({a.addOption, a.editOption, a.deleteOption, a.goToResult, a.moveOptionUp, a.moveOptionDown});
    edit->addSeparator();
    edit->addActions({a.editSpeech, a.goTo});
    edit->addSeparator();
    edit->addActions({a.back, a.forward});
    edit->addSeparator();
    edit->addActions({a.find, a.replace, a.findNext, a.findPrevious, a.undoReplace});

    QMenu *page = bar->addMenu(QStringLiteral("&Page"));
    page->addActions({a.newPage, a.changePageInfo, a.duplicatePage, a.deletePage});
    page->addSeparator();
    page->addActions({a.copyPage, a.cutPage, a.pastePage});
    page->addSeparator();
    page->addActions({a.movePageUp, a.movePageDown});

    // Each panel's item shows or hides it; shown, it takes the focus, so
    // that the keys reach every panel.
    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    const struct {
        QDockWidget *panel;
        const char *text;
        QKeySequence keys;
    } panels[] = {{m_outline, "&Outline", QKeySequence(Qt::CTRL | Qt::Key_L)},
                  {m_find, "&Find bar", QKeySequence()},
                  {m_problems, "&Problems", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
                  {m_map, "&Map", QKeySequence(Qt::CTRL | Qt::Key_M)},
                  {m_conversations, "&Conversations", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
                  {m_uses, "Conditions and &results", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U)},

                  {m_differences, "&Differences", QKeySequence()}};
    for (const auto &entry : panels) {
        QDockWidget *panel = entry.panel;
        QAction *toggle = view->addAction(QString::fromLatin1(entry.text));
        toggle->setObjectName(QStringLiteral("action_") + panel->objectName());
        toggle->setShortcut(entry.keys);
        toggle->setShortcutContext(Qt::WindowShortcut);
        addAction(toggle);
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

    view->addSeparator();
    view->addAction(a.bothSpeeches);

    QMenu *tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->addActions({a.play, a.playFromFirstPage});
    tools->addSeparator();
    tools->addAction(a.spelling);
    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(a.about);
}

bool CMainDialog::OnInitDialog()
{
    if (!m_strCmdLineFile.empty()) {
        const QString shown = AnsiText::FileNameToDisplay(m_strCmdLineFile);
        switch (m_files->OpenPath(m_strCmdLineFile, shown)) {
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
    if (!m_session.GetDocument())
        NewFile();
    if (m_session.GetDocument()->IsUntitled())
        m_offer->OfferForUntitled();
    SetStatusMessage(QStringLiteral("Quorvel Dialog Editor"));
    GetStatusLine().StartCredits();
    return true;
}

const QString &CMainDialog::GetDisplayName() const
{
    return m_session.GetDisplayName();
}

// ---- The page view ------------------------------------------------------

void CMainDialog::UpdateTitle()
{
    QString title;
    if (m_session.IsModified())
        title = QStringLiteral("*");
    title += m_session.GetDisplayName() + kTitleSuffix;
    // "[*]" would be taken for the window's modified mark.
    setWindowTitle(title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void CMainDialog::RefreshPage()
{
    m_session.Redisplay();
}

// The focus stays where the writer is: in a panel, it stays there; from
// the page, a dialog or nowhere, it goes to the option list.
void CMainDialog::OnPageShown()
{
    UpdateTitle();
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
    for (QDockWidget *panel : Panels()) {
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
    QList<QWidget *> order;
    order << m_view->exitButton;
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

QDockWidget *CMainDialog::PanelOf(const QWidget *widget) const
{
    for (QDockWidget *panel : Panels()) {
        if (widget && (widget == panel || panel->isAncestorOf(widget)))
            return panel;
    }
    return nullptr;
}

// ---- The status line ----------------------------------------------------

StatusLine &CMainDialog::GetStatusLine()
{
    return m_view->statusLabel->GetStatusLine();
}

// Status messages are UTF-8 from here to the screen: they name files,
// whose names are the system's, not the dialog file's.
void CMainDialog::SetStatusMessage(const QString &text)
{
    GetStatusLine().SetStatusMessage(text.toStdString());
}

// ---- Layout -------------------------------------------------------------

void CMainDialog::RestoreLayout()
{
    QSettings settings;
    restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    restoreState(settings.value(QStringLiteral("window/state")).toByteArray());
    ChainFocus();
}

// The window, as remembered or as it first comes, fits the screen it opens
// on: never larger than the room there, never placed off it.
void CMainDialog::FitToScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize room = (available.size() - frame).expandedTo(minimumSizeHint());
    const QSize size = this->size().boundedTo(room);
    if (size != this->size())
        resize(size);
    const QRect placed = frameGeometry();
    if (!available.contains(placed)) {
        const int x = std::clamp(placed.x(), available.left(), std::max(available.left(), available.right() - placed.width() + 1));
        const int y = std::clamp(placed.y(), available.top(), std::max(available.top(), available.bottom() - placed.height() + 1));
        move(x, y);
    }
}

void CMainDialog::SaveLayout()
{
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/state"), saveState());
}

bool CMainDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->optionList->viewport() && event->type() == QEvent::MouseButtonPress
        && OnMouseButton(static_cast<QMouseEvent *>(event)->button()))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

// ---- File commands ------------------------------------------------------

bool CMainDialog::CanClose()
{
    if (m_session.GetDocument()) {
        if (!QuerySaveChanges())
            return false;
        m_session.CloseDocument();
    }
    return true;
}

void CMainDialog::OnOK()
{
    m_actions->save->trigger();
}

void CMainDialog::OnCancel()
{
    close();
}

void CMainDialog::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && !m_fitted) {
        m_fitted = true;
        FitToScreen();
    }
    if (m_session.HasLoadNote())
        QTimer::singleShot(0, m_files, &FileCommands::TellLoadNote);
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

void CMainDialog::OnGoToResultPage()
{
    m_options->OnGoToResultPage();
}

void CMainDialog::OnDeleteOption()
{
    m_options->OnDeleteOption();
}

void CMainDialog::OnMoveOptionUp()
{
    m_options->OnMoveOptionUp();
}

void CMainDialog::OnMoveOptionDown()
{
    m_options->OnMoveOptionDown();
}

void CMainDialog::OnContextMenu(const QPoint &listPosition)
{
    m_view->OnContextMenu(listPosition);
}

void CMainDialog::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
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
        m_actions->back->trigger();
    else if (button == Qt::ForwardButton)
        m_actions->forward->trigger();
    else
        return false;
    return true;
}
