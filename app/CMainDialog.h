#pragma once

#include "app/StatusLabel.h"
#include "commands/FileCommands.h"

#include <QMainWindow>
#include <QString>
#include <string>

class CPageView;
class ClipboardCommands;
class CompareCommand;
class ConversationsPanel;
class DifferencesPanel;
class EditingSession;
class EditorActions;
class ExportCommands;
class FindBar;
class FolderCommands;
class GameFolder;
class LinksHereLabel;
class MapPanel;
class OptionCommands;
class OutlinePanel;
class PageCommands;
class ProblemsPanel;
class Prompter;
class QDockWidget;
class RecoveryKeeper;
class RecoveryOffer;
class SpellingCommands;
class StatusLine;
class UsesPanel;

// The main window: one dialog page at a time, the PC options under it, what
// leads to the page, the outline of all pages, the find bar, the problems,
// the map and the differences from another version beside it, the game's
// conversations and the names their conditions and results use, and the
// menus that run the editor's commands. It
// shows the session it is given, and follows it: the session owns the
// document, the commands change it, and every view listens.
class CMainDialog : public QMainWindow {
    Q_OBJECT
public:
    using LoadAnswer = FileCommands::LoadAnswer;

    // cmdLineFile is the path as the command line gave it, byte for byte.
    CMainDialog(EditingSession &session, std::string cmdLineFile, Prompter &prompter, QWidget *parent = nullptr);
    ~CMainDialog() override;

    // Loads the file named on the command line, or begins a new one, and
    // starts the status line. False when the user chose to end the program.
    bool OnInitDialog();

    // The page view, the outline's mark and what leads to the page, as the
    // session now has them.
    void RefreshPage();
    // The title: the document's name, with "*" while it is modified.
    void UpdateTitle();

    void SetStatusMessage(const QString &text);
    StatusLine &GetStatusLine();

    // The file commands (see FileCommands).
    void NewFile() { m_files->NewFile(); }
    void OpenFile() { m_files->OpenFile(); }
    LoadAnswer LoadFile(const std::string &path, const QString &displayName) { return m_files->LoadFile(path, displayName); }
    bool SaveFile() { return m_files->SaveFile(); }
    bool SaveFileAs() { return m_files->SaveFileAs(); }
    bool QuerySaveChanges() { return m_files->QuerySaveChanges(); }
    bool CanClose();
    void OnOK();
    void OnCancel();

    // The option commands (see OptionCommands), and their context menu.
    void OnGoToResultPage();
    void OnDeleteOption();
    void OnMoveOptionUp();
    void OnMoveOptionDown();
    void OnContextMenu(const QPoint &listPosition);
    void OnAbout();

    EditingSession &Session() { return m_session; }
    const EditorActions &Actions() const { return *m_actions; }
    OutlinePanel &Outline() { return *m_outline; }
    FindBar &Find() { return *m_find; }
    ProblemsPanel &Problems() { return *m_problems; }
    MapPanel &Map() { return *m_map; }
    ConversationsPanel &Conversations() { return *m_conversations; }
    UsesPanel &Uses() { return *m_uses; }
    GameFolder &Folder() { return *m_gameFolder; }
    FolderCommands &FolderCommand() { return *m_folderCommands; }
    DifferencesPanel &Differences() { return *m_differences; }
    // What keeps unsaved changes through a crash.
    RecoveryKeeper &Recovery() { return *m_keeper; }

    // The name that the title and messages show for the document.
    const QString &GetDisplayName() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool OnMouseButton(Qt::MouseButton button);
    void CreateMenu();
    void CreatePanels();
    // The page on display changed: the focus and the Tab order follow.
    void OnPageShown();
    void ChainFocus();
    // The panel that holds widget, or null.
    QDockWidget *PanelOf(const QWidget *widget) const;
    QList<QDockWidget *> Panels() const;
    void RestoreLayout();
    void FitToScreen();
    void SaveLayout();

    EditingSession &m_session;
    std::string m_strCmdLineFile;
    Prompter &m_prompter;
    FileCommands *m_files;
    PageCommands *m_pages;
    OptionCommands *m_options;
    ClipboardCommands *m_clipboard;
    RecoveryKeeper *m_keeper;
    RecoveryOffer *m_offer;
    ExportCommands *m_exports;
    SpellingCommands *m_spelling;
    GameFolder *m_gameFolder;
    FolderCommands *m_folderCommands;
    CompareCommand *m_compare;
    EditorActions *m_actions;
    CPageView *m_view;
    LinksHereLabel *m_linksHere = nullptr;
    OutlinePanel *m_outline = nullptr;
    FindBar *m_find = nullptr;
    ProblemsPanel *m_problems = nullptr;
    MapPanel *m_map = nullptr;
    ConversationsPanel *m_conversations = nullptr;
    UsesPanel *m_uses = nullptr;
    DifferencesPanel *m_differences = nullptr;
    bool m_fitted = false; // to the screen, once shown
};
