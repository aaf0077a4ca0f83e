#pragma once

#include "EditingSession.h"
#include "CPageView.h"
#include "FileCommands.h"
#include "StatusLabel.h"

#include <QDialog>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class COptionListBox;
class DialogFile;
class DialogLine;
class Prompter;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The main window: one dialog page at a time, the PC options under it, and
// the commands that open, save and change the document.
class CMainDialog : public QDialog {
    Q_OBJECT
public:
    using LoadAnswer = FileCommands::LoadAnswer;

    // cmdLineFile is the path as the command line gave it, byte for byte.
    CMainDialog(std::string cmdLineFile, Prompter &prompter, QWidget *parent = nullptr);
    ~CMainDialog() override;

    // Loads the file named on the command line, or begins a new one, and
    // starts the status line. False when the user chose to end the program.
    bool OnInitDialog();

    // The page view.
    void RefreshPage();
    // The title: the document's name, with "*" while it is modified.
    void UpdateTitle();
    int InsertOptionLine(int index, DialogLine *option) { return m_view->InsertOptionLine(index, option); }
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

    // Navigation and option commands that need no editing dialog.
    void OnGoToResultPage();
    void OnOptionDblClk();
    void OnNewPage();
    void OnDeleteOption();
    void OnMoveOptionUp();
    void OnMoveOptionDown();
    void OnContextMenu(const QPoint &listPosition);
    // Commands that open an editing dialog.
    void OnEditSpeech();
    void OnAddOption();
    void OnEditOption();
    void OnGoTo();
    void OnChangePageInfo();
    void OnAbout();
    // The play window, from the page on display or the first page.
    void OnPlay(bool fromFirstPage);
    // Undo, redo and the pages visited.
    void ShowEdit(DialogLine *page, DialogLine *line, int index);
    void OnBack();
    void OnForward();

    // The document, the page on display and the undo stack.
    EditingSession &Session() { return m_session; }

    // The name that the title and messages show for the document.
    const QString &GetDisplayName() const { return m_files.GetDisplayName(); }

protected:
    void accept() override;
    void reject() override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DialogFile *Document() const { return m_session.GetDocument(); }
    DialogLine *CurrentPage() const { return m_session.GetCurrentPage(); }
    bool OnMouseButton(Qt::MouseButton button);
    void ConnectCommands();
    void CreateMenu(QLayout *layout);
    void MoveOption(int from, int to);
    int SelectedRow() const;
    bool HaveCurrentPage();

    std::string m_strCmdLineFile;
    Prompter &m_prompter;
    EditingSession m_session;
    FileCommands m_files;
    CPageView *m_view = nullptr;
    QAction *m_actEditOption = nullptr;
    QAction *m_actDeleteOption = nullptr;
    QAction *m_actMoveUp = nullptr;
    QAction *m_actMoveDown = nullptr;
    QAction *m_actGotoPage = nullptr;
};
