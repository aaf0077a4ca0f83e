#include "commands/EditorActions.h"

#include "commands/ClipboardCommands.h"
#include "commands/CompareCommand.h"
#include "commands/ExportCommands.h"
#include "commands/FileCommands.h"
#include "commands/FolderCommands.h"
#include "commands/OptionCommands.h"
#include "commands/PageCommands.h"
#include "commands/RecoveryOffer.h"
#include "commands/SpellingCommands.h"
#include "model/DialogLine.h"
#include "session/EditingSession.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QUndoStack>
#include <QWidget>

namespace {

QAction *Make(QWidget *window, QObject *owner, const char *name, const QString &text, const QKeySequence &keys = {})
{
    auto *action = new QAction(text, owner);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

} // namespace

EditorActions::EditorActions(EditingSession &session, FileCommands &files, PageCommands &pages, OptionCommands &options,
                             ClipboardCommands &clipboard, RecoveryOffer &recovery, ExportCommands &exports, SpellingCommands &spellingCommands,
                             FolderCommands &folder, CompareCommand &compare, QWidget *window)
    : QObject(window)
    , m_session(session)
    , m_folder(folder)
{
    const auto make = [this, window](const char *name, const QString &text, const QKeySequence &keys = {}) {
        return Make(window, this, name, text, keys);
    };
    const auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | key); };
    const auto ctrlShift = [](int key) { return QKeySequence(Qt::CTRL | Qt::SHIFT | key); };

    newFile = make("actionNew", QStringLiteral("&New"), ctrl(Qt::Key_N));
    connect(newFile, &QAction::triggered, &files, &FileCommands::NewFile);
    open = make("actionOpen", QStringLiteral("&Open"), ctrl(Qt::Key_O));
    connect(open, &QAction::triggered, &files, &FileCommands::OpenFile);
    openFolder = make("actionOpenFolder", QStringLiteral("Open &folder..."));
    openFolder->setStatusTip(QStringLiteral("Chooses the game's folder that the Conversations panel lists and Find and Replace may look through"));
    connect(openFolder, &QAction::triggered, &folder, &FolderCommands::OpenFolder);
    save = make("actionSave", QStringLiteral("&Save"), ctrl(Qt::Key_S));
    connect(save, &QAction::triggered, &files, &FileCommands::SaveFile);
    saveAs = make("actionSaveAs", QStringLiteral("Save &As..."), ctrlShift(Qt::Key_S));
    connect(saveAs, &QAction::triggered, &files, &FileCommands::SaveFileAs);
    compareWith = make("actionCompareWith", QStringLiteral("Co&mpare with..."));
    compareWith->setStatusTip(QStringLiteral("Lists how the document differs from another file, or from its own file as last saved"));
    connect(compareWith, &QAction::triggered, &compare, &CompareCommand::CompareWith);
    recover = make("actionRecover", QStringLiteral("Re&cover unsaved work..."));
    connect(recover, &QAction::triggered, &recovery, &RecoveryOffer::ShowUnkept);
    exportPoTemplate = make("actionExportPoTemplate", QStringLiteral("PO &template for translators..."));
    connect(exportPoTemplate, &QAction::triggered, &exports, &ExportCommands::OnExportPoTemplate);
    exportRecordingScript = make("actionExportRecordingScript", QStringLiteral("Recording &script for voice actors..."));
    connect(exportRecordingScript, &QAction::triggered, &exports, &ExportCommands::OnExportRecordingScript);
    exit = make("actionExit", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(exit, &QAction::triggered, window, &QWidget::close);

    QUndoStack &stack = session.GetUndoStack();
    undo = stack.createUndoAction(this, QStringLiteral("U&ndo"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcut(ctrl(Qt::Key_Z));
    redo = stack.createRedoAction(this, QStringLiteral("Red&o"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcuts({ctrlShift(Qt::Key_Z), ctrl(Qt::Key_Y)});
    for (QAction *action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }

    addOption = make("actionAddOption", QStringLiteral("&Add PC speech option"), QKeySequence(Qt::Key_Insert));
    connect(addOption, &QAction::triggered, &options, &OptionCommands::OnAddOption);
    editOption = make("actionEditOption", QStringLiteral("&Edit PC speech option"), ctrl(Qt::Key_E));
    connect(editOption, &QAction::triggered, &options, &OptionCommands::OnEditOption);
    deleteOption = make("actionDeleteOption", QStringLiteral("&Delete PC speech option"), QKeySequence(Qt::Key_Delete));
    connect(deleteOption, &QAction::triggered, &options, &OptionCommands::OnDeleteOption);
    goToResult = make("actionGoToResult", QStringLiteral("Go to &result dialog page"), ctrl(Qt::Key_R));
    connect(goToResult, &QAction::triggered, &options, &OptionCommands::OnGoToResultPage);
    moveOptionUp = make("actionMoveUp", QStringLiteral("Move option &up"), ctrl(Qt::Key_U));
    connect(moveOptionUp, &QAction::triggered, &options, &OptionCommands::OnMoveOptionUp);
    moveOptionDown = make("actionMoveDown", QStringLiteral("Move option do&wn"), ctrl(Qt::Key_D));
    connect(moveOptionDown, &QAction::triggered, &options, &OptionCommands::OnMoveOptionDown);
    cut = make("actionCut", QStringLiteral("Cu&t"), ctrl(Qt::Key_X));
    connect(cut, &QAction::triggered, &clipboard, &ClipboardCommands::OnCut);
    copy = make("actionCopy", QStringLiteral("&Copy"), ctrl(Qt::Key_C));
    connect(copy, &QAction::triggered, &clipboard, &ClipboardCommands::OnCopy);
    paste = make("actionPaste", QStringLiteral("&Paste"), ctrl(Qt::Key_V));
    paste->setStatusTip(QStringLiteral("Pastes options after the option selected, pages after the page on display"));
    connect(paste, &QAction::triggered, &clipboard, &ClipboardCommands::OnPaste);
    editSpeech = make("actionEditNpcSpeech", QStringLiteral("Edit NPC speec&h"), ctrl(Qt::Key_A));
    connect(editSpeech, &QAction::triggered, &pages, &PageCommands::OnEditSpeech);
    goTo = make("actionGotoPage", QStringLiteral("&Goto dialog page..."), ctrl(Qt::Key_G));
    connect(goTo, &QAction::triggered, &pages, &PageCommands::OnGoTo);
    back = make("actionBack", QStringLiteral("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left));
    connect(back, &QAction::triggered, &pages, &PageCommands::OnBack);
    forward = make("actionForward", QStringLiteral("&Forward"), QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(forward, &QAction::triggered, &pages, &PageCommands::OnForward);
    // The find bar's commands: the window connects them to its bar.
    find = make("actionFind", QStringLiteral("F&ind..."), ctrl(Qt::Key_F));
    replace = make("actionReplace", QStringLiteral("Rep&lace..."), ctrl(Qt::Key_H));
    findNext = make("actionFindNext", QStringLiteral("Find ne&xt"), QKeySequence(Qt::Key_F3));
    findPrevious = make("actionFindPrevious", QStringLiteral("Find pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    undoReplace = make("actionUndoReplaceInFiles", QStringLiteral("Undo replace in file&s"));
    undoReplace->setStatusTip(QStringLiteral("Puts every file that the last replace in files wrote back as it was, unless it has changed since"));
    connect(undoReplace, &QAction::triggered, &folder, &FolderCommands::UndoReplace);
    connect(&folder, &FolderCommands::undoableChanged, this, &EditorActions::Update);

    newPage = make("actionNewPage", QStringLiteral("&New page"));
    connect(newPage, &QAction::triggered, &pages, &PageCommands::OnNewPage);
    changePageInfo = make("actionChangePageInfo", QStringLiteral("&Change name and description..."));
    connect(changePageInfo, &QAction::triggered, &pages, &PageCommands::OnChangePageInfo);
    duplicatePage = make("actionDuplicatePage", QStringLiteral("D&uplicate page"), ctrlShift(Qt::Key_N));
    connect(duplicatePage, &QAction::triggered, &pages, &PageCommands::OnDuplicatePage);
    deletePage = make("actionDeletePage", QStringLiteral("&Delete page..."), ctrlShift(Qt::Key_Delete));
    connect(deletePage, &QAction::triggered, &pages, &PageCommands::OnDeletePage);
    movePageUp = make("actionMovePageUp", QStringLiteral("Move page u&p"), ctrlShift(Qt::Key_Up));
    movePageUp->setStatusTip(QStringLiteral("Moves the page earlier in the file; the first page is where the conversation starts"));
    connect(movePageUp, &QAction::triggered, &pages, [&pages] { pages.OnMovePage(-1); });
    movePageDown = make("actionMovePageDown", QStringLiteral("Move page do&wn"), ctrlShift(Qt::Key_Down));
    movePageDown->setStatusTip(QStringLiteral("Moves the page later in the file; moving the first page changes where the conversation starts"));
    connect(movePageDown, &QAction::triggered, &pages, [&pages] { pages.OnMovePage(1); });

    // In the outline, Ctrl+C and Ctrl+X take its page (the outline passes them on).
    copyPage = make("actionCopyPage", QStringLiteral("Cop&y page"));
    copyPage->setStatusTip(QStringLiteral("Copies the page on display with its options (Ctrl+C in the outline)"));
    connect(copyPage, &QAction::triggered, &clipboard, &ClipboardCommands::OnCopyPage);
    cutPage = make("actionCutPage", QStringLiteral("Cu&t page"));
    cutPage->setStatusTip(QStringLiteral("Cuts the page on display with its options (Ctrl+X in the outline)"));
    connect(cutPage, &QAction::triggered, &clipboard, &ClipboardCommands::OnCutPage);
    pastePage = make("actionPastePage", QStringLiteral("Past&e page"));
    pastePage->setStatusTip(QStringLiteral("Pastes the pages on the clipboard after the page on display"));
    connect(pastePage, &QAction::triggered, &clipboard, &ClipboardCommands::OnPastePage);

    // The page view shows it; the switch is the writer's, for every page.
    bothSpeeches = make("actionBothSpeeches", QStringLiteral("&Both speeches"));
    bothSpeeches->setCheckable(true);
    bothSpeeches->setStatusTip(QStringLiteral("Shows the NPC's speech to male and to female PCs one above the other"));

    play = make("actionPlay", QStringLiteral("&Play"), QKeySequence(Qt::Key_F5));
    connect(play, &QAction::triggered, &pages, [&pages] { pages.OnPlay(false); });
    playFromFirstPage = make("actionPlayFromFirstPage", QStringLiteral("Play from &first page"), QKeySequence(Qt::SHIFT | Qt::Key_F5));
    connect(playFromFirstPage, &QAction::triggered, &pages, [&pages] { pages.OnPlay(true); });
    spelling = make("actionSpelling", QStringLiteral("&Spelling..."));
    connect(spelling, &QAction::triggered, &spellingCommands, &SpellingCommands::OnSettings);
    about = make("actionAbout", QStringLiteral("&About"));

    connect(&session, &EditingSession::selectedOptionChanged, this, &EditorActions::Update);
    connect(&session, &EditingSession::currentPageChanged, this, &EditorActions::Update);
    connect(&session, &EditingSession::documentReplaced, this, &EditorActions::Update);
    connect(&session, &EditingSession::changed, this, &EditorActions::Update);
    // Asked only when the clipboard changes: another program may own it,
    // and asking it takes a round trip.
    const auto clipboardChanged = [this] {
        m_clipboardHoldsText = ClipboardCommands::ClipboardHoldsText();
        Update();
    };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
    clipboardChanged();
}

void EditorActions::Update()
{
    const DialogLine *page = m_session.GetCurrentPage();
    const std::vector<int> &rows = m_session.GetSelectedOptions();
    const bool selected = m_session.GetSelectedLine() && !rows.empty();
    const bool one = selected && rows.size() == 1;
    editOption->setEnabled(one);
    goToResult->setEnabled(one);
    for (QAction *action : {deleteOption, copy, cut})
        action->setEnabled(selected);
    moveOptionUp->setEnabled(selected && rows.front() > 0);
    moveOptionDown->setEnabled(selected && page && rows.back() + 1 < page->GetOptionCount());
    paste->setEnabled(m_session.GetDocument() != nullptr && m_clipboardHoldsText);
    pastePage->setEnabled(paste->isEnabled());
    copyPage->setEnabled(page != nullptr);
    cutPage->setEnabled(page != nullptr);
    undoReplace->setEnabled(m_folder.CanUndo());
}
