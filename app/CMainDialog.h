#pragma once

#include "app/EditingSession.h"
#include "app/CPageView.h"
#include "app/FileCommands.h"
#include "app/PageCommands.h"
#include "app/RecoveryKeeper.h"
#include "app/StatusLabel.h"

#include <QMainWindow>
#include <QString>
#include <string>

class DialogFile;
class DialogLine;
class FindBar;
class LinksHereLabel;
class MapPanel;
class OutlinePanel;
class ProblemsPanel;
class Prompter;
class QAction;
class QDockWidget;

// The main window: one dialog page at a time, the PC options under it, what
// leads to the page, the outline of all pages and the find bar beside it,
// and the menus that run the file and page commands.
class CMainDialog : public QMainWindow {
    Q_OBJECT
public:
    using LoadAnswer = FileCommands::LoadAnswer;

    // cmdLineFile is the path as the command line gave it, byte for byte.
    CMainDialog(std::string cmdLineFile, Prompter &prompter, QWidget *parent = nullptr);
    ~CMainDialog() override;

    // Loads the file named on the command line, or begins a new one, and
    // starts the status line. False when the user chose to end the program.
    bool OnInitDialog();

    // The page view, the outline's mark and what leads to the page.
    void RefreshPage();
    // The title: the document's name, with "*" while it is modified.
    void UpdateTitle();
    void UpdateOptionCommands();

    void SetStatusMessage(const QString &text);
    StatusLine &GetStatusLine() { return m_view->statusLabel->GetStatusLine(); }

    // File commands (see FileCommands).
    void NewFile() { m_files.NewFile(); }
    void OpenFile() { m_files.OpenFile(); }
    LoadAnswer LoadFile(const std::string &path, const QString &displayName) { return m_files.LoadFile(path, displayName); }
    bool SaveFile() { return m_files.SaveFile(); }
    bool SaveFileAs() { return m_files.SaveFileAs(); }
    bool QuerySaveChanges() { return m_files.QuerySaveChanges(); }
    bool CanClose();
    // A message with an OK button.
    void Tell(const QString &text);
    void OnOK();
    void OnCancel();

    // Page and option commands (see PageCommands).
    void OnGoToResultPage() { m_pages.OnGoToResultPage(); }
    void OnDeleteOption() { m_pages.OnDeleteOption(); }
    void OnMoveOptionUp() { m_pages.OnMoveOptionUp(); }
    void OnMoveOptionDown() { m_pages.OnMoveOptionDown(); }
    void OnContextMenu(const QPoint &listPosition) { m_view->OnContextMenu(listPosition); }
    void OnAbout();
    // The play window, from the page on display or the first page.
    void OnPlay(bool fromFirstPage) { m_pages.OnPlay(fromFirstPage); }
    // Shows page, with line selected when it is one of its options; after
    // an undo or redo, index is the place of the option it touched.
    void ShowEdit(DialogLine *page, DialogLine *line, int index = -1);
    void OnBack();
    void OnForward();

    // The document, the page on display and the undo stack.
    EditingSession &Session() { return m_session; }
    OutlinePanel &Outline() { return *m_outline; }
    FindBar &Find() { return *m_find; }
    ProblemsPanel &Problems() { return *m_problems; }
    MapPanel &Map() { return *m_map; }
    // What keeps unsaved changes through a crash.
    RecoveryKeeper &Recovery() { return m_recovery; }

    // The name that the title and messages show for the document.
    const QString &GetDisplayName() const { return m_files.GetDisplayName(); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DialogFile *Document() const { return m_session.GetDocument(); }
    DialogLine *CurrentPage() const { return m_session.GetCurrentPage(); }
    bool OnMouseButton(Qt::MouseButton button);
    void ChainFocus();
    // The panel that holds widget, or null.
    QDockWidget *PanelOf(const QWidget *widget) const;
    void ConnectCommands();
    void CreateMenu();
    void SaveLayout();

    std::string m_strCmdLineFile;
    Prompter &m_prompter;
    EditingSession m_session;
    FileCommands m_files;
    RecoveryKeeper m_recovery;
    CPageView *m_view = nullptr;
    PageCommands m_pages;
    LinksHereLabel *m_linksHere = nullptr;
    OutlinePanel *m_outline = nullptr;
    FindBar *m_find = nullptr;
    ProblemsPanel *m_problems = nullptr;
    MapPanel *m_map = nullptr;
    QAction *m_actAddOption = nullptr;
    QAction *m_actEditOption = nullptr;
    QAction *m_actDeleteOption = nullptr;
    QAction *m_actGoToResult = nullptr;
    QAction *m_actMoveUp = nullptr;
    QAction *m_actMoveDown = nullptr;
};
