#pragma once

#include "edits/TextSearch.h"
#include "folder/FolderSearch.h"
#include "session/LatestJob.h"

#include "panels/Panel.h"
#include <memory>
#include <string>
#include <utility>
#include <vector>

class DialogLine;
class EditingSession;
class GameFolder;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Find and replace: a search through every text of the document, its
// matches listed (page, which text, line of the file, the text with the
// matches marked). Going to a match shows its page with its option
// selected. "Replace all" is one step of the undo stack.
// Its scope may be all files in the game's folder instead: the matches are
// listed by file, found off the user interface thread in every file (the
// open document as the writer has it), and going to one asks the window to
// open its file there; "Replace all" asks the window to replace in the
// folder's files.
class FindBar : public Panel {
    Q_OBJECT
public:
    enum Scope { ThisFile, AllFiles };

    FindBar(EditingSession &session, Prompter &prompter, GameFolder &folder, QWidget *parent = nullptr);
    ~FindBar() override;

    // Shows the bar, with the replace row or without, the focus in the find text.
    void Open(bool replace);
    // Goes to the next match (by 1) or the one before (by -1), around the end.
    void Step(int by);
    void ReplaceAll();
    Scope GetScope() const;
    // The matches listed are those of the text, options and files as they
    // stand (no search is under way or due).
    bool IsUpToDate() const;

    QLineEdit *findEdit = nullptr;
    QLineEdit *replaceEdit = nullptr;
    QCheckBox *matchCase = nullptr;
    QCheckBox *wholeWords = nullptr;
    QCheckBox *regularExpression = nullptr;
    QTreeWidget *results = nullptr;
    QLabel *summary = nullptr;
    QComboBox *scope = nullptr;

signals:
    // See ConversationsPanel::openRequested.
    void openRequested(const std::string &path, int page, int option);
    // Replace all, in every file of the folder.
    void replaceInFolder(const QString &pattern, TextSearch::Options options, const QString &replacement);
    void updated();


private:
    struct FolderResult;

    TextSearch::Options GetOptions() const;
    TextSearch MakeSearch() const;
    void Search();
    void SearchFolder();
    void ShowFolder(std::shared_ptr<FolderResult> result);
    void Stale();
    int MatchCount() const;
    // The match at index in the list's order.
    QTreeWidgetItem *ItemAt(int index) const;
    void Go(int index);

    EditingSession &m_session;
    Prompter &m_prompter;
    GameFolder &m_folder;
    QWidget *m_replaceRow = nullptr;
    QTimer *m_searchTimer = nullptr;
    std::vector<TextSearch::Hit> m_hits;
    // In the folder: the files with matches, and each match as (file, hit).
    std::vector<FolderSearch::FileHits> m_fileHits;
    std::vector<std::pair<int, int>> m_folderMatches;
    bool m_stale = true;
    int m_stepWhenFound = 0; // a step asked for while the folder's search ran
    quint64 m_generation = 0;
    LatestJob<std::shared_ptr<FolderResult>> m_folderJob;
};
