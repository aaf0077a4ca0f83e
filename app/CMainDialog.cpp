#include "CMainDialog.h"

#include "ui/AnsiText.h"
#include "CAboutDlg.h"
#include "COptionListBox.h"
#include "ui/DialogUnits.h"
#include "dialogs/CGotoPageDlg.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPageInfoDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "Prompter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/OptionDescription.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QUndoStack>
#include <QPlainTextEdit>
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

// The size of the window's client area in dialog units.
constexpr int kTemplateWidth = 320;
constexpr int kTemplateHeight = 330;

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
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    layout->addWidget(m_client);
    CreateControls();
    CreateMenu(layout);
    connect(&m_session.GetUndoStack(), &QUndoStack::cleanChanged, this, &CMainDialog::UpdateTitle);
    connect(&m_session, &EditingSession::edited, this, &CMainDialog::ShowEdit);
    m_optionList->viewport()->installEventFilter(this);

    m_client->installEventFilter(this);
}

// The session goes after the window's other members: it must not call back.
CMainDialog::~CMainDialog()
{
    m_session.GetUndoStack().disconnect(this);
    m_session.disconnect(this);
}

QPushButton *CMainDialog::AddButton(int id, const char *objectName, const QString &caption, QRect rect)
{
    auto *button = new QPushButton(caption, m_client);
    button->setObjectName(QLatin1String(objectName));
    button->setProperty("controlId", id);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    return button;
}

void CMainDialog::CreateControls()
{
    const DialogUnits units(font());
    m_client->setMinimumSize(units.X(kTemplateWidth), units.Y(kTemplateHeight));
    m_client->resize(m_client->minimumSize());

    // In the order of the window's template, which is the tab order.
    m_optionList = new COptionListBox(m_client);
    m_optionList->setObjectName(QStringLiteral("optionList"));
    m_optionList->setGeometry(units.Rect(13, 149, 293, 101));
    m_btnGoToResult = AddButton(1014, "goToResultButton", QStringLiteral("Go to result page"), units.Rect(13, 254, 80, 14));
    m_btnEditOption = AddButton(1013, "editOptionButton", QStringLiteral("Edit option"), units.Rect(13, 273, 80, 14));
    m_btnMoveUp = AddButton(1010, "moveUpButton", QStringLiteral("Move option up"), units.Rect(119, 254, 80, 14));
    m_btnMoveDown = AddButton(1011, "moveDownButton", QStringLiteral("Move option down"), units.Rect(119, 273, 80, 14));
    m_btnDeleteOption = AddButton(1012, "deleteOptionButton", QStringLiteral("Delete option"), units.Rect(226, 254, 80, 14));
    for (QPushButton *button : {m_btnGoToResult, m_btnEditOption, m_btnMoveUp, m_btnMoveDown, m_btnDeleteOption})
        button->setEnabled(false);
    m_btnAddOption = AddButton(1009, "addOptionButton", QStringLiteral("Add option..."), units.Rect(226, 273, 80, 14));
    m_btnChange = AddButton(1021, "changeButton", QStringLiteral("Change"), units.Rect(145, 21, 43, 14));
    m_btnEditSpeech = AddButton(1024, "editSpeechButton", QStringLiteral("Edit speech"), units.Rect(140, 81, 56, 14));
    m_btnViewFemale = AddButton(1003, "viewFemaleButton", QStringLiteral("View speech to female PC"), units.Rect(201, 81, 103, 14));
    m_btnGoTo = AddButton(1005, "goToButton", QStringLiteral("&Go To..."), units.Rect(7, 309, 50, 14));
    m_btnNewPage = AddButton(4, "newPageButton", QStringLiteral("&New page"), units.Rect(64, 309, 50, 14));
    m_btnOpen = AddButton(3, "openButton", QStringLiteral("&Open"), units.Rect(151, 309, 50, 14));
    m_btnSave = AddButton(1, "saveButton", QStringLiteral("&Save"), units.Rect(208, 309, 50, 14));
    m_btnExit = AddButton(2, "exitButton", QStringLiteral("Exit"), units.Rect(263, 309, 50, 14));

    (new QLabel(QStringLiteral("Name:"), m_client))->setGeometry(units.Rect(15, 22, 24, 12));
    m_grpNpcSpeech = new QGroupBox(QStringLiteral("NPC Speech"), m_client);
    m_grpNpcSpeech->setObjectName(QStringLiteral("npcSpeechGroup"));
    m_grpNpcSpeech->setGeometry(units.Rect(7, 68, 306, 64));
    m_editName = new QLineEdit(m_client);
    m_editName->setObjectName(QStringLiteral("nameEdit"));
    m_editName->setGeometry(units.Rect(43, 20, 95, 16));
    m_editSpeech = new QPlainTextEdit(m_client);
    m_editSpeech->setObjectName(QStringLiteral("speechEdit"));
    m_editSpeech->setGeometry(units.Rect(13, 100, 293, 26));
    m_grpOptions = new QGroupBox(QStringLiteral("PC Speech Options"), m_client);
    m_grpOptions->setObjectName(QStringLiteral("optionsGroup"));
    m_grpOptions->setGeometry(units.Rect(7, 138, 306, 154));
    m_lblSpeechCaption = new QLabel(QStringLiteral("Speech to male PC:"), m_client);
    m_lblSpeechCaption->setObjectName(QStringLiteral("speechCaption"));
    m_lblSpeechCaption->setGeometry(units.Rect(14, 82, 120, 12));
    m_lblSpeechCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grpPage = new QGroupBox(QStringLiteral("Dialog page"), m_client);
    m_grpPage->setObjectName(QStringLiteral("pageGroup"));
    m_grpPage->setGeometry(units.Rect(7, 7, 306, 56));
    (new QLabel(QStringLiteral("Description:"), m_client))->setGeometry(units.Rect(15, 41, 41, 12));
    m_editDescription = new QLineEdit(m_client);
    m_editDescription->setObjectName(QStringLiteral("descriptionEdit"));
    m_editDescription->setGeometry(units.Rect(57, 41, 247, 12));
    m_lblStatus = new StatusLabel(m_client);
    m_lblStatus->setObjectName(QStringLiteral("statusLine"));
    m_lblStatus->setGeometry(units.Rect(7, 294, 306, 10));

    // The frames lie under the controls they hold.
    for (QGroupBox *frame : {m_grpPage, m_grpNpcSpeech, m_grpOptions})
        frame->lower();

    // The page is changed only through the commands; its texts are read-only.
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(16);
    nameFont.setBold(true);
    QFont descriptionFont = nameFont;
    descriptionFont.setPixelSize(14);
    m_editName->setFont(nameFont);
    m_editDescription->setFont(descriptionFont);
    for (QLineEdit *edit : {m_editName, m_editDescription}) {
        edit->setReadOnly(true);
        edit->setFrame(false);
        edit->setFocusPolicy(Qt::ClickFocus);
    }
    // Read-only texts sit on the window's own background.
    for (QWidget *text : {static_cast<QWidget *>(m_editName), static_cast<QWidget *>(m_editDescription), static_cast<QWidget *>(m_editSpeech)}) {
        QPalette palette = text->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        text->setPalette(palette);
    }
    m_editSpeech->setReadOnly(true);
    m_editSpeech->setFrameShape(QFrame::NoFrame);
    m_editSpeech->setTabChangesFocus(true);

    connect(m_btnViewFemale, &QPushButton::clicked, this, &CMainDialog::OnViewFemaleSpeech);
    connect(m_optionList, &QListWidget::itemSelectionChanged, this, &CMainDialog::UpdateOptionCommands);
    connect(m_optionList, &QListWidget::itemDoubleClicked, this, &CMainDialog::OnOptionDblClk);
    connect(m_optionList, &QWidget::customContextMenuRequested, this, &CMainDialog::OnContextMenu);
    connect(m_btnGoToResult, &QPushButton::clicked, this, &CMainDialog::OnGoToResultPage);
    connect(m_btnEditSpeech, &QPushButton::clicked, this, &CMainDialog::OnEditSpeech);
    connect(m_btnAddOption, &QPushButton::clicked, this, &CMainDialog::OnAddOption);
    connect(m_btnEditOption, &QPushButton::clicked, this, &CMainDialog::OnEditOption);
    connect(m_btnGoTo, &QPushButton::clicked, this, &CMainDialog::OnGoTo);
    connect(m_btnChange, &QPushButton::clicked, this, &CMainDialog::OnChangePageInfo);
    connect(m_btnDeleteOption, &QPushButton::clicked, this, &CMainDialog::OnDeleteOption);
    connect(m_btnMoveUp, &QPushButton::clicked, this, &CMainDialog::OnMoveOptionUp);
    connect(m_btnMoveDown, &QPushButton::clicked, this, &CMainDialog::OnMoveOptionDown);
    connect(m_btnNewPage, &QPushButton::clicked, this, &CMainDialog::OnNewPage);
    connect(m_btnOpen, &QPushButton::clicked, this, &CMainDialog::OpenFile);
    connect(m_btnSave, &QPushButton::clicked, this, &CMainDialog::OnOK);
    connect(m_btnExit, &QPushButton::clicked, this, &CMainDialog::OnCancel);
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
    connect(addOption, &QAction::triggered, m_btnAddOption, &QPushButton::click);
    m_actEditOption = add(edit, "actionEditOption", QStringLiteral("&Edit PC speech option"), QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(m_actEditOption, &QAction::triggered, m_btnEditOption, &QPushButton::click);
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
    connect(editNpcSpeech, &QAction::triggered, m_btnEditSpeech, &QPushButton::click);
    m_actGotoPage = add(edit, "actionGotoPage", QStringLiteral("&Goto dialog page.."), QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(m_actGotoPage, &QAction::triggered, m_btnGoTo, &QPushButton::click);
    edit->addSeparator();
    connect(add(edit, "actionBack", QStringLiteral("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left)), &QAction::triggered, this,
            &CMainDialog::OnBack);
    connect(add(edit, "actionForward", QStringLiteral("&Forward"), QKeySequence(Qt::ALT | Qt::Key_Right)), &QAction::triggered, this,
            &CMainDialog::OnForward);

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
        switch (LoadFile(m_strCmdLineFile, shown)) {
        case LoadAnswer::Read:
            break;
        case LoadAnswer::Cancel:
            return false;
        case LoadAnswer::No:
            OpenFile();
            break;
        case LoadAnswer::Yes:
            m_files.SetDocumentName(m_strCmdLineFile, shown);
            m_files.BeginNewDocument();
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

    m_editName->setText(CurrentPage() ? AnsiText::ToDisplay(CurrentPage()->GetLabel()) : QString());
    m_editDescription->setText(CurrentPage() ? AnsiText::ToDisplay(CurrentPage()->GetDescription()) : QString());
    m_editName->setCursorPosition(0);
    m_editDescription->setCursorPosition(0);

    m_bShowMaleSpeech = true;
    ShowNpcSpeech();

    m_optionList->clear();
    if (CurrentPage()) {
        for (int i = 0; i < CurrentPage()->GetOptionCount(); ++i)
            InsertOptionLine(-1, CurrentPage()->GetOption(i));
    }
    m_optionList->setCurrentRow(m_optionList->count() > 0 ? 0 : -1);
    m_optionList->setFocus();
    UpdateOptionCommands();
}

void CMainDialog::ShowNpcSpeech()
{
    if (!CurrentPage() || CurrentPage()->IsSameSpeechForBoth()) {
        m_lblSpeechCaption->setText(QStringLiteral("Speech to both genders:"));
        m_btnViewFemale->setEnabled(false);
        m_editSpeech->setPlainText(CurrentPage() ? AnsiText::ToDisplay(CurrentPage()->GetSpeech()) : QString());
        return;
    }
    if (m_bShowMaleSpeech) {
        m_lblSpeechCaption->setText(QStringLiteral("Speech to male PC:"));
        m_editSpeech->setPlainText(AnsiText::ToDisplay(CurrentPage()->GetSpeech()));
    } else {
        m_lblSpeechCaption->setText(QStringLiteral("Speech to female PC:"));
        m_editSpeech->setPlainText(AnsiText::ToDisplay(CurrentPage()->GetFemaleSpeech()));
    }
    m_btnViewFemale->setEnabled(true);
}

void CMainDialog::OnViewFemaleSpeech()
{
    if (!CurrentPage() || CurrentPage()->IsSameSpeechForBoth())
        return;
    m_bShowMaleSpeech = !m_bShowMaleSpeech;
    ShowNpcSpeech();
}

int CMainDialog::InsertOptionLine(int index, DialogLine *option)
{
    return m_optionList->InsertEntry(index, AnsiText::ToDisplay(OptionDescription::Build(*option)), option);
}

void CMainDialog::UpdateOptionCommands()
{
    m_btnAddOption->setEnabled(true);
    const int row = SelectedRow();
    const bool any = row >= 0;
    m_btnDeleteOption->setEnabled(any);
    m_actDeleteOption->setEnabled(any);
    m_btnEditOption->setEnabled(any);
    m_actEditOption->setEnabled(any);
    const bool canMoveDown = any && row + 1 < m_optionList->count();
    m_btnMoveDown->setEnabled(canMoveDown);
    m_actMoveDown->setEnabled(canMoveDown);
    const bool canMoveUp = any && row > 0;
    m_btnMoveUp->setEnabled(canMoveUp);
    m_actMoveUp->setEnabled(canMoveUp);
    m_btnGoToResult->setEnabled(any);
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
    if (watched == m_optionList->viewport() && event->type() == QEvent::MouseButtonPress
        && OnMouseButton(static_cast<QMouseEvent *>(event)->button()))
        return true;
    if (watched == m_client && event->type() == QEvent::Resize) {
        const auto *resize = static_cast<QResizeEvent *>(event);
        OnSize(resize->oldSize(), resize->size());
    }
    return QDialog::eventFilter(watched, event);
}

// Controls follow the client area by exactly how much it changed: the frames
// and text boxes widen, the option list takes the extra height, and the
// controls below it ride down (the file buttons also right).
void CMainDialog::OnSize(QSize oldSize, QSize newSize)
{
    if (!oldSize.isValid())
        return;
    const int dx = newSize.width() - oldSize.width();
    const int dy = newSize.height() - oldSize.height();
    const auto stretch = [](QWidget *control, int byX, int byY) {
        const QRect r = control->geometry();
        control->resize(qMax(0, r.width() + byX), qMax(0, r.height() + byY));
    };
    const auto shift = [](QWidget *control, int byX, int byY) { control->move(control->pos() + QPoint(byX, byY)); };
    stretch(m_grpPage, dx, 0);
    stretch(m_grpNpcSpeech, dx, 0);
    stretch(m_grpOptions, dx, dy);
    stretch(m_editDescription, dx, 0);
    stretch(m_editSpeech, dx, 0);
    stretch(m_optionList, dx, dy);
    for (QWidget *control : {m_btnOpen, m_btnSave, m_btnExit})
        shift(control, dx, dy);
    for (QWidget *control : {static_cast<QWidget *>(m_lblStatus), static_cast<QWidget *>(m_btnGoTo), static_cast<QWidget *>(m_btnNewPage),
                             static_cast<QWidget *>(m_btnAddOption), static_cast<QWidget *>(m_btnDeleteOption),
                             static_cast<QWidget *>(m_btnEditOption), static_cast<QWidget *>(m_btnGoToResult),
                             static_cast<QWidget *>(m_btnMoveDown), static_cast<QWidget *>(m_btnMoveUp)})
        shift(control, 0, dy);
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
    const QList<QListWidgetItem *> selected = m_optionList->selectedItems();
    return selected.isEmpty() ? -1 : m_optionList->row(selected.constFirst());
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
    DialogLine *target = m_optionList->GetOption(row)->GetTarget();
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
    const int index = CurrentPage()->IndexOfOption(m_optionList->GetOption(row));
    if (index >= 0)
        m_session.DeleteOption(*CurrentPage(), index);
    RefreshPage();
}

void CMainDialog::MoveOption(int from, int to)
{
    m_session.MoveOption(*CurrentPage(), from, to);
    RefreshPage();
    m_optionList->setCurrentRow(to);
    m_optionList->setFocus();
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
    if (!m_optionList->viewport()->rect().contains(listPosition))
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("optionContextMenu"));
    connect(menu.addAction(QStringLiteral("Add option..")), &QAction::triggered, m_btnAddOption, &QPushButton::click);
    menu.addSeparator();
    for (QPushButton *button : {m_btnEditOption, m_btnDeleteOption, m_btnMoveUp, m_btnMoveDown, m_btnGoToResult}) {
        QAction *item = menu.addAction(button->text());
        item->setEnabled(button->isEnabled());
        connect(item, &QAction::triggered, button, &QPushButton::click);
    }
    menu.exec(m_optionList->viewport()->mapToGlobal(listPosition));
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
    DialogLine &option = *m_optionList->GetOption(row);
    const DialogLine::Content before = option.GetContent();
    CPcOptionDlg dialog(&option, Document(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_session.ChangedLine(*CurrentPage(), option, before, QStringLiteral("Edit Option"));
    RefreshPage();
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
        m_optionList->setCurrentRow(row);
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

